// The headless client under the Windows service control manager.
#include <cerrno>
#include <cstring>

#include "client/engine/client_state.h"
#include "client/engine/exit_status.h"
#include "client/engine/headless_client.h"
#include "client/engine/service_install.h"
#include "platform/paths.h"
#include "platform/system_service.h"
#include "platform/whole_file.h"

namespace client {

namespace {

// The service's run: its lines appended to the log file (a service has no
// console), its start, stop and errors also in the event log.
int ServeAsService(int argc, char** argv, const common::Tracer& trace,
                   const ServiceOptions& options, platform::StopEvent& stop) {
  const std::string& name = options.windows_service;
  auto event = [&name](platform::ServiceEvent kind, const std::string& text) {
    platform::ReportServiceEvent(name, kind, text);
  };
  std::string log_dir = platform::DirectoryPart(options.log_file);
  if (!log_dir.empty()) platform::MakeDirectories(log_dir);
  std::FILE* log = options.log_file.empty() ? nullptr : std::fopen(options.log_file.c_str(), "a");
  if (!log) {
    event(platform::ServiceEvent::kError,
          options.log_file.empty()
              ? "No --log-file: a service has no console to write to"
              : "Cannot open the log " + options.log_file + ": " + std::strerror(errno));
    return exit_status::kConfig;
  }
  auto observe = [&event](const char* kind, const std::string& text) {
    const std::string k = kind;
    if (k == "start" || k == "end") event(platform::ServiceEvent::kInformation, text);
    if (k == "error") event(platform::ServiceEvent::kError, text);
  };
  int status = RunHeadlessClient(argc, argv, log, stop, "", trace, observe);
  std::fclose(log);
  if (status != exit_status::kOk)
    event(platform::ServiceEvent::kError,
          "Ended with exit status " + std::to_string(status) + "; the log is " + options.log_file);
  return status;
}

}  // namespace

int RunAsService(int argc, char** argv, const common::Tracer& trace, std::FILE* err) {
  if (platform::ServiceResult none = platform::ServiceManagerPresent();
      none.kind != platform::ServiceResult::kDone) {
    std::fprintf(err,
                 "qorprtt: error: --service: %s; on Linux the systemd units run qorprtt "
                 "--headless (see qorprt-service(8))\n",
                 none.error.c_str());
    return exit_status::kUsage;
  }
  ClientState state;
  ApplyCommandLine(argc, argv, state);  // what cannot be used, the headless start reports
  std::string error;
  int status = platform::RunService(
      state.service.windows_service,
      [&](platform::StopEvent& stop) {
        return ServeAsService(argc, argv, trace, state.service, stop);
      },
      &error);
  if (status >= 0) return status;
  const char* name = state.service.windows_service.c_str();
  std::fprintf(err,
               "qorprtt: error: --service %s: %s: start the service with sc start %s, or run the "
               "same command with --headless for --service %s\n",
               name, error.c_str(), name, name);
  return exit_status::kUsage;
}

}  // namespace client
