#include "client/engine/job_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>

#include "client/engine/download_ledger.h"
#include "client/engine/job_name.h"
#include "platform/file_create.h"
#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/system_error.h"
#include "platform/whole_file.h"

namespace client {

namespace {

// A bound on renaming attempts: each one only follows another writer's file.
constexpr int kMoveAttempts = 100;
// A bound on creating the temporary file: each attempt takes a fresh random
// name, so only someone making our names on purpose could use them all.
constexpr int kCreateAttempts = 16;

// Eight letters nobody can guess in advance, so that no link or file can be
// laid at a temporary name before the client makes it.
std::string RandomPart() {
  std::random_device device;
  std::seed_seq seed{
      device(), device(),
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()),
      static_cast<unsigned>(platform::CurrentProcessId())};
  std::mt19937_64 generator(seed);
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string out(8, ' ');
  for (char& c : out) c = kLetters[generator() % (sizeof kLetters - 1)];
  return out;
}

std::string NameOf(const std::string& path) {
  return path.substr(platform::LastSeparator(path) + 1);
}

}  // namespace

JobFile::JobFile(std::string target, LedgerNotices* notices)
    : target_(std::move(target)), notices_(notices) {}

JobFile::~JobFile() {
  if (!temporary_.empty() && !settled_) KeepIncomplete();
}

// ".NAME.<pid>-<random>.part": hidden, so nothing watching the directory takes
// it for a job and no numbering counts it; the pid tells a later run whose it
// was (KeepAbandonedParts).
int JobFile::Open() {
  if (fd_ >= 0) return 0;
  std::string directory = platform::DirectoryPart(target_);
  std::string stem =
      directory + "." + NameOf(target_) + "." + std::to_string(platform::CurrentProcessId()) + "-";
  for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
    std::string name = stem + RandomPart() + kPartSuffix;
    int error = 0;
    int fd = platform::CreateNewFile(name, &error);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = name;
      return 0;
    }
    last_error_ = error;
    if (error != EEXIST) break;
  }
  return -1;
}

bool JobFile::Write(const std::string& data) {
  if (fd_ < 0) return false;
  size_t done = 0;
  int error = platform::WriteAll(fd_, data, &done);
  written_ += done;
  if (error != 0) last_error_ = error;
  return error == 0;
}

void JobFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string JobFile::IncompleteName(const std::string& target, int attempt) {
  std::string name = target + kIncompleteSuffix;
  return attempt == 0 ? name : name + "." + std::to_string(attempt);
}

std::string JobFile::Fail(const std::string& what, int error, const std::string& text,
                          std::string* problem) {
  last_error_ = error;
  *problem = what + ": " + text;
  return {};
}

std::string JobFile::Deliver(bool replace, std::string* problem) {
  if (fd_ < 0) {
    *problem = "the file is not open";
    return "";
  }
  if (::fsync(fd_) != 0) {
    int e = errno;
    Close();
    return Fail(temporary_ + " could not be flushed to disk", e, std::strerror(e), problem);
  }
  // Writes into a file whose name (or whole directory) went meanwhile succeed,
  // and the data with it is lost at close.
  struct stat info;
  if (::fstat(fd_, &info) == 0 && info.st_nlink == 0) {
    Close();
    return Fail(temporary_ + " was removed while the job came", ENOENT,
                "nothing of the job is kept", problem);
  }
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0)
    return Fail(temporary_ + " could not be closed", errno, std::strerror(errno), problem);
  return TakeName(replace, problem);
}

std::string JobFile::TakeName(bool replace, std::string* problem) {
  // From the check to the ledger's entry, no other client delivers here.
  const std::string directory = platform::DirectoryPart(target_);
  DownloadLedger ledger(directory, notices_);
  // A file another client delivered during this run is a clash, however
  // replace is set; without the ledger, every existing file is one.
  if (replace && (!ledger.Usable() || ledger.DeliveredByAnotherClient(NameOf(target_))))
    replace = false;
  std::string final_path = target_;
  bool moved = false;
  for (int attempt = 0; attempt < kMoveAttempts && !moved; ++attempt) {
    int error = 0;
    platform::MoveResult r = platform::MoveFile(temporary_, final_path, replace, &error);
    if (r == platform::MoveResult::kFailed)
      return Fail("the file could not take its name " + final_path, error,
                  platform::SystemErrorText(error), problem);
    moved = r == platform::MoveResult::kMoved;
    if (!moved) final_path = NumberTarget(final_path);
  }
  if (!moved) {
    *problem = "no free name for " + target_;
    return "";
  }
  if (int e = platform::SyncDirectory(directory)) {
    // Not durable, so not delivered: back to the temporary name, to be kept
    // as incomplete and taken again.
    std::string what = "the directory " + (directory.empty() ? std::string(".") : directory) +
                       " could not be flushed to disk";
    Fail(what, e, std::strerror(e), problem);
    if (platform::MoveFile(final_path, temporary_, false) != platform::MoveResult::kMoved)
      *problem += "; the file stays as " + final_path;
    return "";
  }
  if (ledger.Usable()) ledger.Record(NameOf(final_path));
  settled_ = true;
  return final_path;
}

bool JobFile::Discard() {
  Close();
  settled_ = true;
  return temporary_.empty() || ::unlink(temporary_.c_str()) == 0;
}

std::string JobFile::KeepIncomplete(const std::string& replacing) {
  Close();
  settled_ = true;
  if (temporary_.empty()) return "";  // never created
  // Only an incomplete file beside this job's target may be replaced.
  if (!replacing.empty() &&
      platform::DirectoryPart(replacing) == platform::DirectoryPart(target_) &&
      NameOf(replacing).find(kIncompleteSuffix) != std::string::npos &&
      platform::MoveFile(temporary_, replacing, true) == platform::MoveResult::kMoved)
    return replacing;
  for (int attempt = 0; attempt < kIncompleteCopies; ++attempt) {
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
    // ".NAME.<pid>-<random>.part" (".NAME.<pid>.part" from older versions),
    // written by a client that is gone.
    std::string name = e->d_name;
    const std::string suffix = kPartSuffix;
    if (name.size() < 8 || name[0] != '.' || !name.ends_with(suffix)) continue;
    std::string stem = name.substr(1, name.size() - 1 - suffix.size());
    size_t dot = stem.rfind('.');
    if (dot == std::string::npos || dot == 0) continue;
    std::string owner = stem.substr(dot + 1);
    std::string pid_text = owner.substr(0, owner.find('-'));
    if (pid_text.empty() || pid_text.size() > 9 ||
        pid_text.find_first_not_of("0123456789") != std::string::npos)
      continue;
    long pid = std::stol(pid_text);
    if (pid == platform::CurrentProcessId() || pid <= 0 || platform::ProcessMayBeRunning(pid))
      continue;
    parts.emplace_back(name, stem.substr(0, dot));
  }
  ::closedir(d);
  std::string dir = directory.empty() || platform::IsPathSeparator(directory.back())
                        ? directory
                        : directory + platform::kPathSeparator;
  for (const auto& [part, job] : parts) {
    for (int attempt = 0; attempt < kIncompleteCopies; ++attempt) {
      platform::MoveResult r =
          platform::MoveFile(dir + part, IncompleteName(dir + job, attempt), false);
      if (r == platform::MoveResult::kMoved) kept.push_back(IncompleteName(dir + job, attempt));
      if (r != platform::MoveResult::kExists) break;
    }
  }
  return kept;
}

}  // namespace client
