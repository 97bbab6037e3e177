// Files, jobs and time for the host tests, on every system.
#include "tests/hostsim/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace testing_support {

long long monotonic_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void write_file(const std::string& path, const std::string& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      ::close(fd);
      throw std::runtime_error("short write to " + path);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) throw std::runtime_error("close failed for " + path);
}

std::string read_file(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    bytes.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return bytes;
}

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_directory(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (dirent* e = ::readdir(dir)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ledger_job() {
  std::string job;
  char line[96];
  for (int i = 0; i < 3000; ++i) {
    std::snprintf(line, sizeof line, "%05d ledger line %d, balance %d.%02d\r\n", i,
                  i * 7919 % 10007, i * 37 % 9973, i % 100);
    job += line;
  }
  return job;
}

}  // namespace testing_support
