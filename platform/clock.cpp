#include "platform/clock.h"

#include <ctime>

namespace platform {

LocalTime LocalNow() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t;
  localtime_r(&ts.tv_sec, &t);
  return LocalTime{t.tm_year + 1900,
                   t.tm_mon + 1,
                   t.tm_mday,
                   t.tm_hour,
                   t.tm_min,
                   t.tm_sec,
                   static_cast<int>(ts.tv_nsec / 1000000)};
}

uint64_t MonotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

}  // namespace platform
