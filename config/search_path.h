// Where the configuration program looks for a file: its own directory (where
// an installation puts our providers, and where the system's loader looks
// first), the current directory, then each directory of PATH in order.
// Library names keep their Windows spelling ("PCSHLL32.DLL"); on Linux they
// are found as the shared object the loader would take (pcshll32.so, letter
// case ignored). Other names match as the file system matches them: exactly
// on Linux, ignoring letter case on Windows, where a name without a suffix
// also finds the program NAME.EXE.
#pragma once

#include <string>

namespace config {

// The full path of the first match, or "" when the name is not found.
// path_list is the value of PATH (directories separated by ':', on Windows ';').
std::string FindOnSearchPath(const std::string& name, const std::string& program_dir,
                             const std::string& current_dir, const std::string& path_list);

// The same with the program's and the process's current directory and PATH.
std::string FindOnSearchPath(const std::string& name);

inline bool FoundOnSearchPath(const std::string& name) { return !FindOnSearchPath(name).empty(); }

}  // namespace config
