// Local wall-clock time for trace and log stamps; a monotonic millisecond
// clock for waits and time-outs.
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  int year, month, day;  // month 1-12
  int hour, minute, second, millisecond;
};

LocalTime LocalNow();
uint64_t MonotonicMs();

}  // namespace platform
