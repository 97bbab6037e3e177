// What a service run has come to, kept in a status file for `qorprtt
// --status` and, when asked for, in a metrics file for Prometheus: the
// session, the job under way, the last job and the counts since the start.
// Both files are rewritten whole (a temporary file renamed over the old), so
// a reader never sees half of one; the status file goes at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "client/engine/job_report.h"

namespace client {

struct RunCounts {
  int64_t delivered = 0, incomplete = 0, set_aside = 0, bytes = 0;
};

struct RunFacts {
  long pid = 0;
  std::string instance;
  int64_t started = 0;  // Unix seconds, as all the times here
  enum class Session { kUnknown, kUp, kDown } session = Session::kUnknown;
  int64_t session_since = 0;
  std::string job;  // the job under way, "" when none
  int64_t job_since = 0;
  JobReport last;  // last.name is "" until a job has ended
  int64_t last_time = 0;
  RunCounts counts;
};

class RunStatus {
 public:
  // status_path, metrics_path: "" for none. say: where a failed write is
  // reported (once, until a write works again).
  RunStatus(RunFacts facts, std::string status_path, std::string metrics_path,
            std::function<void(const std::string&)> say);
  ~RunStatus();  // removes the status file: the run is over
  RunStatus(const RunStatus&) = delete;
  RunStatus& operator=(const RunStatus&) = delete;

  void SessionChanged(bool up);
  void JobBegan(const std::string& name);
  void JobReported(const JobReport& report);
  const RunFacts& Facts() const { return facts_; }

 private:
  void Write();
  void WriteOne(const std::string& path, const std::string& text, bool* failing);

  RunFacts facts_;
  std::string status_path_, metrics_path_;
  std::function<void(const std::string&)> say_;
  bool status_failing_ = false, metrics_failing_ = false;
};

// The status file's text: "key=value" lines, values on one line.
std::string StatusFileText(const RunFacts& facts);
// The metrics in Prometheus's text format.
std::string MetricsText(const RunFacts& facts);

}  // namespace client
