#include "common/file_access.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

namespace common {

FileAccess::FileAccess(const char* path, FileDirection direction, unsigned flags)
    : flags_(flags), direction_(direction), path_(path ? path : "") {}

FileAccess::~FileAccess() { Close(); }

int FileAccess::Open() {
  if (fd_ >= 0) return 0;
  if (direction_ == FileDirection::kOutput && !(flags_ & kAppend)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  } else if (direction_ == FileDirection::kOutput) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  } else {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd_ < 0) {
    last_error_ = errno;
    return -1;
  }
  return 0;
}

size_t FileAccess::Read(size_t count, void* buffer) {
  if (fd_ < 0 && Open() != 0) return 0;
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      last_error_ = errno;
      return 0;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t FileAccess::Write(size_t count, const void* buffer) {
  if (fd_ < 0 && Open() != 0) return 0;
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      last_error_ = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<size_t>(n);
  }
  return done;
}

long FileAccess::Seek(SeekFrom from, long offset) {
  if (fd_ < 0 && Open() != 0) return -1;
  int whence = from == SeekFrom::kStart ? SEEK_SET : from == SeekFrom::kEnd ? SEEK_END : SEEK_CUR;
  off_t pos = ::lseek(fd_, offset, whence);
  if (pos < 0) {
    last_error_ = errno;
    return -1;
  }
  return static_cast<long>(pos);
}

int FileAccess::Sync() {
  if (fd_ < 0) return 0;
  if (::fsync(fd_) == 0) return 0;
  last_error_ = errno;
  return -3;
}

int FileAccess::Close() {
  if (fd_ < 0) return 0;
  int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) {
    last_error_ = errno;
    return -4;
  }
  return 0;
}

}  // namespace common
