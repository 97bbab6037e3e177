#include "hostsim/shift_tables.h"

#include <array>

namespace hostsim {
namespace {

using Table = std::array<uint8_t, 128>;

void MapRange(Table& t, unsigned char first, unsigned char last, uint8_t first_byte) {
  for (int c = first; c <= last; ++c) t[c] = static_cast<uint8_t>(first_byte + (c - first));
}

Table SemicolonTable() {
  Table t{};
  t[' '] = 0x40;
  t['%'] = 0x6C;
  t['&'] = 0x50;
  t['('] = 0x4D;
  t[')'] = 0x5D;
  t['+'] = 0x4E;
  t[','] = 0x6B;
  t['-'] = 0x60;
  t['.'] = 0x4B;
  t['/'] = 0x61;
  t[':'] = 0x7A;
  t['<'] = 0x4C;
  t['>'] = 0x6E;
  t['?'] = 0x6F;
  t['_'] = 0x6D;
  t['{'] = 0x40;
  MapRange(t, '0', '9', 0xF0);
  MapRange(t, 'A', 'I', 0xC1);
  MapRange(t, 'J', 'R', 0xD1);
  MapRange(t, 'S', 'Z', 0xE2);
  MapRange(t, 'a', 'i', 0x81);
  MapRange(t, 'j', 'r', 0x91);
  MapRange(t, 's', 'z', 0xA2);
  return t;
}

Table EqualsTable() {
  Table t{};
  MapRange(t, 0x25, 0x3B, 0x25);
  t[' '] = 0x20;
  t['<'] = 0x2A;
  t['>'] = 0x3B;
  t['?'] = 0x3F;
  t['_'] = 0x27;
  t['{'] = 0x20;
  MapRange(t, 'A', 'Z', 0x41);
  MapRange(t, 'a', 'z', 0x61);
  return t;
}

Table StarTable() {
  Table t{};
  t['%'] = 0x7B;
  t['&'] = 0x7C;
  t['('] = 0x7E;
  t[')'] = 0x7F;
  t['<'] = 0x1A;
  t['_'] = 0x7D;
  MapRange(t, '+', '/', 0x1B);
  MapRange(t, '0', '2', 0x3C);
  MapRange(t, '4', '9', 0xFA);
  MapRange(t, 'B', 'Z', 0x01);
  return t;
}

Table ApostropheTable() {
  Table t{};
  t['&'] = 0x9C;
  t['('] = 0x9E;
  t[')'] = 0x9F;
  t['5'] = 0x5B;
  t['6'] = 0x5C;
  t['8'] = 0x5E;
  t['9'] = 0x5F;
  t[':'] = 0x9A;
  t['<'] = 0xBA;
  t['>'] = 0x9B;
  t['A'] = 0xA0;
  t['B'] = 0xA1;
  t['I'] = 0xE0;
  t['J'] = 0xE1;
  t['_'] = 0x9D;
  t['`'] = 0x80;
  t['a'] = 0x80;
  t['i'] = 0xC0;
  t['y'] = 0xD0;
  MapRange(t, '+', '/', 0xBB);
  MapRange(t, '1', '4', 0x21);
  MapRange(t, 'C', 'H', 0xEA);
  MapRange(t, 'K', 'Z', 0xAA);
  MapRange(t, 'c', 'h', 0xCA);
  MapRange(t, 'k', 'q', 0x8A);
  MapRange(t, 's', 'x', 0xDA);
  return t;
}

struct Tables {
  std::array<Table, kShiftTableCount> forward;
  std::array<std::array<char, 256>, kShiftTableCount> reverse{};

  Tables() : forward{SemicolonTable(), EqualsTable(), StarTable(), ApostropheTable()} {
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
