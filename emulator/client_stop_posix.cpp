#include <poll.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "emulator/client_stop.h"

namespace emulator {

int ClientStopFd() {
  const char* name = std::getenv("QOR_STOP_FD");
  if (!name || *name < '0' || *name > '9') return -1;
  char* end = nullptr;
  long fd = std::strtol(name, &end, 10);
  if (*end != '\0' || fd < 0 || fd > 65535) return -1;
  // Anything but a pipe is not the client's stop (a stale name, a descriptor
  // reused since): it is ignored rather than taken for a stop.
  struct stat info;
  if (::fstat(static_cast<int>(fd), &info) != 0 || !S_ISFIFO(info.st_mode)) return -1;
  return static_cast<int>(fd);
}

bool ClientStopped() {
  int fd = ClientStopFd();
  if (fd < 0) return false;
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP));
}

bool SleepUnlessStopped(Deadline until) {
  int fd = ClientStopFd();
  if (fd < 0) {
    until.SleepOut();
    return false;
  }
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    int n = ::poll(&p, 1, until.PollTimeout());
    if (n > 0 && (p.revents & (POLLIN | POLLHUP))) return true;
    if (n == 0 && until.Passed()) return false;
    if (n > 0 || (n < 0 && errno != EINTR)) {
      until.SleepOut();
      return false;
    }
  }
}

}  // namespace emulator
