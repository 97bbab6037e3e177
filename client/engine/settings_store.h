// The client's program files, all named from its directory and base name, and
// the first-run marker kept in the settings file.
#pragma once

#include <string>

namespace client {

struct ProgramFiles {
  // QORPRTW.INI, first-run marker only: beside the program when it is there
  // and may be written, else in the user's configuration directory (an
  // installation is never written to at run time).
  std::string settings;
  bool settings_per_user = false;
  std::string messages;  // <dir>QORPRTW.QOR
  std::string trace;     // "QORPRTW.TRC", created in the current directory
};

ProgramFiles DeriveProgramFiles(const std::string& program_dir, const std::string& program_name);

// True when this start is a first run: the settings file is missing (it is not
// created), or it begins with the marker "$" and a line end, which is removed
// while everything after it is kept. A file that cannot be rewritten keeps its
// marker, so the next start is a first run again.
bool CheckFirstRun(const std::string& settings_path);
// The same for the settings file of files: a per-user file that is missing is
// made (empty), so only the first start of each user is a first run.
bool CheckFirstRun(const ProgramFiles& files);

}  // namespace client
