#include "platform/file_create.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

namespace platform {

// CREATE_NEW underneath: any entry at the name, a link too, makes it fail.
int CreateNewFile(const std::string& path, int* error) {
  int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
  if (fd < 0) *error = errno;
  return fd;
}

int SyncDirectory(const std::string&) { return 0; }

void ReportFileSizeLimitAsError() {}

}  // namespace platform
