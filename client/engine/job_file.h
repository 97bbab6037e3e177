// A job's output file. It is written under a hidden temporary name beside its
// target and moved to the target only once the job is complete, so that a
// file under a job's name is always a whole job; a job that ends early is kept
// under a name that says so.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace client {

class LedgerNotices;

class JobFile {
 public:
  // How names end that the client makes for itself: a job's own name never
  // does (MakeSafeJobFileName), so nothing mistakes a job for one of these.
  static constexpr const char kPartSuffix[] = ".part";
  static constexpr const char kIncompleteSuffix[] = ".incomplete";
  // Incomplete copies of one name: TARGET.incomplete, then .1 to .99.
  static constexpr int kIncompleteCopies = 100;

  // notices learns when the directory's ledger stops or starts being usable.
  explicit JobFile(std::string target, LedgerNotices* notices = nullptr);
  // Whatever is still open is kept as incomplete.
  ~JobFile();
  JobFile(const JobFile&) = delete;
  JobFile& operator=(const JobFile&) = delete;

  // Creates the temporary file, new and never through a symbolic link: 0, or
  // -1 (system error in last_error()).
  int Open();
  // One block; false when not all of it was written.
  bool Write(const std::string& data);
  size_t Written() const { return written_; }
  long LastError() const { return last_error_; }
  const std::string& Target() const { return target_; }
  const std::string& Temporary() const { return temporary_; }

  // Flushes the file, moves it to the target and flushes the directory: an
  // existing file is replaced when replace is set, unless another client
  // sharing the directory delivered it during this run; otherwise the new file
  // takes the next free number (as Rename does). Returns the final path, or ""
  // when any of that failed (*problem names the path and the cause; the caller
  // keeps the file as incomplete).
  std::string Deliver(bool replace, std::string* problem);
  // Closes the file and removes it: the job reached its destination in
  // another form (a command took it). False when it could not be removed.
  bool Discard();
  // Closes the file and keeps it as TARGET.incomplete (numbered when that
  // exists). When replacing names an incomplete file this run kept earlier for
  // the same job, this one takes its place instead. Returns where it lies: the
  // temporary name when every incomplete name is taken (nothing is deleted).
  std::string KeepIncomplete(const std::string& replacing = "");

  // The name an incomplete job is kept under: target + ".incomplete", then
  // ".incomplete.1", ".incomplete.2" ... whichever does not exist yet.
  static std::string IncompleteName(const std::string& target, int attempt);

  // Parts that a client no longer running left in directory (it was killed
  // mid-job): each is kept as NAME.incomplete like any job that ended early.
  // Returns where they now lie.
  static std::vector<std::string> KeepAbandonedParts(const std::string& directory);

 private:
  void Close();
  // The closed temporary file under the target's name (Deliver's second half).
  std::string TakeName(bool replace, std::string* problem);
  // Sets last_error_ and *problem (what: text); returns "".
  std::string Fail(const std::string& what, int error, const std::string& text,
                   std::string* problem);

  std::string target_;
  LedgerNotices* notices_;
  std::string temporary_;
  int fd_ = -1;
  size_t written_ = 0;
  long last_error_ = -1;
  bool settled_ = false;  // delivered or kept
};

}  // namespace client
