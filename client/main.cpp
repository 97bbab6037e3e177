// qorprtt: takes print jobs from the host session to files and printers.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "client/engine/headless_client.h"
#include "client/engine/start_checks.h"
#include "client/windows/run_client.h"
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
  if (platform::MakeDirectories(path.substr(0, platform::LastSeparator(path))) == 0)
    setenv("QOR_EMULATOR_LOG", path.c_str(), 0);
}

bool HasArgument(int argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], flag) == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  platform::ReportFileSizeLimitAsError();
  RouteEmulatorLog();
  // Unattended with nobody at a terminal (a service): lines on standard error.
  bool no_terminal = !platform::InteractiveTerminal();
  if (HasArgument(argc, argv, "--headless") ||
      (HasArgument(argc, argv, "--unattended") && no_terminal)) {
    platform::StopSignals signals;
    return RunHeadlessClient(argc, argv, stderr, signals.GetEvent());
  }
  // Said before the screen is taken over, where it can still be read.
  if (StartRefusal refusal = CheckStart(argc, argv); refusal.Refused()) {
    std::fprintf(stderr, "qorprtt: error: %s\n", refusal.text.c_str());
    return refusal.status;
  }
  tk::TerminalDisplay display;
  return RunClient(argc, argv, display);
}
