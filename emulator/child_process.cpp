#include "emulator/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/spawn_posix.h"

namespace emulator {

int ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                        std::string* problem) {
  int sv[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
    *problem = std::string("socketpair: ") + std::strerror(errno);
    return -1;
  }
  platform::SpawnSetup setup;
  setup.argv.push_back(program);
  setup.argv.insert(setup.argv.end(), args.begin(), args.end());
  setup.streams = {platform::SpawnStream::Copy(0, sv[1]), platform::SpawnStream::Copy(1, sv[1]),
                   platform::SpawnStream::Open(2, "/dev/null", O_WRONLY)};
  pid_t pid = -1;
  int rc = platform::Spawn(setup, &pid);
  ::close(sv[1]);
  if (rc != 0) {
    ::close(sv[0]);
    *problem = "cannot start " + program + " (" + std::strerror(rc) + ")";
    return -1;
  }
  pid_ = pid;
  return sv[0];
}

void ChildProcess::Stop(int grace_ms) {
  if (pid_ <= 0) return;
  for (int waited = 0; waited < grace_ms; waited += 10) {
    pid_t r = ::waitpid(pid_, nullptr, WNOHANG);
    if (r == pid_ || (r < 0 && errno == ECHILD)) {
      pid_ = -1;
      return;
    }
    ::poll(nullptr, 0, 10);
  }
  ::kill(pid_, SIGKILL);
  while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

}  // namespace emulator
