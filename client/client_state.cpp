#include "client_state.h"

#include <strings.h>

#include <cstring>

#include "common/trace.h"
#include "platform/paths.h"

void ApplyCommandLine(int argc, const char* const* argv, ClientState& state) {
  state.download_dir = platform::CurrentDirectory().substr(0, ClientState::kDownloadDirMax);
  for (int i = argc - 1; i >= 1; --i) {
    const char* arg = argv[i];
    if (strcasecmp(arg, "/PDM") == 0) continue;
    if (std::strcmp(arg, "--unattended") == 0) {
      state.start_unattended = true;
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
      TraceSwitchOn("QORPRTW.TRC", 'Y');
    } else {
      state.download_dir = std::string(arg).substr(0, ClientState::kDownloadDirMax);
    }
  }
  // The program file's own directory, where the message file and adapters
  // lie, also when the program was found through PATH.
  state.program_dir = platform::ProgramDirectory().substr(0, ClientState::kProgramDirMax);
}
