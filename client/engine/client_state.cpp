#include "client/engine/client_state.h"

#include <strings.h>

#include "client/engine/client_command_line.h"
#include "platform/paths.h"

namespace {

// The old switches and the download directory, scanned backwards so that the
// first plain operand is the one that stays.
bool ApplyOperands(const std::vector<std::string>& operands, ClientState& state) {
  bool from_argument = false;
  for (auto it = operands.rbegin(); it != operands.rend(); ++it) {
    const char* arg = it->c_str();
    if (strcasecmp(arg, "/PDM") == 0) continue;
    if (strcasecmp(arg, "/CUT") == 0) {
      state.cut_mode = true;
    } else if (strcasecmp(arg, "/D") == 0) {
      state.trace_switch = true;
    } else {
      // Absolute: the client changes into the directory of each job it writes.
      state.download_dir = platform::AbsolutePath(*it);
      from_argument = true;
    }
  }
  return from_argument;
}

}  // namespace

std::string ApplyCommandLine(int argc, const char* const* argv, ClientState& state) {
  state.download_dir = platform::CurrentDirectory();
  // The program file's own directory, where the message file and adapters
  // lie, also when the program was found through PATH.
  state.program_dir = platform::ProgramDirectory();
  common::CommandLine line = common::ParseCommandLine(argc, argv, ClientOptions());
  if (!line.error.empty()) return line.error;
  state.demo = line.Has("--demo");
  // Nothing but unattended operation can run without a terminal.
  state.headless = line.Has("--headless");
  state.start_unattended = state.headless || line.Has("--unattended");
  if (line.Has("--trace")) state.trace_file = platform::AbsolutePath(line.Value("--trace"));
  state.config_dir = line.Value("--config");
  bool from_argument = ApplyOperands(line.operands, state);
  // A cut path would name another directory, one that may well exist.
  if (state.download_dir.size() > ClientState::kDownloadDirMax)
    return std::string(from_argument ? "The download directory"
                                     : "The download directory (the current directory)") +
           " is " + std::to_string(state.download_dir.size()) + " characters long; at most " +
           std::to_string(ClientState::kDownloadDirMax) + " fit: " + state.download_dir;
  return "";
}
