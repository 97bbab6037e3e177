#include "hostsim/shift_tables.h"

#include <array>

namespace hostsim {
namespace {

using Table = std::array<uint8_t, 128>;

void map_range(Table& t, char first, char last, uint8_t first_byte) {
  for (int c = first; c <= last; ++c) t[c] = static_cast<uint8_t>(first_byte + (c - first));
}

Table semicolon_table() {
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
  map_range(t, '0', '9', 0xF0);
  map_range(t, 'A', 'I', 0xC1);
  map_range(t, 'J', 'R', 0xD1);
  map_range(t, 'S', 'Z', 0xE2);
  map_range(t, 'a', 'i', 0x81);
  map_range(t, 'j', 'r', 0x91);
  map_range(t, 's', 'z', 0xA2);
  return t;
}

Table equals_table() {
  Table t{};
  map_range(t, 0x25, 0x3B, 0x25);
  t[' '] = 0x20;
  t['<'] = 0x2A;
  t['>'] = 0x3B;
  t['?'] = 0x3F;
  t['_'] = 0x27;
  t['{'] = 0x20;
  map_range(t, 'A', 'Z', 0x41);
  map_range(t, 'a', 'z', 0x61);
  return t;
}

Table star_table() {
  Table t{};
  t['%'] = 0x7B;
  t['&'] = 0x7C;
  t['('] = 0x7E;
  t[')'] = 0x7F;
  t['<'] = 0x1A;
  t['_'] = 0x7D;
  map_range(t, '+', '/', 0x1B);
  map_range(t, '0', '2', 0x3C);
  map_range(t, '4', '9', 0xFA);
  map_range(t, 'B', 'Z', 0x01);
  return t;
}

Table apostrophe_table() {
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
  map_range(t, '+', '/', 0xBB);
  map_range(t, '1', '4', 0x21);
  map_range(t, 'C', 'H', 0xEA);
  map_range(t, 'K', 'Z', 0xAA);
  map_range(t, 'c', 'h', 0xCA);
  map_range(t, 'k', 'q', 0x8A);
  map_range(t, 's', 'x', 0xDA);
  return t;
}

struct Tables {
  std::array<Table, kShiftTableCount> forward;
  std::array<std::array<char, 256>, kShiftTableCount> reverse{};

  Tables() : forward{semicolon_table(), equals_table(), star_table(), apostrophe_table()} {
    for (int t = 0; t < kShiftTableCount; ++t) {
      // Walking down lets the lower character win: a blank rather than '{'.
      for (int c = 127; c >= 0x20; --c) {
        if (is_shift_character(static_cast<char>(c))) continue;
        uint8_t b = forward[t][c];
        if (b != 0) reverse[t][b] = static_cast<char>(c);
      }
    }
    // A letter reads better on the screen than the grave accent.
    reverse[static_cast<int>(ShiftTable::Apostrophe)][0x80] = 'a';
  }
};

const Tables& tables() {
  static const Tables instance;
  return instance;
}

}  // namespace

char shift_character(ShiftTable table) {
  static constexpr char kShift[kShiftTableCount] = {';', '=', '*', '\''};
  return kShift[static_cast<int>(table)];
}

bool is_shift_character(char c) { return c == ';' || c == '=' || c == '*' || c == '\''; }

uint8_t table_byte(ShiftTable table, char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 128) return 0;
  return tables().forward[static_cast<int>(table)][u];
}

char table_character(ShiftTable table, uint8_t b) {
  return tables().reverse[static_cast<int>(table)][b];
}

}  // namespace hostsim
