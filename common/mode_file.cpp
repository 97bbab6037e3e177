#include "common/mode_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "common/trace.h"

namespace common {

ModeFile::ModeFile(FileDirection direction, const char* path, ProgramFlavour flavour,
                   const Tracer* trace)
    : direction_(direction), path_(path ? path : ""), flavour_(flavour), trace_(trace) {}

ModeFile::~ModeFile() { Close(); }

void ModeFile::RecordError(const char* what, int error_number) {
  if (flavour_ == ProgramFlavour::kConfig) {
    std::snprintf(error_, sizeof error_, "%s ERROR (%d) FILE=>%s", what, error_number,
                  path_.c_str());
    return;
  }
  // The client words every failure as a read or a write failure.
  const char* kind = direction_ == FileDirection::kOutput ? "WRITE" : "READ";
  std::snprintf(error_, sizeof error_, "%s ERROR %s (%ld/%04x)", kind, path_.c_str(),
                static_cast<long>(error_number), static_cast<unsigned>(error_number) & 0xffffu);
  if (trace_) trace_->Write("FILMANW", error_);
}

long ModeFile::Open(FileOpen how) {
  if (opened_) Close();
  int flags = O_CLOEXEC;
  bool truncate = how == FileOpen::kTruncate ||
                  (how == FileOpen::kDefault && direction_ == FileDirection::kOutput);
  if (how == FileOpen::kCreateNew) {
    flags |= O_WRONLY | O_CREAT | O_EXCL;
  } else if (how == FileOpen::kAppend) {
    flags |= O_WRONLY | O_APPEND | O_CREAT;
  } else if (truncate) {
    flags |= O_WRONLY | O_CREAT | O_TRUNC;
  } else {
    flags |= O_RDONLY;  // read shared, or an input file
  }
  int fd = ::open(path_.c_str(), flags, 0644);
  if (fd < 0) {
    RecordError("OPEN", errno);
    return -1;
  }
  fd_ = fd;
  opened_ = true;
  positioned_ = false;
  struct stat st;
  return ::fstat(fd_, &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

bool ModeFile::EnsureOpen() { return opened_ || Open() >= 0; }

int ModeFile::Read(void* buffer, size_t count, size_t* got) {
  if (got) *got = 0;
  if (!EnsureOpen()) return -2;
  size_t done = 0;
  while (done < count) {
    size_t piece = count - done < kReadPiece ? count - done : kReadPiece;
    ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, piece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      RecordError("READ", errno);
      if (got) *got = done;
      return -2;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  if (got) *got = done;
  return 0;
}

long ModeFile::Seek(SeekFrom from, long offset) {
  if (!EnsureOpen()) return -1;
  int whence = from == SeekFrom::kEnd ? SEEK_END : from == SeekFrom::kStart ? SEEK_SET : SEEK_CUR;
  off_t pos = ::lseek(fd_, offset, whence);
  if (pos < 0) {
    RecordError("SEEK", errno);
    return -1;
  }
  positioned_ = true;
  return static_cast<long>(pos);
}

int ModeFile::Write(const void* buffer, size_t count) {
  if (!EnsureOpen()) return -3;
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      RecordError("WRITE", n < 0 ? errno : EIO);
      return -3;
    }
    done += static_cast<size_t>(n);
  }
  return 0;
}

int ModeFile::Close() {
  if (!opened_) return 0;
  opened_ = false;
  int rc = ::close(fd_);
  fd_ = 0;
  if (rc != 0) {
    RecordError("CLOSE", errno);
    return -4;
  }
  return 0;
}

}  // namespace common
