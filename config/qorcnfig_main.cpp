// qorcnfig: chooses the emulator adapter the client loads and records it in
// the registry. Command line: AUTO, SUPPORT for the full-screen program; the
// options of config/command_flags.h do the same work without a screen.
#include <cstdio>

#include "config/command_flags.h"
#include "config/command_mode.h"
#include "config/config_program.h"
#include "platform/config_file.h"
#include "platform/paths.h"
#include "toolkit/terminal_display.h"

int main(int argc, char** argv) {
  config::ConfigCommandLine command = config::ReadConfigCommandLine(argc, argv);
  const common::CommandLine& line = command.line;
  if (!line.error.empty()) {
    std::fputs(common::UsageErrorText("qorcnfig", line.error).c_str(), stderr);
    return common::kExitUsage;
  }
  if (line.help) return std::fputs(config::ConfigHelpText().c_str(), stdout) < 0 ? 1 : 0;
  if (line.version) return std::printf("qorcnfig %s\n", QOR_VERSION) < 0 ? 1 : 0;
  if (!command.request.config_dir.empty()) platform::UseConfigDirectory(command.request.config_dir);
  if (command.request.Any())
    return config::RunCommandMode(command.request, command.flags, platform::ProgramDirectory(),
                                  stdout, stderr);
  if (!tk::TerminalDisplay::Available()) {
    std::fprintf(stderr,
                 "qorcnfig: needs a terminal (or give --help for the options that do not)\n");
    return 1;
  }
  tk::TerminalDisplay display;
  if (!display.Ready()) {
    std::fprintf(stderr, "qorcnfig: cannot use this terminal (TERM)\n");
    return 1;
  }
  return config::RunConfigProgram(display, command.flags, platform::ProgramDirectory());
}
