// The transfer engine without a terminal: every status text, message and log
// entry becomes one stamped line on a stream (or one JSON object per line),
// nothing ever waits for a key, and the program ends once a stop event (a
// stop signal's) is set. It tells the command after each job and the status
// file of every job, and tends the commands while it waits.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "client/engine/transfer_front_end.h"
#include "platform/stop_event.h"

namespace client {

class JobHook;
class RunStatus;

class HeadlessFrontEnd : public TransferFrontEnd {
 public:
  // stop: set when the program must end. json: JSON Lines instead of text.
  HeadlessFrontEnd(std::FILE* out, platform::StopEvent& stop, bool json = false);

  // What hears of the jobs, either may be null; job_name names the job
  // under way when one starts.
  void ReportTo(JobHook* hook, RunStatus* status, std::function<std::string()> job_name);

  // "yyyy-mm-dd hh:mm:ss kind: text", line feeds inside the text made " / ";
  // as JSON {"time":"<UTC, ISO 8601>","kind":...,"text":...}.
  void Line(const char* kind, const std::string& text);
  // Also hands each line's kind and text to observer (a service's event log).
  using Observer = std::function<void(const char* kind, const std::string& text)>;
  void Observe(Observer observer) { observer_ = std::move(observer); }

  void ShowStatus(const std::string& text) override;
  int ShowMessage(const std::string& text, const char* help_key, unsigned buttons) override;
  // The log's job record and outcome say all a job's progress would.
  void JobStarted(const std::string&) override;
  void JobProgress(const TransferCounts&, int) override {}
  void JobEnded() override {}
  void JobReported(const JobReport& report) override;
  void SessionChanged(bool up) override;
  // Waits on the stop event, and on the commands run after jobs: there is
  // no user to serve.
  UserTurn ServeUser(int timeout_ms) override;
  // A stop is seen as soon as it is set, also by a step that failed because
  // of it (the emulator providers give up their waits on the same stop).
  bool EndRequested() const override { return StopRequested(); }
  bool StopRequested() const override { return stopped_ || stop_.Wait(0); }

 private:
  void Write(const std::string& line);

  std::FILE* out_;
  platform::StopEvent& stop_;
  bool json_;
  bool stopped_ = false;
  bool write_failed_ = false;  // said once
  std::string last_status_;    // a status repeated unchanged is said once
  JobHook* hook_ = nullptr;
  RunStatus* status_ = nullptr;
  std::function<std::string()> job_name_;
  Observer observer_;
};

// A job's facts as the JSON log's "job" line has them, after "time" and
// "kind": the same names as the command's variables, in lower case.
std::string JobReportJson(const JobReport& report);

}  // namespace client
