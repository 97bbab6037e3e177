// Screen decoding on arbitrary screens: translation, expansion with carries
// across chunks, and the length-prefix test.
#include <cstddef>
#include <cstdint>
#include <string>

#include "hostlink/screen_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string screen(reinterpret_cast<const char*>(data), size);
  static hostlink::screen_codec::RunLengthExpander expander;  // carries across inputs, as in a job
  std::string copy = screen;
  hostlink::screen_codec::AcceptLengthPrefixed(copy);
  std::string bytes = hostlink::screen_codec::ShiftTranslate(copy);
  std::string out = expander.Expand(bytes);
  if (out.size() > bytes.size() * 64 + 128) __builtin_trap();
  return 0;
}
