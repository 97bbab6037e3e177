// qorprtt: takes print jobs from the host session to files and printers.
#include <clocale>
#include <cstdlib>
#include <string>

#include "client/client_app.h"
#include "platform/whole_file.h"
#include "toolkit/curses_display.h"

namespace {

// The emulator providers write their error texts to standard error unless told
// otherwise, which would scribble over the terminal: give them a log file.
void RouteEmulatorLog() {
  if (std::getenv("QOR_EMULATOR_LOG")) return;
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    base = state;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.local/state";
  else
    return;
  std::string dir = base + "/qorprt";
  if (platform::MakeDirectories(dir) == 0) setenv("QOR_EMULATOR_LOG", (dir + "/emulator.log").c_str(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  RouteEmulatorLog();
  tk::CursesDisplay display;
  return RunClient(argc, argv, display);
}
