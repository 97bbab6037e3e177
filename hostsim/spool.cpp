#include "hostsim/spool.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace hostsim {
namespace {

bool read_whole_file(const std::string& path, std::size_t limit, std::string* bytes,
                     std::string* problem) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *problem = path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *problem = path + ": not a regular file";
    ::close(fd);
    return false;
  }
  if (static_cast<std::size_t>(st.st_size) > limit) {
    *problem = path + ": larger than the " + std::to_string(limit) + "-byte limit";
    ::close(fd);
    return false;
  }
  bytes->clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *problem = path + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    if (bytes->size() + static_cast<std::size_t>(n) > limit) {
      *problem = path + ": grew past the size limit while being read";
      ::close(fd);
      return false;
    }
    bytes->append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

std::string file_date(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

Spool::Spool(std::string directory, SpoolOptions options)
    : directory_(std::move(directory)), options_(options) {
  while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
}

std::string Spool::next_candidate() {
  DIR* dir = ::opendir(directory_.c_str());
  if (!dir) return {};
  std::string best;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;  // hidden files are half-written jobs
    if (claimed_.count(name) || passed_over_.count(name)) continue;
    if (!best.empty() && name >= best) continue;
    struct stat st {};
    if (::stat((directory_ + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    best = name;
  }
  ::closedir(dir);
  return best;
}

bool Spool::has_waiting_job() { return !next_candidate().empty(); }

std::unique_ptr<Job> Spool::claim_next(std::string* problem) {
  for (;;) {
    std::string name = next_candidate();
    if (name.empty()) return nullptr;
    std::string path = directory_ + "/" + name;
    std::string bytes, why;
    if (!read_whole_file(path, options_.largest_job, &bytes, &why)) {
      passed_over_.insert(name);
      if (problem) *problem = why;
      continue;
    }
    claimed_.insert(name);
    return std::make_unique<Job>(
        make_job(name, path, std::move(bytes), next_number_++, file_date(path)));
  }
}

void Spool::release(const Job& job) { claimed_.erase(job.file_name); }

bool Spool::finish(const Job& job, std::string* problem) {
  claimed_.erase(job.file_name);
  if (options_.keep_finished) {
    passed_over_.insert(job.file_name);
    return true;
  }
  const std::string done = directory_ + "/done";
  if (::mkdir(done.c_str(), 0755) != 0 && errno != EEXIST) {
    passed_over_.insert(job.file_name);
    if (problem) *problem = done + ": " + std::strerror(errno);
    return false;
  }
  std::string target = done + "/" + job.file_name;
  for (int n = 1; exists(target) && n < 10000; ++n) {
    target = done + "/" + job.file_name + "." + std::to_string(n);
  }
  if (::rename(job.path.c_str(), target.c_str()) != 0) {
    passed_over_.insert(job.file_name);
    if (problem) *problem = job.path + " -> " + target + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace hostsim
