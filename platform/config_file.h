// Where the programs keep their per-user files.
#pragma once

#include <string>

namespace platform {

// The path named by environment variable env_var when it is set, else
// $XDG_CONFIG_HOME/qorprt/<file_name>, else ~/.config/qorprt/<file_name>.
std::string ConfigFilePath(const char* env_var, const char* file_name);

}  // namespace platform
