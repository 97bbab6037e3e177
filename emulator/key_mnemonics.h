// Send Key strings: plain text mixed with escape mnemonics such as "@E"
// (Enter), "@6" (PF6) or "@A@Q" (Attention). The escape character is '@'
// unless a program chose another one with the ESC= session parameter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "emulator/backend.h"

namespace emulator {

struct KeyStroke {
  bool is_key = false;
  Key key = Key::kEnter;  // when is_key
  std::string text;       // otherwise: characters to type at the cursor
};

// Splits keys into runs of text and keys. False, with the offending offset in
// *bad_offset, for an unknown mnemonic or an escape character at the end.
bool ParseKeyString(std::string_view keys, char escape, std::vector<KeyStroke>* strokes,
                    std::size_t* bad_offset);

}  // namespace emulator
