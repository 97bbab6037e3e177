#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/child_process.h"
#include "platform/spawn_posix.h"

namespace platform {

namespace {

// A descriptor that becomes readable when the process ends (Linux 5.3 on);
// -1 on older systems.
int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#else
  (void)pid;
#endif
  return -1;
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (waitable_ >= 0) ::close(static_cast<int>(waitable_));
}

std::string ChildProcess::Start(const std::vector<std::string>& argv,
                                const std::vector<std::string>& env, const std::string& output) {
  if (argv.empty()) return "no command";
  SpawnSetup setup;
  setup.argv = argv;
  setup.environment = env;
  setup.streams.push_back(SpawnStream::Open(0, "/dev/null", O_RDONLY));
  if (output.empty()) {
    setup.streams.push_back(SpawnStream::Copy(1, 2));
  } else {
    setup.streams.push_back(SpawnStream::Open(1, output, O_WRONLY | O_APPEND | O_CREAT, 0644));
    setup.streams.push_back(SpawnStream::Copy(2, 1));
  }
  setup.own_group = true;
  pid_t pid = -1;
  int error = Spawn(setup, &pid);
  if (error != 0) return argv[0] + ": " + std::strerror(error);
  id_ = pid;
  waitable_ = OpenProcessDescriptor(pid);
  return "";
}

bool ChildProcess::Ended(ChildEnd* end) {
  if (reaped_) return true;
  if (id_ <= 0) return true;
  int status = 0;
  pid_t got = ::waitpid(static_cast<pid_t>(id_), &status, WNOHANG);
  if (got == 0 || (got < 0 && errno == EINTR)) return false;
  reaped_ = true;
  if (got < 0) return true;  // reaped elsewhere: nothing more to learn
  end->signalled = WIFSIGNALED(status);
  end->code = end->signalled ? WTERMSIG(status) : WEXITSTATUS(status);
  return true;
}

void ChildProcess::Kill() {
  if (id_ > 0 && !reaped_) ::kill(-static_cast<pid_t>(id_), SIGKILL);
}

bool WaitForAny(std::span<const intptr_t> waitables, int timeout_ms) {
  std::vector<pollfd> fds;
  for (intptr_t w : waitables)
    if (w >= 0) fds.push_back(pollfd{static_cast<int>(w), POLLIN, 0});
  int n = ::poll(fds.data(), fds.size(), timeout_ms > 0 ? timeout_ms : 0);
  return n > 0;
}

}  // namespace platform
