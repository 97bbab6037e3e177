// The configuration program as a whole: open the message file beside the
// program, show the main window "QORCNFIG" and open the configuration dialog
// at once. Exit codes: 10 after File/Exit, 11 when the main window is closed
// (and when AUTO ends the program after its dialog), 0 when the message file
// cannot be opened.
#pragma once

#include <string>

#include "config/command_flags.h"
#include "toolkit/display.h"

namespace config {

constexpr int kExitAfterFileExit = 10;
constexpr int kExitWindowClosed = 11;
constexpr int kExitNoMessageFile = 0;

// program_dir ends in '/' (or is empty for the current directory).
int RunConfigProgram(tk::Display& display, const CommandFlags& flags,
                     const std::string& program_dir);

}  // namespace config
