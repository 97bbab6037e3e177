// An emulator child process whose standard input and output are one end of a
// socket pair (so a write to a dead child fails instead of raising SIGPIPE).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace emulator {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Kill(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program (searched in PATH) with args. Returns our end of the
  // socket pair, or -1 with *problem set. Standard error goes to /dev/null.
  int Start(const std::string& program, const std::vector<std::string>& args, std::string* problem);
  bool Running() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Waits up to grace_ms for the child to end by itself, then kills it.
  void Stop(int grace_ms);
  void Kill() { Stop(0); }

 private:
  pid_t pid_ = -1;
};

}  // namespace emulator
