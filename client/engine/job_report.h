// What became of one job, for whatever acts on jobs or watches them beyond the
// client's own log: a command run after each job, a machine-readable log, the
// status file and the metrics.
#pragma once

#include <cstdint>
#include <string>

namespace client {

enum class JobStatus { kDelivered, kIncomplete, kSetAside };

// "delivered", "incomplete" or "set-aside".
const char* JobStatusWord(JobStatus status);

struct JobReport {
  JobStatus status = JobStatus::kDelivered;
  std::string file;     // the delivered file or the incomplete copy; "" when none
  std::string printer;  // the printer's name when the job went to one
  std::string command;  // the command the job was handed to, as the user wrote it
  std::string name;     // prefix and ident, as the log names the job
  std::string ident;    // the host's job identifier, without trailing blanks
  int64_t lines = 0, pages = 0, bytes = 0;
  std::string reason;  // why it is incomplete or set aside; "" when delivered
};

}  // namespace client
