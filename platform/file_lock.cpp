#include "platform/file_lock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"

namespace platform {

int OpenLockedFile(const std::string& path, int timeout_ms, int* error) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  // flock has no time-out: try, and sleep briefly between tries.
  const uint64_t deadline = MonotonicMs() + static_cast<uint64_t>(timeout_ms);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int e = errno;
    if (e == EINTR) continue;
    if (e != EWOULDBLOCK || MonotonicMs() >= deadline) {
      ::close(fd);
      *error = e;
      return -1;
    }
    ::poll(nullptr, 0, 5);
  }
  return fd;
}

void CloseLockedFile(int fd) { ::close(fd); }  // closing releases the lock

int TruncateFile(int fd, long long size) {
  return ::ftruncate(fd, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

}  // namespace platform
