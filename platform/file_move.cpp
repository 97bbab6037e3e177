#include "platform/file_move.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace platform {

MoveResult MoveFile(const std::string& from, const std::string& to, bool replace, int* error) {
  auto failed = [error](int e) {
    if (error) *error = e;
    return MoveResult::kFailed;
  };
  if (replace)
    return std::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::kMoved : failed(errno);
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return MoveResult::kMoved;
  if (errno == EEXIST) return MoveResult::kExists;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return failed(errno);
  // A file system without the no-replace move: a hard link never replaces
  // either; without links, look first (nothing else writes our names).
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return MoveResult::kMoved;
  }
  if (errno == EEXIST) return MoveResult::kExists;
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0) return MoveResult::kExists;
  return std::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::kMoved : failed(errno);
}

}  // namespace platform
