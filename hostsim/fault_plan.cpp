#include "hostsim/fault_plan.h"

#include "hostsim/screen_geometry.h"

namespace hostsim {

std::string garbage_screen_text(uint32_t seed) {
  std::string text(kScreenTextCapacity, ' ');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : text) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(0x21 + x % 94);  // printable, never a blank
  }
  return text;
}

}  // namespace hostsim
