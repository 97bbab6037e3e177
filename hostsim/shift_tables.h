// The four shift tables that turn displayable screen characters into job bytes.
// A shift character (';', '=', '*', apostrophe) selects a table and stands for
// nothing itself; every screen starts in the ';' table.
#pragma once

#include <cstdint>

namespace hostsim {

enum class ShiftTable : uint8_t { kSemicolon = 0, kEquals = 1, kStar = 2, kApostrophe = 3 };
constexpr int kShiftTableCount = 4;

// The character that selects the table.
char ShiftCharacter(ShiftTable table);
// True for ';', '=', '*' and the apostrophe.
bool IsShiftCharacter(char c);
// The byte that character c stands for in the table; 0 when it has no entry.
uint8_t TableByte(ShiftTable table, char c);
// The character that stands for byte b in the table, or 0 when none does.
// Where several do, the plainest one is chosen (a blank rather than '{').
char TableCharacter(ShiftTable table, uint8_t b);

}  // namespace hostsim
