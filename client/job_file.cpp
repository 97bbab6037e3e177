#include "client/job_file.h"

#include <unistd.h>

#include <cstring>

#include "client/download.h"
#include "platform/file_move.h"
#include "platform/paths.h"

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
               std::to_string(::getpid()) + ".part";
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
