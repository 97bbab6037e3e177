// Timing for the tests that check waits: CPU time this process has used
// (user and system, in microseconds), to see that waiting does not spin, and
// wall-clock milliseconds since a moment.
#pragma once

#include <chrono>

long CpuMicros();

inline long MillisSince(std::chrono::steady_clock::time_point t) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
          .count());
}
