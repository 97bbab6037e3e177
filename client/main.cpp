// qorprtt: takes print jobs from the host session to files and printers.
#include <clocale>
#include <cstdlib>
#include <string>

#include "client/run_client.h"
#include "platform/config_file.h"
#include "platform/whole_file.h"
#include "toolkit/curses_display.h"

namespace {

// The emulator providers write their error texts to standard error unless told
// otherwise, which would scribble over the terminal: give them a log file.
void RouteEmulatorLog() {
  if (std::getenv("QOR_EMULATOR_LOG")) return;
  std::string path = platform::StateFilePath("QOR_EMULATOR_LOG", "emulator.log");
  if (path.empty()) return;
  if (platform::MakeDirectories(path.substr(0, path.rfind('/'))) == 0) setenv("QOR_EMULATOR_LOG", path.c_str(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  RouteEmulatorLog();
  tk::CursesDisplay display;
  return RunClient(argc, argv, display);
}
