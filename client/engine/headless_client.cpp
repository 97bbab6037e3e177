#include "client/engine/headless_client.h"

#include "client/engine/client_command_line.h"
#include "client/engine/client_core.h"
#include "client/engine/exit_status.h"
#include "client/engine/headless_front_end.h"
#include "client/engine/job_hook.h"
#include "client/engine/run_status.h"
#include "client/engine/start_checks.h"
#include "client/engine/status_query.h"
#include "common/command_line.h"
#include "common/json_text.h"
#include "platform/config_file.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/whole_file.h"

namespace client {

namespace {

// How long a stopping client waits for the commands run after jobs: with
// the session's end it stays within the second a service has to stop.
constexpr int kHookWaitAtStopMs = 800;

// The log's format is known before anything is read, so that even a refused
// start speaks it.
bool WantsJsonLog(int argc, const char* const* argv) {
  common::CommandLine line = common::ParseCommandLine(argc, argv, ClientOptions());
  return line.Value("--log-format") == "json";
}

// Where the commands after jobs write: standard error, unless that carries
// JSON Lines, which their output would break; then a log of their own.
std::string CommandOutput(const ServiceOptions& options) {
  if (!options.json_log || options.on_job.empty()) return "";
  std::string path = platform::StateFilePath("QOR_ON_JOB_LOG", "on-job.log");
  // Without a place for it the output goes nowhere (Windows runs no commands).
  if (path.empty() || platform::MakeFileDirectory(path) != 0) return "/dev/null";
  return path;
}

// Runs unattended operation with the command after each job and the status
// and metrics files listening; ends the commands' waits after the session.
void RunReported(ClientCore& core, HeadlessFrontEnd& front) {
  const ServiceOptions& options = core.state.service;
  auto say = [&front](const std::string& text) { front.Line("hook", text); };
  JobHook hook(options.on_job, options.on_job_timeout, say, CommandOutput(options));
  RunFacts facts;
  facts.pid = platform::CurrentProcessId();
  facts.instance = options.instance;
  facts.started = common::UnixNow();
  const std::string status_path = StatusFilePath(options.instance);
  if (long other = StatusFileOwner(status_path); other != 0 && other != facts.pid)
    front.Line("warning", "Process " + std::to_string(other) + " runs as instance " +
                              options.instance + " too (" + status_path +
                              "): give each client its own --instance");
  RunStatus status(facts, status_path, options.metrics_file,
                   [&front](const std::string& text) { front.Line("error", text); });
  const JobHeader& header = core.engine.header;
  front.ReportTo(&hook, &status, [&header] { return TrimmedKey(JobKey(header)); });
  core.engine.RunUnattended();
  EndClient(core);  // ends the emulator session
  hook.Finish(kHookWaitAtStopMs);
  front.ReportTo(nullptr, nullptr, nullptr);
}

}  // namespace

void AttachHeadless(ClientCore& core, HeadlessFrontEnd& front) {
  core.engine.SetFrontEnd(&front);
  core.services.show_message = [&front](const std::string& text, const std::string& title) {
    front.Line("message", title.empty() ? text : title + ": " + text);
  };
  // The host link's waits look at the stop signal too.
  core.services.pump_event = [&front](int timeout_ms) {
    return front.ServeUser(timeout_ms) == UserTurn::kStop ? hostlink::HostServices::kStop : 0;
  };
  core.services.stop_requested = [&front] { return front.StopRequested(); };
  core.engine.ServeHostLink(core.services);
  core.engine.log.mirror = [&front](const std::string& text) { front.Line("log", text); };
}

int RunHeadlessClient(int argc, const char* const* argv, std::FILE* out, platform::StopEvent& stop,
                      const std::string& program_dir, const common::Tracer& trace,
                      const HeadlessFrontEnd::Observer& observer) {
  HeadlessFrontEnd front(out, stop, WantsJsonLog(argc, argv));
  front.Observe(observer);
  if (StartRefusal refusal = CheckStart(argc, argv, trace); refusal.Refused()) {
    front.Line("error", refusal.text);
    return refusal.status;
  }
  ClientCore core;
  core.trace = trace;
  core.messages.SetShowFailure([&front](const char* text) { front.Line("error", text); });
  if (!StartClient(core, argc, argv, program_dir)) return exit_status::kFailure;
  ClientState& st = core.state;
  void* adapter = nullptr;
  StartRefusal refusal = CheckDownloadDirectory(st.download_dir);
  if (!refusal.Refused()) refusal = LoadAdapterCheck(*core.connection, &adapter);
  if (refusal.Refused()) {
    front.Line("error", refusal.text);
    EndClient(core);
    return refusal.status;
  }
  AttachHeadless(core, front);
  // A configuration that cannot work ends the run: a service manager is told
  // (status 78, not restarted) instead of watching a healthy idle service.
  std::string config_fault;
  core.services.configuration_fault = [&](const std::string& cause) {
    config_fault = cause.empty() ? "the host session cannot be opened as configured" : cause;
    stop.Set();
  };

  front.Line("start", "Unattended operation into " + st.download_dir + " (poll every " +
                          std::to_string(core.engine.poll_seconds) + " s); adapter " +
                          core.connection->library_name + ", " + DescribeSession(*core.connection));
  RunReported(core, front);
  UnloadAdapterCheck(adapter);
  if (!config_fault.empty()) {
    front.Line("error", config_fault);
    return exit_status::kConfig;
  }
  front.Line("end", "Stopped");
  return exit_status::kOk;
}

}  // namespace client
