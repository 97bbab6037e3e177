#include "client/engine/transfer_log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/whole_file.h"

namespace client {

bool TransferLogFile::Append(const std::string& text) {
  platform::LocalTime t = platform::LocalNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  std::string line = stamp + text;
  for (char& c : line)
    if (c == '\n' || c == '\r' || c == '\f') c = ' ';
  line += '\n';

  platform::MakeFileDirectory(path_);
  int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    problem_ = std::strerror(errno);
    return false;
  }
  // One write: with O_APPEND, lines of two clients never interleave.
  ssize_t n = ::write(fd, line.data(), line.size());
  int error = n < 0 ? errno : 0;
  bool closed = ::close(fd) == 0;
  if (n != static_cast<ssize_t>(line.size()) || !closed) {
    problem_ = n < 0 ? std::strerror(error) : "the line was written short";
    return false;
  }
  problem_.clear();
  return true;
}

}  // namespace client
