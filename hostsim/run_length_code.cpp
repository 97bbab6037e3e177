#include "hostsim/run_length_code.h"

#include <cstring>

namespace hostsim {
namespace {
constexpr char kAlphabet[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+";
static_assert(sizeof(kAlphabet) - 1 == kLongestRun);
}  // namespace

uint8_t RunCountByte(int count) {
  if (count < 0 || count >= kLongestRun) return kRunMarker;  // outside the alphabet: 64
  return static_cast<uint8_t>(kAlphabet[count]);
}

int RunCountOf(uint8_t b) {
  if (b == 0) return kLongestRun;
  const char* p = static_cast<const char*>(std::memchr(kAlphabet, b, kLongestRun));
  return p ? static_cast<int>(p - kAlphabet) : kLongestRun;
}

}  // namespace hostsim
