#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "platform/file_move.h"
#include "platform/paths.h"

namespace platform {

int ReadWholeFile(const std::string& path, std::string* contents) {
  contents->clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return err;
    }
    if (n == 0) break;
    contents->append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
}

int WriteAll(int fd, const char* data, size_t size, size_t* written) {
  size_t done = 0;
  int error = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (written) *written = done;
  return error;
}

int ReplaceFileAtomically(const std::string& path, const std::string& contents,
                          FileSharing sharing) {
  std::string tmp = path + ".tmp." + std::to_string(::getpid());
  mode_t mode = sharing == FileSharing::kReadableByAll ? 0644 : 0600;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return errno;
  int err = WriteAll(fd, contents.data(), contents.size());
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0) {
    int move_error = 0;
    if (MoveFile(tmp, path, true, &move_error) != MoveResult::kMoved)
      err = move_error ? move_error : EIO;
  }
  if (err != 0) {
    ::unlink(tmp.c_str());
    return err;
  }
  // Make the rename itself durable.
  std::string dir = DirectoryPart(path);
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return 0;
}

int MakeDirectories(const std::string& path, FileSharing sharing) {
  // Windows keeps no mode bits: its directories follow their parent's rights.
  [[maybe_unused]] const mode_t mode = sharing == FileSharing::kReadableByAll ? 0755 : 0700;
  for (size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos < path.size() && !IsPathSeparator(path[pos])) continue;
    std::string part = path.substr(0, pos);
    if (part.back() == ':') continue;  // a drive
    if (::mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

int MakeFileDirectory(const std::string& file_path, FileSharing sharing) {
  const size_t sep = LastSeparator(file_path);
  // "/name" and "C:\name" lie in a root, which exists.
  if (sep == std::string::npos || sep == 0 || (sep == 2 && file_path[1] == ':')) return 0;
  return MakeDirectories(file_path.substr(0, sep), sharing);
}

}  // namespace platform
