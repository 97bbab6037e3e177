#include "client/engine/client_state.h"

#include <strings.h>

#include <cstring>

#include "platform/paths.h"

std::string ApplyCommandLine(int argc, const char* const* argv, ClientState& state) {
  state.download_dir = platform::CurrentDirectory();
  bool from_argument = false;
  for (int i = argc - 1; i >= 1; --i) {
    const char* arg = argv[i];
    if (strcasecmp(arg, "/PDM") == 0) continue;
    if (std::strcmp(arg, "--unattended") == 0) {
      state.start_unattended = true;
      continue;
    }
    if (std::strcmp(arg, "--demo") == 0) {
      state.demo = true;
      continue;
    }
    if (std::strcmp(arg, "--headless") == 0) {
      // Nothing but unattended operation can run without a terminal.
      state.headless = state.start_unattended = true;
      continue;
    }
    if (strcasecmp(arg, "/CUT") == 0) {
      state.cut_mode = true;
    } else if (strcasecmp(arg, "/D") == 0) {
      state.trace_switch = true;
    } else {
      state.download_dir = arg;
      from_argument = true;
    }
  }
  // The program file's own directory, where the message file and adapters
  // lie, also when the program was found through PATH.
  state.program_dir = platform::ProgramDirectory();
  // A cut path would name another directory, one that may well exist.
  if (state.download_dir.size() > ClientState::kDownloadDirMax)
    return std::string(from_argument ? "The download directory"
                                     : "The download directory (the current directory)") +
           " is " + std::to_string(state.download_dir.size()) + " characters long; at most " +
           std::to_string(ClientState::kDownloadDirMax) + " fit: " + state.download_dir;
  return "";
}
