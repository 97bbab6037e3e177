// qorprtt: takes print jobs from the host session to files and printers.
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "client/engine/client_command_line.h"
#include "client/engine/client_state.h"
#include "client/engine/exit_status.h"
#include "client/engine/headless_client.h"
#include "client/engine/service_install.h"
#include "client/engine/service_options.h"
#include "client/engine/start_checks.h"
#include "client/engine/status_query.h"
#include "client/windows/run_client.h"
#include "common/json_text.h"
#include "common/trace.h"
#include "platform/config_file.h"
#include "platform/console.h"
#include "platform/file_create.h"
#include "platform/paths.h"
#include "platform/stop_signals.h"
#include "platform/whole_file.h"
#include "toolkit/terminal_display.h"

namespace {

// The emulator providers write their error texts to standard error unless told
// otherwise, which would scribble over the terminal: give them a log file.
void RouteEmulatorLog() {
  if (std::getenv("QOR_EMULATOR_LOG")) return;
  std::string path = platform::StateFilePath("QOR_EMULATOR_LOG", "emulator.log");
  if (path.empty()) return;
  if (platform::MakeFileDirectory(path) == 0) setenv("QOR_EMULATOR_LOG", path.c_str(), 0);
}

int UsageError(const std::string& error) {
  std::fputs(common::UsageErrorText("qorprtt", error).c_str(), stderr);
  return common::kExitUsage;
}

// --status [NAME]: NAME as an operand, else the instance the other options
// name.
int StatusQuery(int argc, char** argv, const common::CommandLine& line) {
  client::ClientState state;
  if (std::string error = client::ApplyCommandLine(argc, argv, state); !error.empty())
    return UsageError(error);
  std::string name = line.operands.empty() ? state.service.instance : line.operands.front();
  if (line.operands.size() > 1 || !client::IsInstanceName(name))
    return UsageError("--status takes one instance name");
  return client::AnswerStatusQuery(name, line.Has("--json"), stdout);
}

// --help, --version and --status answer without a terminal and start nothing; -1 when
// the program is to run.
int AnswerAtOnce(int argc, char** argv) {
  common::CommandLine line = common::ParseCommandLine(argc, argv, client::ClientOptions());
  if (!line.error.empty()) return UsageError(line.error);
  if (line.help) return std::fputs(client::ClientHelpText().c_str(), stdout) < 0 ? 1 : 0;
  if (line.version) return std::printf("qorprtt %s\n", QOR_VERSION) < 0 ? 1 : 0;
  if (line.Has("--status")) return StatusQuery(argc, argv, line);
  if (line.Has("--install-service"))
    return client::InstallServiceCommand(argc, argv, stdout, stderr);
  if (line.Has("--remove-service")) return client::RemoveServiceCommand(argc, argv, stdout, stderr);
  return -1;
}

// The headless client until a stop signal, its lines on standard error or
// appended to --log-file.
int RunHeadless(int argc, char** argv, const std::string& log_file, const common::Tracer& trace) {
  std::FILE* out = log_file.empty() ? stderr : std::fopen(log_file.c_str(), "a");
  if (!out) {
    std::fprintf(stderr, "qorprtt: error: cannot open the log %s: %s\n", log_file.c_str(),
                 std::strerror(errno));
    return client::exit_status::kConfig;
  }
  platform::StopSignals signals;
  int status = client::RunHeadlessClient(argc, argv, out, signals.GetEvent(), "", trace);
  if (out != stderr) std::fclose(out);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  if (int status = AnswerAtOnce(argc, argv); status >= 0) return status;
  client::ClientState state;
  client::ApplyCommandLine(argc, argv, state);  // what cannot be used, CheckStart reports
  if (!state.config_dir.empty()) platform::UseConfigDirectory(state.config_dir);
  // Started where the command line is read, so the start checks are traced
  // and a refused start still begins a fresh trace.
  common::Tracer trace;
  if (!client::StartCommandLineTrace(state, trace))
    return UsageError("cannot trace to '" + state.trace_file + "': the path is too long");
  platform::ReportFileSizeLimitAsError();
  RouteEmulatorLog();
  // The emulator providers write to standard error when they have no log.
  if (state.service.json_log) setenv(common::kLogFormatVariable, "json", 1);
  // Started by the Windows service manager: its stop, its log file.
  if (!state.service.windows_service.empty())
    return client::RunAsService(argc, argv, trace, stderr);
  // Unattended with nobody at a terminal (a service): lines on standard error.
  if (state.headless || (state.start_unattended && !platform::InteractiveTerminal()))
    return RunHeadless(argc, argv, state.service.log_file, trace);
  // Said before the screen is taken over, where it can still be read.
  if (client::StartRefusal refusal = client::CheckStart(argc, argv, trace); refusal.Refused()) {
    std::fprintf(stderr, "qorprtt: error: %s\n", refusal.text.c_str());
    return refusal.status;
  }
  // The windows need a terminal; a service started without --headless would
  // otherwise wait for keys that never come.
  if (!tk::TerminalDisplay::Available()) {
    std::fputs("qorprtt: error: the windows need a terminal; without one, run with --headless\n",
               stderr);
    return client::exit_status::kConfig;
  }
  tk::TerminalDisplay display;
  if (!display.Ready()) {
    std::fputs("qorprtt: error: cannot use this terminal (TERM); run with --headless\n", stderr);
    return client::exit_status::kConfig;
  }
  return client::windows::RunClient(argc, argv, display, "", &trace);
}
