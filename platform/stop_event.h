// A stop that a loop can wait on with a time-out: set once (from a signal
// handler, a console control handler or a test), it stays set.
#pragma once

#include <cstdint>

namespace platform {

class StopEvent {
 public:
  StopEvent();
  ~StopEvent();
  StopEvent(const StopEvent&) = delete;
  StopEvent& operator=(const StopEvent&) = delete;

  // Safe inside a signal handler and from another thread.
  void Set();
  // Blocks until the stop is set or timeout_ms have passed (0: just looks).
  // True once it is set.
  bool Wait(int timeout_ms);
  // What other code may wait on: the pipe's read end (readable once set) on
  // POSIX, the event handle on Windows; -1 when there is none.
  intptr_t Waitable() const { return read_; }

 private:
  // A pipe's two ends on POSIX; an event handle on Windows.
  intptr_t read_ = -1;
  intptr_t write_ = -1;
};

}  // namespace platform
