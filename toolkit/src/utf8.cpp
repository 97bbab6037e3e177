#include "toolkit/utf8.h"

namespace tk {

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    char32_t c = len == 1 ? b : len == 2 ? (b & 0x1f) : len == 3 ? (b & 0x0f) : (b & 0x07);
    bool ok = len > 0 && i + len <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      unsigned char cb = static_cast<unsigned char>(s[i + k]);
      if ((cb & 0xc0) != 0x80) ok = false;
      c = (c << 6) | (cb & 0x3f);
    }
    // Overlong forms, surrogates and out-of-range values count as invalid too.
    if (ok && ((len == 2 && c < 0x80) || (len == 3 && c < 0x800) || (len == 4 && c < 0x10000) ||
               c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)))
      ok = false;
    if (!ok) {
      out.push_back(b);  // taken as Latin-1
      ++i;
      continue;
    }
    out.push_back(c);
    i += len;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xc0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xe0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  } else {
    out.push_back(static_cast<char>(0xf0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3f)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3f)));
  }
}

std::string EncodeUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) AppendUtf8(out, c);
  return out;
}

char32_t FoldCase(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7)) return c + 0x20;
  return c;
}

char32_t UpperCase(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= 0xe0 && c <= 0xfe && c != 0xf7)) return c - 0x20;
  return c;
}

HotText ParseHotText(std::string_view s) {
  HotText h;
  std::u32string raw = DecodeUtf8(s);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == U'&' && i + 1 < raw.size()) {
      ++i;
      if (raw[i] != U'&' && h.hot_index < 0) {
        h.hot_index = static_cast<int>(h.text.size());
        h.hot_key = FoldCase(raw[i]);
      }
    }
    h.text.push_back(raw[i]);
  }
  return h;
}

}  // namespace tk
