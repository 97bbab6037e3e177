#include "client/engine/headless_front_end.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "client/engine/job_hook.h"
#include "client/engine/run_status.h"
#include "common/json_text.h"
#include "platform/child_process.h"
#include "platform/clock.h"

namespace client {

HeadlessFrontEnd::HeadlessFrontEnd(std::FILE* out, platform::StopEvent& stop, bool json)
    : out_(out), stop_(stop), json_(json) {}

void HeadlessFrontEnd::ReportTo(JobHook* hook, RunStatus* status,
                                std::function<std::string()> job_name) {
  hook_ = hook;
  status_ = status;
  job_name_ = std::move(job_name);
}

void HeadlessFrontEnd::Write(const std::string& line) {
  if ((std::fputs(line.c_str(), out_) >= 0 && std::fflush(out_) == 0) || write_failed_) return;
  // Said once, where it may still be read: standard error, and a service's event log.
  write_failed_ = true;
  const std::string why = std::string("cannot write the log: ") + std::strerror(errno);
  if (out_ != stderr) std::fprintf(stderr, "qorprtt: error: %s\n", why.c_str());
  if (observer_) observer_("error", why);
}

void HeadlessFrontEnd::Line(const char* kind, const std::string& text) {
  if (observer_) observer_(kind, text);
  if (json_)
    return Write("{\"time\":\"" + common::UtcTimestamp(common::UnixNow()) + "\",\"kind\":" +
                 common::JsonString(kind) + ",\"text\":" + common::JsonString(text) + "}\n");
  platform::LocalTime t = platform::LocalNow();
  std::string flat;
  for (char c : text) {
    if (c == '\n')
      flat += " / ";
    else if (c != '\r')
      flat += c;
  }
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  Write(stamp + std::string(kind) + ": " + flat + "\n");
}

void HeadlessFrontEnd::ShowStatus(const std::string& text) {
  if (text == last_status_) return;
  last_status_ = text;
  Line("status", text);
}

int HeadlessFrontEnd::ShowMessage(const std::string& text, const char*, unsigned) {
  Line("message", text);
  return 0;
}

void HeadlessFrontEnd::JobStarted(const std::string&) {
  if (status_) status_->JobBegan(job_name_ ? job_name_() : std::string());
}

std::string JobReportJson(const JobReport& r) {
  return ",\"file\":" + common::JsonString(r.file) +
         ",\"printer\":" + common::JsonString(r.printer) +
         ",\"name\":" + common::JsonString(r.name) + ",\"ident\":" + common::JsonString(r.ident) +
         ",\"status\":\"" + JobStatusWord(r.status) + "\",\"lines\":" + std::to_string(r.lines) +
         ",\"pages\":" + std::to_string(r.pages) + ",\"bytes\":" + std::to_string(r.bytes) +
         ",\"reason\":" + common::JsonString(r.reason);
}

void HeadlessFrontEnd::JobReported(const JobReport& report) {
  if (json_) {
    const std::string text = "Job " + report.name + " " + JobStatusWord(report.status) +
                             (report.reason.empty() ? std::string() : ": " + report.reason);
    Write("{\"time\":\"" + common::UtcTimestamp(common::UnixNow()) +
          "\",\"kind\":\"job\",\"text\":" + common::JsonString(text) + JobReportJson(report) +
          "}\n");
  }
  if (status_) status_->JobReported(report);
  if (hook_) hook_->Run(report);
}

void HeadlessFrontEnd::SessionChanged(bool up) {
  if (status_) status_->SessionChanged(up);
}

UserTurn HeadlessFrontEnd::ServeUser(int timeout_ms) {
  if (stopped_) return UserTurn::kStop;
  const int next = hook_ ? hook_->Tend() : -1;
  bool stop = false;
  if (next < 0) {
    stop = stop_.Wait(timeout_ms);
  } else {
    // A command that ends wakes the wait, so the next waiting one starts.
    std::vector<intptr_t> waitables = hook_->Waitables();
    waitables.push_back(stop_.Waitable());
    platform::WaitForAny(waitables, std::min(timeout_ms, next));
    hook_->Tend();
    stop = stop_.Wait(0);
  }
  if (!stop) return UserTurn::kNothing;
  stopped_ = true;
  return UserTurn::kStop;
}

}  // namespace client
