#include "hostlink/screen_codec.h"

#include <array>
#include <cctype>

namespace screen_codec {
namespace {

using Table = std::array<uint8_t, 128>;

void MapRange(Table& t, unsigned char first, unsigned char last, uint8_t to) {
  for (int c = first; c <= last; ++c)
    t[static_cast<size_t>(c)] = static_cast<uint8_t>(to + (c - first));
}

struct Tables {
  Table semicolon{}, equals{}, star{}, apostrophe{};
  Tables() {
    Table& s = semicolon;
    s[' '] = 0x40;
    s['%'] = 0x6C;
    s['&'] = 0x50;
    s['('] = 0x4D;
    s[')'] = 0x5D;
    s['+'] = 0x4E;
    s[','] = 0x6B;
    s['-'] = 0x60;
    s['.'] = 0x4B;
    s['/'] = 0x61;
    MapRange(s, '0', '9', 0xF0);
    s[':'] = 0x7A;
    s['<'] = 0x4C;
    s['>'] = 0x6E;
    s['?'] = 0x6F;
    MapRange(s, 'A', 'I', 0xC1);
    MapRange(s, 'J', 'R', 0xD1);
    MapRange(s, 'S', 'Z', 0xE2);
    s['_'] = 0x6D;
    MapRange(s, 'a', 'i', 0x81);
    MapRange(s, 'j', 'r', 0x91);
    MapRange(s, 's', 'z', 0xA2);
    s['{'] = 0x40;

    Table& e = equals;
    e[' '] = 0x20;
    MapRange(e, 0x25, 0x3B, 0x25);
    e['<'] = 0x2A;
    e['>'] = 0x3B;
    e['?'] = 0x3F;
    MapRange(e, 'A', 'Z', 0x41);
    e['_'] = 0x27;
    MapRange(e, 'a', 'z', 0x61);
    e['{'] = 0x20;

    Table& t = star;
    t['%'] = 0x7B;
    t['&'] = 0x7C;
    t['('] = 0x7E;
    t[')'] = 0x7F;
    MapRange(t, '+', '/', 0x1B);
    MapRange(t, '0', '2', 0x3C);
    MapRange(t, '4', '9', 0xFA);
    t['<'] = 0x1A;
    MapRange(t, 'B', 'Z', 0x01);
    t['_'] = 0x7D;

    Table& a = apostrophe;
    a['&'] = 0x9C;
    a['('] = 0x9E;
    a[')'] = 0x9F;
    MapRange(a, '+', '/', 0xBB);
    MapRange(a, '1', '4', 0x21);
    a['5'] = 0x5B;
    a['6'] = 0x5C;
    a['8'] = 0x5E;
    a['9'] = 0x5F;
    a[':'] = 0x9A;
    a['<'] = 0xBA;
    a['>'] = 0x9B;
    a['A'] = 0xA0;
    a['B'] = 0xA1;
    MapRange(a, 'C', 'H', 0xEA);
    a['I'] = 0xE0;
    a['J'] = 0xE1;
    MapRange(a, 'K', 'Z', 0xAA);
    a['_'] = 0x9D;
    a['`'] = 0x80;
    a['a'] = 0x80;
    MapRange(a, 'c', 'h', 0xCA);
    a['i'] = 0xC0;
    MapRange(a, 'k', 'q', 0x8A);
    MapRange(a, 's', 'x', 0xDA);
    a['y'] = 0xD0;
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

int RunCount(unsigned char c) {
  if (c == ' ') return 0;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= 'a' && c <= 'z') return c - 'a' + 27;
  if (c >= '0' && c <= '9') return c - '0' + 53;
  if (c == '+') return 63;
  return 64;
}

std::string ShiftTranslate(std::string_view screen) {
  const Tables& tables = GetTables();
  const Table* table = &tables.semicolon;
  std::string out;
  out.reserve(screen.size());
  for (char ch : screen) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case ';': table = &tables.semicolon; continue;
      case '=': table = &tables.equals; continue;
      case '*': table = &tables.star; continue;
      case '\'': table = &tables.apostrophe; continue;
      default: break;
    }
    // Characters at 0x80 and above have no entry: they become 0 like other gaps.
    out.push_back(static_cast<char>(c < 128 ? (*table)[c] : 0));
  }
  return out;
}

std::string RunLengthExpander::Expand(std::string_view bytes) {
  std::string out;
  out.reserve(4040);
  size_t i = 0;
  const size_t n = bytes.size();
  if (pending_count_ >= 0) {
    if (n == 0) return out;
    out.append(static_cast<size_t>(pending_count_), bytes[0]);
    pending_count_ = -1;
    i = 1;
  }
  bool tilde = pending_tilde_;
  pending_tilde_ = false;
  while (i < n || tilde) {
    if (!tilde) {
      char c = bytes[i];
      if (c != '~') {
        if (static_cast<unsigned char>(c) == 0x15)
          out += "\r\n";
        else
          out.push_back(c);
        ++i;
        continue;
      }
      ++i;  // consume the '~'
      if (i >= n) {
        pending_tilde_ = true;
        break;
      }
    }
    tilde = false;
    if (i >= n) {  // a carried '~' on an empty chunk stays pending
      pending_tilde_ = true;
      break;
    }
    int count = RunCount(static_cast<unsigned char>(bytes[i]));
    ++i;
    if (i >= n) {
      pending_count_ = count;
      break;
    }
    out.append(static_cast<size_t>(count), bytes[i]);
    ++i;
  }
  return out;
}

bool AcceptLengthPrefixed(std::string& screen, long* declared_length) {
  if (screen.empty() || !std::isdigit(static_cast<unsigned char>(screen[0]))) return true;
  long length = 0;
  for (size_t i = 0; i < screen.size() && std::isdigit(static_cast<unsigned char>(screen[i]));
       ++i) {
    length = length * 10 + (screen[i] - '0');
    if (length > 100000) break;  // far beyond any screen: cannot be satisfied
  }
  if (declared_length) *declared_length = length;
  if (length <= 0) return false;
  size_t end = 5 + static_cast<size_t>(length);
  if (screen.size() < end) return false;
  for (size_t i = 5; i < end; ++i)
    if (screen[i] == ' ' || screen[i] == '\0') return false;
  for (size_t i = 5; i < end; ++i)
    if (screen[i] == '{') screen[i] = ' ';
  screen.erase(0, 5);
  return true;
}

}  // namespace screen_codec
