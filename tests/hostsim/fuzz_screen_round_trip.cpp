// Any job bytes, any screen size, either form: the screens decode back to the
// job without its NUL bytes, fit their size, and leave no run open.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hostsim/screen_encoder.h"
#include "tests/hostsim/reference_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool prefixed = data[0] & 1;
  const std::size_t capacity = hostsim::kSmallestScreenCapacity + data[1] % 200;
  std::string job(reinterpret_cast<const char*>(data + 2), size - 2);
  hostsim::JobEncoder encoder(
      job, prefixed ? hostsim::ScreenForm::kLengthPrefixed : hostsim::ScreenForm::kPlain, capacity);
  reference::Decoder decoder(prefixed);
  std::string decoded;
  while (!encoder.GetDone()) {
    const std::string screen = encoder.NextScreen();
    if (screen.empty() || screen.size() > capacity || screen.back() == ' ') std::abort();
    auto block = decoder.decode(reference::copy_screen(screen));
    if (!block || decoder.carry_pending()) std::abort();
    decoded += *block;
  }
  std::string expected;
  for (char c : job) {
    if (c) expected += c;
  }
  if (decoded != expected) std::abort();
  return 0;
}
