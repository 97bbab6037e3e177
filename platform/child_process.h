// Programs the client starts and does not wait for: started with an
// environment of the caller's making, watched from the one main loop, and
// ended when they overstay.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

struct ChildEnd {
  bool signalled = false;  // ended by a signal (POSIX only)
  int code = 0;            // the exit status, or the signal's number
};

class ChildProcess {
 public:
  ChildProcess() = default;
  // Lets go of the process (it is not ended) and of its handles.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts argv (argv[0] looked up through PATH) with exactly env
  // ("NAME=value" each), standard input from the null device and its output
  // appended to the file output ("": this process's standard error), in a
  // process group of its own. "" once it runs, else why it could not start.
  std::string Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                    const std::string& output = "");
  // True once it has ended (and is reaped), with how in *end; never blocks.
  bool Ended(ChildEnd* end);
  // Ends it and what it started (its process group) at once.
  void Kill();
  long Id() const { return static_cast<long>(id_); }
  // Ready (readable, signalled) once it has ended, for WaitForAny; -1 when
  // the system offers nothing to wait on: the caller then looks now and then.
  intptr_t Waitable() const { return waitable_; }

 private:
  intptr_t id_ = -1;        // the process id; on Windows its handle
  intptr_t waitable_ = -1;  // a process file descriptor on Linux
  bool reaped_ = false;
};

// Waits until one of waitables is ready or timeout_ms have passed; entries
// of -1 are skipped. True when one is ready.
bool WaitForAny(std::span<const intptr_t> waitables, int timeout_ms);

}  // namespace platform
