// Text is UTF-8 in std::string; cells hold code points. Bytes that are not
// valid UTF-8 are taken as Latin-1, so texts from older 8-bit files still show.
#pragma once

#include <string>
#include <string_view>

namespace tk {

std::u32string DecodeUtf8(std::string_view s);
std::string EncodeUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t c);

// A label text with "&" marking its hot key ("&&" is a literal "&"): the
// visible text, the index of the marked character in it (-1: none) and the
// hot key itself folded to lower case (0: none).
struct HotText {
  std::u32string text;
  int hot_index = -1;
  char32_t hot_key = 0;
};
HotText ParseHotText(std::string_view s);

// Cells a text takes on screen: one per character (no double-width scripts).
inline int TextCells(std::string_view s) { return static_cast<int>(DecodeUtf8(s).size()); }

char32_t FoldCase(char32_t c);   // lower case for ASCII and Latin-1
char32_t UpperCase(char32_t c);  // upper case for ASCII and Latin-1

}  // namespace tk
