#include "tests/hostsim/reference_decoder.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace reference {
namespace {

// Character -> byte, one table per shift character, from the published lists.
struct Tables {
  using Table = std::array<uint8_t, 128>;
  Table semi{}, equ{}, star{}, apos{};
  static void range(Table& t, int from, int to, int first) {
    for (int c = from; c <= to; ++c) t[c] = static_cast<uint8_t>(first + c - from);
  }
  Tables() {
    semi[' '] = 0x40;
    semi['%'] = 0x6C;
    semi['&'] = 0x50;
    semi['('] = 0x4D;
    semi[')'] = 0x5D;
    semi['+'] = 0x4E;
    semi[','] = 0x6B;
    semi['-'] = 0x60;
    semi['.'] = 0x4B;
    semi['/'] = 0x61;
    range(semi, '0', '9', 0xF0);
    semi[':'] = 0x7A;
    semi['<'] = 0x4C;
    semi['>'] = 0x6E;
    semi['?'] = 0x6F;
    range(semi, 'A', 'I', 0xC1);
    range(semi, 'J', 'R', 0xD1);
    range(semi, 'S', 'Z', 0xE2);
    semi['_'] = 0x6D;
    range(semi, 'a', 'i', 0x81);
    range(semi, 'j', 'r', 0x91);
    range(semi, 's', 'z', 0xA2);
    semi['{'] = 0x40;

    equ[' '] = 0x20;
    range(equ, 0x25, 0x3B, 0x25);
    equ['<'] = 0x2A;
    equ['>'] = 0x3B;
    equ['?'] = 0x3F;
    range(equ, 'A', 'Z', 0x41);
    equ['_'] = 0x27;
    range(equ, 'a', 'z', 0x61);
    equ['{'] = 0x20;

    star['%'] = 0x7B;
    star['&'] = 0x7C;
    star['('] = 0x7E;
    star[')'] = 0x7F;
    range(star, '+', '/', 0x1B);
    range(star, '0', '2', 0x3C);
    range(star, '4', '9', 0xFA);
    star['<'] = 0x1A;
    range(star, 'B', 'Z', 0x01);
    star['_'] = 0x7D;

    apos['&'] = 0x9C;
    apos['('] = 0x9E;
    apos[')'] = 0x9F;
    range(apos, '+', '/', 0xBB);
    range(apos, '1', '4', 0x21);
    apos['5'] = 0x5B;
    apos['6'] = 0x5C;
    apos['8'] = 0x5E;
    apos['9'] = 0x5F;
    apos[':'] = 0x9A;
    apos['<'] = 0xBA;
    apos['>'] = 0x9B;
    apos['A'] = 0xA0;
    apos['B'] = 0xA1;
    range(apos, 'C', 'H', 0xEA);
    apos['I'] = 0xE0;
    apos['J'] = 0xE1;
    range(apos, 'K', 'Z', 0xAA);
    apos['_'] = 0x9D;
    apos['`'] = 0x80;
    apos['a'] = 0x80;
    range(apos, 'c', 'h', 0xCA);
    apos['i'] = 0xC0;
    range(apos, 'k', 'q', 0x8A);
    range(apos, 's', 'x', 0xDA);
    apos['y'] = 0xD0;
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

int count_of(uint8_t b) {
  static const char alphabet[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
  for (int i = 0; i < 64; ++i) {
    if (static_cast<uint8_t>(alphabet[i]) == b) return i;
  }
  return 64;
}

}  // namespace

std::string Decoder::translate(const std::string& screen) const {
  const Tables::Table* table = &tables().semi;
  std::string out;
  for (char ch : screen) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0) break;  // the screen text is zero-terminated
    if (c == ';') {
      table = &tables().semi;
      continue;
    }
    if (c == '=') {
      table = &tables().equ;
      continue;
    }
    if (c == '*') {
      table = &tables().star;
      continue;
    }
    if (c == '\'') {
      table = &tables().apos;
      continue;
    }
    out += static_cast<char>(c < 128 ? (*table)[c] : 0);
  }
  return out;
}

std::string Decoder::expand(const std::string& t) {
  std::string out;
  const std::size_t n = t.size();
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<uint8_t>(t[k]); };
  if (pending_count_ >= 0 && n > 0) {
    out.append(static_cast<std::size_t>(pending_count_), t[0]);
    pending_count_ = -1;
    i = 1;
  }
  bool tilde = pending_tilde_;
  pending_tilde_ = false;
  while (i < n || tilde) {
    if (!tilde) {
      if (byte(i) != 0x7E) {
        if (byte(i) == 0x15) {
          out += "\r\n";
        } else {
          out += t[i];
        }
        ++i;
        continue;
      }
      if (i + 1 == n) {  // '~' ends the chunk
        pending_tilde_ = true;
        break;
      }
      ++i;  // i now at the count character
    }
    tilde = false;
    if (i >= n) {
      pending_tilde_ = true;
      break;
    }
    const int count = count_of(byte(i));
    if (i + 1 == n) {
      pending_count_ = count;
      break;
    }
    out.append(static_cast<std::size_t>(count), t[i + 1]);
    i += 2;
  }
  return out;
}

std::optional<std::string> Decoder::decode(std::string screen) {
  if (length_prefix_mode_ && !screen.empty() && screen[0] >= '0' && screen[0] <= '9') {
    const long length = std::strtol(screen.c_str(), nullptr, 10);
    if (length <= 0) return std::nullopt;
    for (long p = 5; p <= length + 4; ++p) {
      if (static_cast<std::size_t>(p) >= screen.size() || screen[p] == ' ') return std::nullopt;
      if (screen[p] == '{') screen[p] = ' ';
    }
    screen.erase(0, 5);
  }
  return expand(translate(screen));
}

std::string copy_screen(const std::string& painted, std::size_t usable) {
  std::string text = painted.substr(0, usable);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string up_to_zero(const std::string& block) { return block.substr(0, block.find('\0')); }

}  // namespace reference
