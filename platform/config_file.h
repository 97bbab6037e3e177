// Where the programs keep their per-user files.
#pragma once

#include <string>

#include "platform/whole_file.h"

namespace platform {

// Names the one directory that holds all configuration files (registry.reg,
// sessions, QORPRTW.INI). Set by --config; the emulator providers, separate
// libraries that read the sessions file themselves, see it too.
constexpr const char kConfigDirectoryVariable[] = "QOR_CONFIG_DIR";

// The path named by environment variable env_var when it is set, else
// $QOR_CONFIG_DIR/<file_name>, else $XDG_CONFIG_HOME/qorprt/<file_name>, else
// ~/.config/qorprt/<file_name>, else (Windows, which has neither) %APPDATA%\qorprt\<file_name>.
std::string ConfigFilePath(const char* env_var, const char* file_name);
// --config DIR: every configuration file from DIR for this process and the
// ones it starts, whatever the environment's one-file variables say.
void UseConfigDirectory(const std::string& directory);
// How configuration files are written: readable by all in a directory named
// by --config (a service's user reads what an administrator wrote there),
// private in the per-user places.
FileSharing ConfigFileSharing();

// The same for files the programs keep as they run (logs): env_var, else
// $XDG_STATE_HOME/qorprt/<file_name>, else ~/.local/state/qorprt/<file_name>,
// else %LOCALAPPDATA%\qorprt\<file_name>; "" when there is no home to put it in.
std::string StateFilePath(const char* env_var, const char* file_name);

// The system's own directories for them: "" where it has none (Linux).
std::string SystemConfigDirectory();
std::string SystemStateDirectory();

}  // namespace platform
