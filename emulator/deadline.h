// A point in time that a blocking step must not pass, on the monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/clock.h"

namespace emulator {

class Deadline {
 public:
  static Deadline InMs(int64_t ms) { return Deadline(platform::MonotonicMs() + (ms < 0 ? 0 : ms)); }
  static Deadline InSeconds(double s) { return InMs(static_cast<int64_t>(s * 1000.0)); }

  int64_t RemainingMs() const {
    int64_t left = static_cast<int64_t>(at_) - static_cast<int64_t>(platform::MonotonicMs());
    return left < 0 ? 0 : left;
  }
  bool Passed() const { return RemainingMs() == 0; }
  // The earlier of the two.
  Deadline Min(Deadline other) const { return at_ <= other.at_ ? *this : other; }
  // Blocks until the deadline has passed.
  void SleepOut() const {
    while (!Passed()) std::this_thread::sleep_for(std::chrono::milliseconds(RemainingMs()));
  }
  // For poll(): the remaining time in ms, capped to fit an int.
  int PollTimeout() const {
    int64_t left = RemainingMs();
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left);
  }

 private:
  explicit Deadline(uint64_t at) : at_(at) {}
  uint64_t at_;
};

}  // namespace emulator
