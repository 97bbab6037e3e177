// The client's program files, all named from its directory and base name, and
// the first-run marker kept in the settings file.
#pragma once

#include <string>

struct ProgramFiles {
  std::string settings;  // <dir>QORPRTW.INI: first-run marker only
  std::string messages;  // the settings path with "INI" replaced by "QOR"
  std::string trace;     // "QORPRTW.TRC", created in the current directory
};

ProgramFiles DeriveProgramFiles(const std::string& program_dir, const std::string& program_name);

// True when this start is a first run: the settings file is missing (it is not
// created), or it begins with the marker "$" and a line end, which is removed
// while everything after it is kept. A file that cannot be rewritten keeps its
// marker, so the next start is a first run again.
bool CheckFirstRun(const std::string& settings_path);
