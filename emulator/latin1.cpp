#include "emulator/latin1.h"

namespace emulator {

std::string Utf8ToLatin1(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    unsigned cp = extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    bool good = extra > 0 && i + static_cast<std::size_t>(extra) < in.size();
    for (int k = 1; good && k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) good = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (!good) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(cp < 0x100 ? static_cast<char>(cp) : '?');
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (char ch : in) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace emulator
