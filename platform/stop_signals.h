// The system's requests to stop a program that runs as a service: SIGTERM,
// SIGINT and SIGHUP on Linux; Ctrl+C, Ctrl+Break, closing the console,
// logoff and shut-down on Windows. The first sets an event that a loop waits
// on, so it ends in its own time; a second ends the process at once.
#pragma once

#include "platform/stop_event.h"

namespace platform {

class StopSignals {
 public:
  StopSignals();   // installs the handlers (one instance at a time)
  ~StopSignals();  // restores the previous ones
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  StopEvent& GetEvent() { return event_; }

 private:
  StopEvent event_;
};

}  // namespace platform
