// Where the programs keep their per-user files.
#pragma once

#include <string>

namespace platform {

// The path named by environment variable env_var when it is set, else
// $XDG_CONFIG_HOME/qorprt/<file_name>, else ~/.config/qorprt/<file_name>,
// else (Windows, which has neither) %APPDATA%\qorprt\<file_name>.
std::string ConfigFilePath(const char* env_var, const char* file_name);
// The same for files the programs keep as they run (logs): env_var, else
// $XDG_STATE_HOME/qorprt/<file_name>, else ~/.local/state/qorprt/<file_name>,
// else %LOCALAPPDATA%\qorprt\<file_name>; "" when there is no home to put it in.
std::string StateFilePath(const char* env_var, const char* file_name);

// The system's own directories for them: "" where it has none (Linux).
std::string SystemConfigDirectory();
std::string SystemStateDirectory();

}  // namespace platform
