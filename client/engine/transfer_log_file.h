// The transfer log kept on disk: every entry of the run's log, and each job's
// outcome with its counts, appended as one line each with the local date and
// time, so that what happened survives the program (rotation is logrotate's).
#pragma once

#include <string>

namespace client {

class TransferLogFile {
 public:
  // path: the file; its directory is created when missing.
  explicit TransferLogFile(std::string path) : path_(std::move(path)) {}
  // Appends one line (line breaks inside become blanks). False when it could
  // not be written whole; problem() then says why.
  bool Append(const std::string& text);
  const std::string& Path() const { return path_; }
  const std::string& Problem() const { return problem_; }

 private:
  std::string path_;
  std::string problem_;
};

}  // namespace client
