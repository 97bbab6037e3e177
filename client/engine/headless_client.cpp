#include "client/engine/headless_client.h"

#include "client/engine/client_core.h"
#include "client/engine/exit_status.h"
#include "client/engine/headless_front_end.h"
#include "client/engine/start_checks.h"

void AttachHeadless(ClientCore& core, HeadlessFrontEnd& front) {
  core.engine.SetFrontEnd(&front);
  core.services.show_message = [&front](const std::string& text, const std::string& title) {
    front.Line("message", title.empty() ? text : title + ": " + text);
  };
  // The host link's waits look at the stop signal too.
  core.services.pump_event = [&front](int timeout_ms) {
    return front.ServeUser(timeout_ms) == UserTurn::kStop ? HostServices::kStop : 0;
  };
  core.services.stop_requested = [&front] { return front.StopRequested(); };
  core.engine.ServeHostLink(core.services);
  core.engine.log.mirror = [&front](const std::string& text) { front.Line("log", text); };
}

int RunHeadlessClient(int argc, const char* const* argv, std::FILE* out, platform::StopEvent& stop,
                      const std::string& program_dir, const Tracer& trace) {
  HeadlessFrontEnd front(out, stop);
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
  core.engine.RunUnattended();
  EndClient(core);  // ends the emulator session
  UnloadAdapterCheck(adapter);
  if (!config_fault.empty()) {
    front.Line("error", config_fault);
    return exit_status::kConfig;
  }
  front.Line("end", "Stopped");
  return exit_status::kOk;
}
