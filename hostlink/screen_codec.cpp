#include "hostlink/screen_codec.h"

#include <array>
#include <cctype>
#include <span>

namespace hostlink::screen_codec {
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
    {'0', '9', 0xF0}, {':', ':', 0x7A}, {'<', '<', 0x4C}, {'>', '>', 0x6E}, {'?', '?', 0x6F},
    {'A', 'I', 0xC1}, {'J', 'R', 0xD1}, {'S', 'Z', 0xE2}, {'_', '_', 0x6D}, {'a', 'i', 0x81},
    {'j', 'r', 0x91}, {'s', 'z', 0xA2}, {'{', '{', 0x40}};
constexpr Span kEquals[] = {{' ', ' ', 0x20}, {'%', ';', 0x25}, {'<', '<', 0x2A},
                            {'>', '>', 0x3B}, {'?', '?', 0x3F}, {'A', 'Z', 0x41},
                            {'_', '_', 0x27}, {'a', 'z', 0x61}, {'{', '{', 0x20}};
constexpr Span kStar[] = {{'%', '%', 0x7B}, {'&', '&', 0x7C}, {'(', '(', 0x7E}, {')', ')', 0x7F},
                          {'+', '/', 0x1B}, {'0', '2', 0x3C}, {'4', '9', 0xFA}, {'<', '<', 0x1A},
                          {'B', 'Z', 0x01}, {'_', '_', 0x7D}};
constexpr Span kApostrophe[] = {
    {'&', '&', 0x9C}, {'(', '(', 0x9E}, {')', ')', 0x9F}, {'+', '/', 0xBB}, {'1', '4', 0x21},
    {'5', '5', 0x5B}, {'6', '6', 0x5C}, {'8', '8', 0x5E}, {'9', '9', 0x5F}, {':', ':', 0x9A},
    {'<', '<', 0xBA}, {'>', '>', 0x9B}, {'A', 'A', 0xA0}, {'B', 'B', 0xA1}, {'C', 'H', 0xEA},
    {'I', 'I', 0xE0}, {'J', 'J', 0xE1}, {'K', 'Z', 0xAA}, {'_', '_', 0x9D}, {'`', '`', 0x80},
    {'a', 'a', 0x80}, {'c', 'h', 0xCA}, {'i', 'i', 0xC0}, {'k', 'q', 0x8A}, {'s', 'x', 0xDA},
    {'y', 'y', 0xD0}};

Table Build(std::span<const Span> spans) {
  Table t{};
  for (const Span& s : spans)
    for (int c = s.first; c <= s.last; ++c) t[c] = static_cast<uint8_t>(s.byte + (c - s.first));
  return t;
}

struct Tables {
  Table semicolon = Build(kSemicolon), equals = Build(kEquals), star = Build(kStar),
        apostrophe = Build(kApostrophe);
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

}  // namespace hostlink::screen_codec
