// A job's output file. It is written under a hidden temporary name beside its
// target and moved to the target only once the job is complete, so that a
// file under a job's name is always a whole job; a job that ends early is kept
// under a name that says so.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/file_access.h"

class JobFile {
 public:
  explicit JobFile(std::string target);
  // Whatever is still open is kept as incomplete.
  ~JobFile();
  JobFile(const JobFile&) = delete;
  JobFile& operator=(const JobFile&) = delete;

  // Creates the temporary file: 0, or -1 (system error in last_error()).
  int Open();
  // One block; false when not all of it was written.
  bool Write(const std::string& data);
  size_t written() const { return written_; }
  long last_error() const { return last_error_; }
  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

  // Makes the file durable and moves it to the target: an existing file is
  // replaced when replace is set, else the new file takes the next free
  // number (as Rename does). Returns the final path, or "" when the file
  // could not be completed (*problem says why; it is then kept as incomplete).
  std::string Deliver(bool replace, std::string* problem);
  // Closes the file and keeps it as TARGET.incomplete (numbered when that
  // exists). Returns where it lies.
  std::string KeepIncomplete();

  // The name an incomplete job is kept under: target + ".incomplete", then
  // ".incomplete.1", ".incomplete.2" ... whichever does not exist yet.
  static std::string IncompleteName(const std::string& target, int attempt);

  // Parts that a client no longer running left in directory (it was killed
  // mid-job): each is kept as NAME.incomplete like any job that ended early.
  // Returns where they now lie.
  static std::vector<std::string> KeepAbandonedParts(const std::string& directory);

 private:
  std::string target_;
  std::string temporary_;
  std::unique_ptr<FileAccess> file_;
  size_t written_ = 0;
  long last_error_ = -1;
  bool settled_ = false;  // delivered or kept
};
