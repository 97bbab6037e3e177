// Feeds arbitrary bytes (a host's text, a file name) to the JSON string
// writer: whatever comes in, what comes out is one valid JSON string: quoted,
// no raw control character, no unescaped quote, and valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/json_text.h"

namespace {

// The length of the UTF-8 sequence at s[i] (any well-formed one), 0 if none.
size_t SequenceLength(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  size_t n = c < 0x80                ? 1
             : c >= 0xC2 && c < 0xE0 ? 2
             : c >= 0xE0 && c < 0xF0 ? 3
             : c >= 0xF0 && c < 0xF5 ? 4
                                     : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  unsigned cp = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (b(i + k) & 0x3F);
  const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string out =
      common::JsonString(std::string(reinterpret_cast<const char*>(data), size));
  if (out.size() < 2 || out.front() != '"' || out.back() != '"') std::abort();
  for (size_t i = 1; i + 1 < out.size();) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c < 0x20 || c == '"') std::abort();
    if (c == '\\') {
      if (i + 2 >= out.size()) std::abort();
      i += out[i + 1] == 'u' ? 6 : 2;
      continue;
    }
    size_t n = SequenceLength(out, i);
    if (n == 0) std::abort();
    i += n;
  }
  return 0;
}
