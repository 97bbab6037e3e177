// qorcnfig: chooses the emulator adapter the client loads and records it in
// the registry. Command line: AUTO, SUPPORT.
#include <cstdio>

#include "config/command_flags.h"
#include "config/config_program.h"
#include "platform/paths.h"
#include "toolkit/terminal_display.h"

int main(int argc, char** argv) {
  config::CommandFlags flags = config::ParseCommandFlags(argc, argv);
  if (!tk::TerminalDisplay::Available()) {
    std::fprintf(stderr, "qorcnfig: needs a terminal\n");
    return 1;
  }
  tk::TerminalDisplay display;
  if (!display.Ready()) {
    std::fprintf(stderr, "qorcnfig: cannot use this terminal (TERM)\n");
    return 1;
  }
  return config::RunConfigProgram(display, flags, platform::ProgramDirectory());
}
