#include "emulator/read_buffer.h"

#include <cstdlib>
#include <string_view>

#include "emulator/latin1.h"

namespace emulator {
namespace {

constexpr unsigned kProtected = 0x20;
constexpr unsigned kHiddenMask = 0x0C;  // both intensity bits: not displayed

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "c0=e8" among the comma-separated settings inside SF(...): the field
// attribute byte. -1 when it is missing or malformed.
int FieldAttribute(std::string_view token) {
  std::string_view inner = token.substr(3, token.size() - 4);
  while (!inner.empty()) {
    std::size_t comma = inner.find(',');
    std::string_view item = inner.substr(0, comma);
    if (item.size() == 5 && item.substr(0, 3) == "c0=") {
      int hi = HexDigit(item[3]), lo = HexDigit(item[4]);
      return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
    }
    if (comma == std::string_view::npos) break;
    inner.remove_prefix(comma + 1);
  }
  return -1;
}

// A character cell: the hex of its bytes in the emulator's (UTF-8) encoding.
// Returns the Latin-1 byte, ' ' for a null, or -1.
int Character(std::string_view token) {
  if (token.size() < 2 || token.size() > 8 || token.size() % 2 != 0) return -1;
  std::string bytes;
  for (std::size_t i = 0; i < token.size(); i += 2) {
    int hi = HexDigit(token[i]), lo = HexDigit(token[i + 1]);
    if (hi < 0 || lo < 0) return -1;
    bytes.push_back(static_cast<char>(hi * 16 + lo));
  }
  if (bytes.size() == 1 && bytes[0] == '\0') return ' ';
  unsigned char first = static_cast<unsigned char>(bytes[0]);
  if (bytes.size() == 1 && (first < 0x20 || first >= 0x7F)) return -1;  // not plain text
  // The same conversion the plain text goes through: beyond Latin-1 is '?'.
  std::string latin = Utf8ToLatin1(bytes);
  return latin.size() == 1 ? static_cast<unsigned char>(latin[0]) : -1;
}

}  // namespace

bool ScreenImage::takes_input(int offset, int count) const {
  if (offset < 0 || count < 0 || static_cast<std::size_t>(offset) + static_cast<std::size_t>(count) > input.size())
    return false;
  for (int i = offset; i < offset + count; ++i)
    if (!input[static_cast<std::size_t>(i)]) return false;
  return true;
}

bool ParseReadBuffer(const std::vector<std::string>& lines, int rows, int columns, ScreenImage* image) {
  if (rows < 1 || columns < 1 || lines.size() != static_cast<std::size_t>(rows)) return false;
  const std::size_t size = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
  std::string text;
  std::vector<int> attribute(size, -1);  // the attribute byte where a field starts
  text.reserve(size);
  for (const std::string& line : lines) {
    std::size_t row_start = text.size();
    std::string_view rest(line);
    while (!rest.empty()) {
      std::size_t space = rest.find(' ');
      std::string_view token = rest.substr(0, space);
      rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
      if (token.empty()) continue;
      if (text.size() >= size) return false;
      if (token.size() > 4 && token.substr(0, 3) == "SF(" && token.back() == ')') {
        int fa = FieldAttribute(token);
        if (fa < 0) return false;
        attribute[text.size()] = fa;
        text.push_back(' ');
      } else if (token.size() > 4 && token.substr(0, 3) == "SA(" && token.back() == ')') {
        continue;  // colour or highlighting of the characters after it: no position
      } else {
        int c = Character(token);
        if (c < 0) return false;
        text.push_back(static_cast<char>(c));
      }
    }
    if (text.size() - row_start != static_cast<std::size_t>(columns)) return false;
  }
  // Every position belongs to the field whose attribute precedes it, wrapping
  // round from the end; a screen without attributes is one unprotected field.
  int last = -1;
  for (std::size_t i = size; i-- > 0 && last < 0;) last = attribute[i];
  image->input.assign(size, last < 0);
  int current = last;
  for (std::size_t i = 0; i < size; ++i) {
    if (attribute[i] >= 0) {
      current = attribute[i];
      continue;
    }
    if (current < 0) continue;
    if ((static_cast<unsigned>(current) & kHiddenMask) == kHiddenMask) text[i] = ' ';
    image->input[i] = (static_cast<unsigned>(current) & kProtected) == 0;
  }
  image->text = std::move(text);
  return true;
}

}  // namespace emulator
