#include "hostsim/shift_tables.h"

#include <array>
#include <span>

namespace hostsim {
namespace {

using Table = std::array<uint8_t, 128>;

// Characters first to last stand for the bytes from byte on.
struct Span {
  unsigned char first, last;
  uint8_t byte;
};

constexpr Span kSemicolon[] = {
    {' ', ' ', 0x40}, {'%', '%', 0x6C}, {'&', '&', 0x50}, {'(', '(', 0x4D}, {')', ')', 0x5D},
    {'+', '+', 0x4E}, {',', ',', 0x6B}, {'-', '-', 0x60}, {'.', '.', 0x4B}, {'/', '/', 0x61},
    {':', ':', 0x7A}, {'<', '<', 0x4C}, {'>', '>', 0x6E}, {'?', '?', 0x6F}, {'_', '_', 0x6D},
    {'{', '{', 0x40}, {'0', '9', 0xF0}, {'A', 'I', 0xC1}, {'J', 'R', 0xD1}, {'S', 'Z', 0xE2},
    {'a', 'i', 0x81}, {'j', 'r', 0x91}, {'s', 'z', 0xA2}};
constexpr Span kEquals[] = {{'%', ';', 0x25}, {' ', ' ', 0x20}, {'<', '<', 0x2A},
                            {'>', '>', 0x3B}, {'?', '?', 0x3F}, {'_', '_', 0x27},
                            {'{', '{', 0x20}, {'A', 'Z', 0x41}, {'a', 'z', 0x61}};
constexpr Span kStar[] = {{'%', '%', 0x7B}, {'&', '&', 0x7C}, {'(', '(', 0x7E}, {')', ')', 0x7F},
                          {'<', '<', 0x1A}, {'_', '_', 0x7D}, {'+', '/', 0x1B}, {'0', '2', 0x3C},
                          {'4', '9', 0xFA}, {'B', 'Z', 0x01}};
constexpr Span kApostrophe[] = {
    {'&', '&', 0x9C}, {'(', '(', 0x9E}, {')', ')', 0x9F}, {'5', '5', 0x5B}, {'6', '6', 0x5C},
    {'8', '8', 0x5E}, {'9', '9', 0x5F}, {':', ':', 0x9A}, {'<', '<', 0xBA}, {'>', '>', 0x9B},
    {'A', 'A', 0xA0}, {'B', 'B', 0xA1}, {'I', 'I', 0xE0}, {'J', 'J', 0xE1}, {'_', '_', 0x9D},
    {'`', '`', 0x80}, {'a', 'a', 0x80}, {'i', 'i', 0xC0}, {'y', 'y', 0xD0}, {'+', '/', 0xBB},
    {'1', '4', 0x21}, {'C', 'H', 0xEA}, {'K', 'Z', 0xAA}, {'c', 'h', 0xCA}, {'k', 'q', 0x8A},
    {'s', 'x', 0xDA}};

Table Build(std::span<const Span> spans) {
  Table t{};
  for (const Span& s : spans)
    for (int c = s.first; c <= s.last; ++c) t[c] = static_cast<uint8_t>(s.byte + (c - s.first));
  return t;
}

struct Tables {
  std::array<Table, kShiftTableCount> forward;
  std::array<std::array<char, 256>, kShiftTableCount> reverse{};

  Tables() : forward{Build(kSemicolon), Build(kEquals), Build(kStar), Build(kApostrophe)} {
    for (int t = 0; t < kShiftTableCount; ++t) {
      // Walking down lets the lower character win: a blank rather than '{'.
      for (int c = 127; c >= 0x20; --c) {
        if (IsShiftCharacter(static_cast<char>(c))) continue;
        uint8_t b = forward[t][c];
        if (b != 0) reverse[t][b] = static_cast<char>(c);
      }
    }
    // A letter reads better on the screen than the grave accent.
    reverse[static_cast<int>(ShiftTable::kApostrophe)][0x80] = 'a';
  }
};

const Tables& AllTables() {
  static const Tables instance;
  return instance;
}

}  // namespace

char ShiftCharacter(ShiftTable table) {
  static constexpr char kShift[kShiftTableCount] = {';', '=', '*', '\''};
  return kShift[static_cast<int>(table)];
}

bool IsShiftCharacter(char c) { return c == ';' || c == '=' || c == '*' || c == '\''; }

uint8_t TableByte(ShiftTable table, char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 128) return 0;
  return AllTables().forward[static_cast<int>(table)][u];
}

char TableCharacter(ShiftTable table, uint8_t b) {
  return AllTables().reverse[static_cast<int>(table)][b];
}

}  // namespace hostsim
