// A point in time that a blocking step must not pass, on the monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <thread>

#include "platform/clock.h"

namespace emulator {

class Deadline {
 public:
  static Deadline in_ms(int64_t ms) {
    return Deadline(platform::MonotonicMs() + (ms < 0 ? 0 : ms));
  }
  static Deadline in_seconds(double s) { return in_ms(static_cast<int64_t>(s * 1000.0)); }

  int64_t remaining_ms() const {
    int64_t left = static_cast<int64_t>(at_) - static_cast<int64_t>(platform::MonotonicMs());
    return left < 0 ? 0 : left;
  }
  bool passed() const { return remaining_ms() == 0; }
  // The earlier of the two.
  Deadline min(Deadline other) const { return at_ <= other.at_ ? *this : other; }
  // Blocks until the deadline has passed.
  void sleep_out() const {
    while (!passed()) std::this_thread::sleep_for(std::chrono::milliseconds(remaining_ms()));
  }
  // For poll(): the remaining time in ms, capped to fit an int.
  int poll_timeout() const {
    int64_t left = remaining_ms();
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left);
  }

 private:
  explicit Deadline(uint64_t at) : at_(at) {}
  uint64_t at_;
};

}  // namespace emulator
