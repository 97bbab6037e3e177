// The whole program on a given display: start-up, main loop, shut-down.
#pragma once

#include <string>

#include "common/trace.h"
#include "toolkit/display.h"

namespace client::windows {

// program_dir replaces the program file's directory (tests); trace, when
// given, is the one the command line started.
int RunClient(int argc, const char* const* argv, tk::Display& display,
              const std::string& program_dir = "", const common::Tracer* trace = nullptr);

}  // namespace client::windows
