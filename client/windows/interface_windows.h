// The host interface windows of the options menu: OPTN_WINDOW (session,
// time-out, flicker, emulator kind, adapter library) and PARM_WINDOW (the
// session parameters text).
#pragma once

#include <string>
#include <vector>

#include "client/windows/window_context.h"
#include "hostlink/host_connection.h"

namespace client::windows {

// The adapter libraries in the program directory, shown under their
// Windows-style names ("QOR32PCS.DLL"), at most 10, sorted.
std::vector<std::string> FindAdapterLibraries(const std::string& program_dir);

// Both edit conn's settings and save them on OK.
void RunInterfaceSettingsWindow(DialogKit& ui, hostlink::HostConnection& conn,
                                const std::string& program_dir);
void RunSessionParametersWindow(DialogKit& ui, hostlink::HostConnection& conn);

}  // namespace client::windows
