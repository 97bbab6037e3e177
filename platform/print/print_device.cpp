#include "platform/print/print_device.h"

#include <atomic>
#include <cmath>

namespace platform {

uint32_t NextDeviceHandle() {
  static std::atomic<uint32_t> next{0x2C10};
  return next.fetch_add(4);
}

PrintFont FontFromPoints(const std::string& family, int points, bool bold, bool italic) {
  PrintFont f;
  f.family = family;
  f.height = static_cast<int>(std::lround(points * kDeviceUnitsPerInch / 72.0));
  f.bold = bold;
  f.italic = italic;
  return f;
}

}  // namespace platform
