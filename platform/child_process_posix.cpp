#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/child_process.h"

namespace platform {

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& words) {
  std::vector<char*> out;
  for (const std::string& w : words) out.push_back(const_cast<char*>(w.c_str()));
  out.push_back(nullptr);
  return out;
}

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
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output.empty()) {
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_APPEND | O_CREAT,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  // The client's own stop signals are not the child's business.
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> vars = Pointers(env);
  pid_t pid = -1;
  int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), vars.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
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
