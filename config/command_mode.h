// The configuration program without a screen: choose the adapter (--adapter,
// --auto) with the configuration dialog's checks and output, write a session
// line (--session), show what the client would use (--show) and open the
// session to see that it works (--check). What is done goes to out, errors
// with their cause to err.
#pragma once

#include <cstdio>
#include <string>

#include "config/command_flags.h"

namespace config {

// program_dir ends in a separator (or is empty for the current directory).
// Returns the exit status: 0, common::kExitUsage, common::kExitConfig, or 1
// for a failed check or write.
int RunCommandMode(const CommandRequest& request, const CommandFlags& flags,
                   const std::string& program_dir, std::FILE* out, std::FILE* err);

}  // namespace config
