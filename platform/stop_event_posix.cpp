#include "platform/stop_event.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

// A pipe: a signal handler may write to it, and poll waits on it.
StopEvent::StopEvent() {
  int fds[2];
  if (pipe(fds) != 0) return;
  for (int fd : fds) fcntl(fd, F_SETFD, FD_CLOEXEC);
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  read_ = fds[0];
  write_ = fds[1];
}

StopEvent::~StopEvent() {
  if (read_ < 0) return;
  close(static_cast<int>(read_));
  close(static_cast<int>(write_));
}

void StopEvent::Set() {
  char byte = 1;
  if (write_ >= 0) (void)!write(static_cast<int>(write_), &byte, 1);
}

bool StopEvent::Wait(int timeout_ms) {
  // Without a pipe the stop never comes; the wait still takes its time.
  pollfd p{static_cast<int>(read_), POLLIN, 0};
  int n = poll(read_ >= 0 ? &p : nullptr, read_ >= 0 ? 1 : 0, timeout_ms > 0 ? timeout_ms : 0);
  return n > 0 && (p.revents & (POLLIN | POLLHUP));
}

}  // namespace platform
