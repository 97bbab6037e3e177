#include "client/job_file.h"

#include <dirent.h>

#include <cstring>

#include "client/download.h"
#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

// A bound on renaming attempts: each one only follows another writer's file.
constexpr int kMoveAttempts = 100;

}  // namespace

JobFile::JobFile(std::string target) : target_(std::move(target)) {
  size_t sep = target_.rfind(platform::kPathSeparator);
  size_t name_at = sep == std::string::npos ? 0 : sep + 1;
  // Hidden, and unique to this process: nothing watching the directory takes
  // it for a job, and no numbering counts it.
  temporary_ = target_.substr(0, name_at) + "." + target_.substr(name_at) + "." +
               std::to_string(platform::CurrentProcessId()) + ".part";
}

JobFile::~JobFile() {
  if (file_ && !settled_) KeepIncomplete();
}

int JobFile::Open() {
  file_ = std::make_unique<FileAccess>(temporary_.c_str(), 'O');
  if (file_->open() == 0) return 0;
  last_error_ = file_->last_error();
  file_.reset();
  return -1;
}

bool JobFile::Write(const std::string& data) {
  if (!file_) return false;
  size_t n = file_->write(data.size(), data.data());
  written_ += n;
  if (n == data.size()) return true;
  last_error_ = file_->last_error();
  return false;
}

std::string JobFile::IncompleteName(const std::string& target, int attempt) {
  std::string name = target + ".incomplete";
  return attempt == 0 ? name : name + "." + std::to_string(attempt);
}

std::string JobFile::Deliver(bool replace, std::string* problem) {
  if (!file_) {
    *problem = "the file is not open";
    return "";
  }
  if (file_->sync() != 0 || file_->close() != 0) {
    last_error_ = file_->last_error();
    *problem = std::string("the file could not be completed on disk: ") + std::strerror(static_cast<int>(last_error_));
    return "";
  }
  std::string final_path = target_;
  for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
    int error = 0;
    platform::MoveResult r = platform::MoveFile(temporary_, final_path, replace, &error);
    if (r == platform::MoveResult::kMoved) {
      settled_ = true;
      return final_path;
    }
    if (r == platform::MoveResult::kFailed) {
      last_error_ = error;
      *problem = "the file could not take its name " + final_path + ": " + std::strerror(error);
      return "";
    }
    final_path = NumberTarget(final_path);
  }
  *problem = "no free name for " + target_;
  return "";
}

std::string JobFile::KeepIncomplete() {
  if (file_) file_->close();
  settled_ = true;
  for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
    std::string name = IncompleteName(target_, attempt);
    platform::MoveResult r = platform::MoveFile(temporary_, name, false);
    if (r == platform::MoveResult::kMoved) return name;
    if (r == platform::MoveResult::kFailed) break;
  }
  return temporary_;  // still there, under its hidden name
}

std::vector<std::string> JobFile::KeepAbandonedParts(const std::string& directory) {
  std::vector<std::string> kept;
  DIR* d = ::opendir(directory.c_str());
  if (!d) return kept;
  std::vector<std::pair<std::string, std::string>> parts;  // part, job file name
  while (dirent* e = ::readdir(d)) {
    // ".NAME.<pid>.part", written by a client that is gone.
    std::string name = e->d_name;
    const std::string suffix = ".part";
    if (name.size() < 8 || name[0] != '.' || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    std::string stem = name.substr(1, name.size() - 1 - suffix.size());
    size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) continue;
    std::string pid_text = stem.substr(dot + 1);
    if (pid_text.empty() || pid_text.size() > 9 || pid_text.find_first_not_of("0123456789") != std::string::npos)
      continue;
    long pid = std::stol(pid_text);
    if (pid == platform::CurrentProcessId() || pid <= 0 || platform::ProcessMayBeRunning(pid)) continue;
    parts.emplace_back(name, stem.substr(0, dot));
  }
  ::closedir(d);
  std::string dir = directory.empty() || directory.back() == platform::kPathSeparator
                        ? directory
                        : directory + platform::kPathSeparator;
  for (const auto& [part, job] : parts) {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
      platform::MoveResult r = platform::MoveFile(dir + part, IncompleteName(dir + job, attempt), false);
      if (r == platform::MoveResult::kMoved) kept.push_back(IncompleteName(dir + job, attempt));
      if (r != platform::MoveResult::kExists) break;
    }
  }
  return kept;
}
