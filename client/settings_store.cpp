#include "settings_store.h"

#include "platform/whole_file.h"

ProgramFiles DeriveProgramFiles(const std::string& program_dir, const std::string& program_name) {
  ProgramFiles files;
  files.settings = program_dir + program_name + ".INI";
  files.messages = files.settings.substr(0, files.settings.size() - 3) + "QOR";
  files.trace = program_name + ".TRC";
  return files;
}

bool CheckFirstRun(const std::string& settings_path) {
  std::string contents;
  if (platform::ReadWholeFile(settings_path, &contents) != 0) return true;
  if (contents.empty() || contents[0] != '$') return false;
  // Remove the marker and its line end (CR LF or LF); never a byte of content.
  size_t cut = 1;
  if (contents.compare(1, 2, "\r\n") == 0)
    cut = 3;
  else if (contents.compare(1, 1, "\n") == 0)
    cut = 2;
  platform::ReplaceFileAtomically(settings_path, contents.substr(cut));
  return true;
}
