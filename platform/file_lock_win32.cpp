#include "platform/file_lock.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/clock.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

HANDLE Handle(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace

int OpenLockedFile(const std::string& path, int timeout_ms, int* error) {
  int fd =
      ::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  const uint64_t deadline = MonotonicMs() + static_cast<uint64_t>(timeout_ms);
  for (;;) {
    OVERLAPPED whole = {};
    if (LockFileEx(Handle(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                   MAXDWORD, &whole))
      return fd;
    DWORD e = GetLastError();
    if (e != ERROR_LOCK_VIOLATION || MonotonicMs() >= deadline) {
      ::_close(fd);
      *error = e == ERROR_LOCK_VIOLATION ? EWOULDBLOCK : EACCES;
      return -1;
    }
    Sleep(5);
  }
}

void CloseLockedFile(int fd) {
  OVERLAPPED whole = {};
  UnlockFileEx(Handle(fd), 0, MAXDWORD, MAXDWORD, &whole);
  ::_close(fd);
}

int TruncateFile(int fd, long long size) { return ::_chsize_s(fd, size); }

}  // namespace platform
