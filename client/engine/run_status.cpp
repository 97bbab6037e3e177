#include "client/engine/run_status.h"

#include <cstdio>
#include <cstring>

#include "common/json_text.h"
#include "platform/paths.h"
#include "platform/whole_file.h"

namespace client {

RunStatus::RunStatus(RunFacts facts, std::string status_path, std::string metrics_path,
                     std::function<void(const std::string&)> say)
    : facts_(std::move(facts)),
      status_path_(std::move(status_path)),
      metrics_path_(std::move(metrics_path)),
      say_(std::move(say)) {
  Write();
}

RunStatus::~RunStatus() {
  if (!status_path_.empty()) std::remove(status_path_.c_str());
}

void RunStatus::SessionChanged(bool up) {
  facts_.session = up ? RunFacts::Session::kUp : RunFacts::Session::kDown;
  facts_.session_since = common::UnixNow();
  Write();
}

void RunStatus::JobBegan(const std::string& name) {
  facts_.job = name;
  facts_.job_since = common::UnixNow();
  Write();
}

void RunStatus::JobReported(const JobReport& report) {
  facts_.job.clear();
  facts_.last = report;
  facts_.last_time = common::UnixNow();
  RunCounts& c = facts_.counts;
  switch (report.status) {
    case JobStatus::kDelivered: ++c.delivered; break;
    case JobStatus::kIncomplete: ++c.incomplete; break;
    case JobStatus::kSetAside: ++c.set_aside; break;
  }
  c.bytes += report.bytes;
  Write();
}

void RunStatus::Write() {
  WriteOne(status_path_, StatusFileText(facts_), &status_failing_);
  WriteOne(metrics_path_, MetricsText(facts_), &metrics_failing_);
}

void RunStatus::WriteOne(const std::string& path, const std::string& text, bool* failing) {
  if (path.empty()) return;
  // Monitoring reads it, often as another user than the service's.
  const auto sharing = platform::FileSharing::kReadableByAll;
  int error = platform::MakeFileDirectory(path, sharing);
  if (error == 0) error = platform::ReplaceFileAtomically(path, text, sharing);
  if (error == 0) {
    *failing = false;
  } else if (!*failing) {
    *failing = true;
    say_("Cannot write " + path + ": " + std::strerror(error));
  }
}

namespace {

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string Stamp(int64_t seconds) { return seconds ? common::UtcTimestamp(seconds) : ""; }

const char* SessionWord(RunFacts::Session session) {
  switch (session) {
    case RunFacts::Session::kUp: return "up";
    case RunFacts::Session::kDown: return "down";
    case RunFacts::Session::kUnknown: break;
  }
  return "unknown";
}

// Labelled with the instance, so that the files of several instances can
// lie side by side in one collector's directory.
void Metric(std::string* out, const RunFacts& f, const char* name, const char* type,
            const char* help, int64_t value) {
  *out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n" +
          name + "{instance_name=\"" + f.instance + "\"} " + std::to_string(value) + "\n";
}

}  // namespace

std::string StatusFileText(const RunFacts& f) {
  const bool last = !f.last.name.empty();
  std::string out;
  auto put = [&out](const char* key, const std::string& value) {
    out += std::string(key) + "=" + OneLine(value) + "\n";
  };
  put("pid", std::to_string(f.pid));
  put("instance", f.instance);
  put("started", Stamp(f.started));
  put("session", SessionWord(f.session));
  put("session_since", Stamp(f.session_since));
  put("job", f.job);
  put("job_since", f.job.empty() ? "" : Stamp(f.job_since));
  put("last_job", f.last.name);
  put("last_status", last ? JobStatusWord(f.last.status) : "");
  put("last_file", f.last.file);
  put("last_reason", f.last.reason);
  put("last_time", Stamp(f.last_time));
  put("delivered", std::to_string(f.counts.delivered));
  put("incomplete", std::to_string(f.counts.incomplete));
  put("set_aside", std::to_string(f.counts.set_aside));
  put("bytes", std::to_string(f.counts.bytes));
  return out;
}

std::string MetricsText(const RunFacts& f) {
  std::string out;
  Metric(&out, f, "qorprt_jobs_delivered_total", "counter", "Jobs delivered whole since the start.",
         f.counts.delivered);
  Metric(&out, f, "qorprt_jobs_incomplete_total", "counter",
         "Jobs that ended incomplete since the start.", f.counts.incomplete);
  Metric(&out, f, "qorprt_jobs_set_aside_total", "counter",
         "Jobs set aside after failing again and again since the start.", f.counts.set_aside);
  Metric(&out, f, "qorprt_bytes_total", "counter", "Bytes of the jobs received since the start.",
         f.counts.bytes);
  Metric(&out, f, "qorprt_session_up", "gauge", "1 while the host session is up, else 0.",
         f.session == RunFacts::Session::kUp ? 1 : 0);
  Metric(&out, f, "qorprt_last_job_timestamp_seconds", "gauge",
         "When the last job ended (Unix time); 0 before the first.", f.last_time);
  return out;
}

}  // namespace client
