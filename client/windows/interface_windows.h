// The host interface windows of the options menu: OPTN_WINDOW (session,
// time-out, flicker, emulator kind, adapter library) and PARM_WINDOW (the
// session parameters text).
#pragma once

#include <string>
#include <vector>

struct ClientApp;

// The adapter libraries in the program directory, shown under their
// Windows-style names ("QOR32PCS.DLL"), at most 10, sorted.
std::vector<std::string> FindAdapterLibraries(const std::string& program_dir);

void RunInterfaceSettingsWindow(ClientApp& app);
void RunSessionParametersWindow(ClientApp& app);
