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

bool ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes,
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
  bytes->reserve(static_cast<std::size_t>(st.st_size));
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

std::string FileDate(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

Spool::Spool(std::string directory, SpoolOptions options)
    : directory_(std::move(directory)), options_(options) {
  while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
}

std::string Spool::NextCandidate(const std::string& lane) {
  DIR* dir = ::opendir((directory_ + "/" + lane).c_str());
  if (!dir) return {};
  std::string best;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;  // hidden files are half-written jobs
    const std::string key = lane + name;
    if (claimed_.count(key) || passed_over_.count(key)) continue;
    if (!best.empty() && name >= best) continue;
    struct stat st {};
    if (::stat((directory_ + "/" + key).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    best = name;
  }
  ::closedir(dir);
  return best.empty() ? best : lane + best;
}

// LU names are letters, digits and '$' (the server checks them), so a lane
// never leaves the spool.
std::string Spool::NextCandidateFor(const std::string& lu) {
  if (!lu.empty()) {
    std::string own = NextCandidate("lu/" + lu + "/");
    if (!own.empty()) return own;
  }
  return NextCandidate("");
}

bool Spool::HasWaitingJob(const std::string& lu) { return !NextCandidateFor(lu).empty(); }

std::unique_ptr<Job> Spool::ClaimNext(const std::string& lu, std::string* problem) {
  for (;;) {
    std::string key = NextCandidateFor(lu);
    if (key.empty()) return nullptr;
    std::string path = directory_ + "/" + key;
    std::string bytes, why;
    if (!ReadWholeFile(path, options_.largest_job, &bytes, &why)) {
      passed_over_.insert(key);
      if (problem) *problem = why;
      continue;
    }
    claimed_.insert(key);
    auto known = numbers_.try_emplace(key, next_number_);
    if (known.second) ++next_number_;
    auto job = std::make_unique<Job>(MakeJob(key.substr(key.rfind('/') + 1), path, std::move(bytes),
                                             known.first->second, FileDate(path)));
    job->spool_key = key;
    return job;
  }
}

void Spool::Release(const Job& job) { claimed_.erase(job.spool_key); }

bool Spool::FileAway(const Job& job, const char* shelf, std::string* problem) {
  claimed_.erase(job.spool_key);
  numbers_.erase(job.spool_key);  // a new file of that name is a new job
  if (options_.keep_finished) {
    passed_over_.insert(job.spool_key);
    return true;
  }
  const std::string lane = job.spool_key.substr(0, job.spool_key.size() - job.file_name.size());
  const std::string shelf_dir = directory_ + "/" + lane + shelf;
  if (::mkdir(shelf_dir.c_str(), 0755) != 0 && errno != EEXIST) {
    passed_over_.insert(job.spool_key);
    if (problem) *problem = shelf_dir + ": " + std::strerror(errno);
    return false;
  }
  std::string target = shelf_dir + "/" + job.file_name;
  for (int n = 1; Exists(target) && n < 10000; ++n) {
    target = shelf_dir + "/" + job.file_name + "." + std::to_string(n);
  }
  if (::rename(job.path.c_str(), target.c_str()) != 0) {
    passed_over_.insert(job.spool_key);
    if (problem) *problem = job.path + " -> " + target + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace hostsim
