#include "client/headless_client.h"

#include <sys/stat.h>

#include "client/client_core.h"
#include "client/exit_status.h"
#include "client/headless_front_end.h"

void AttachHeadless(ClientCore& core, HeadlessFrontEnd& front) {
  core.engine.set_front_end(&front);
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
                      const std::string& program_dir) {
  ClientCore core;
  HeadlessFrontEnd front(out, stop);
  core.messages.SetShowFailure([&front](const char* text) { front.Line("error", text); });
  if (!StartClient(core, argc, argv, program_dir)) return 1;
  ClientState& st = core.state;
  struct stat info;
  if (::stat(st.download_dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    front.Line("error", "The download directory " + st.download_dir + " does not exist");
    EndClient(core);
    return 1;
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
                          std::to_string(core.engine.poll_seconds) + " s)");
  core.engine.RunUnattended();
  EndClient(core);  // ends the emulator session
  if (!config_fault.empty()) {
    front.Line("error", config_fault);
    return exit_status::kConfig;
  }
  front.Line("end", "Stopped");
  return exit_status::kOk;
}
