// The emulator's buffer dump (ReadBuffer(Ascii)) turned into what its plain
// screen text would show, plus which positions a program may type into. One
// dump then answers both a screen copy and whether a later write to a
// position can succeed, without asking the emulator again.
#pragma once

#include <string>
#include <vector>

namespace emulator {

struct ScreenImage {
  std::string text;         // rows * columns bytes (Latin-1), as the plain text shows them
  std::vector<bool> input;  // per position: typing there stays inside an unprotected field
  // True when every position from offset on, count of them, takes typing.
  bool takes_input(int offset, int count) const;
};

// Parses one dump line per row. False when the dump holds anything this
// parser does not know for certain (the caller then reads the plain text).
bool ParseReadBuffer(const std::vector<std::string>& lines, int rows, int columns, ScreenImage* image);

}  // namespace emulator
