#include "platform/file_create.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

int CreateNewFile(const std::string& path, int* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) *error = errno;
  return fd;
}

int SyncDirectory(const std::string& directory) {
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int rc = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return rc == EINVAL || rc == ENOTSUP ? 0 : rc;
}

void ReportFileSizeLimitAsError() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform
