// SIGTERM, SIGINT and SIGHUP for a program that runs as a service: the first
// one makes a pipe readable, so a loop that waits on it ends in its own time;
// a second one ends the process at once.
#pragma once

namespace platform {

class StopSignals {
 public:
  StopSignals();   // installs the handlers (one instance at a time)
  ~StopSignals();  // restores the previous ones
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Readable once a stop signal came; -1 when the pipe could not be made.
  int fd() const { return read_fd_; }

 private:
  int read_fd_ = -1;
};

}  // namespace platform
