#include "client/engine/settings_store.h"

#include <unistd.h>

#include "platform/config_file.h"
#include "platform/paths.h"
#include "platform/whole_file.h"

namespace client {

ProgramFiles DeriveProgramFiles(const std::string& program_dir, const std::string& program_name) {
  ProgramFiles files;
  files.settings = program_dir + program_name + ".INI";
  files.messages = program_dir + program_name + ".QOR";
  files.trace = program_name + ".TRC";
  if (::access(files.settings.c_str(), W_OK) != 0) {
    std::string per_user =
        platform::ConfigFilePath("QOR_SETTINGS", (program_name + ".INI").c_str());
    if (!per_user.empty()) {
      files.settings = per_user;
      files.settings_per_user = true;
    }
  }
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

bool CheckFirstRun(const ProgramFiles& files) {
  if (!CheckFirstRun(files.settings)) return false;
  if (files.settings_per_user && ::access(files.settings.c_str(), F_OK) != 0) {
    platform::MakeFileDirectory(files.settings);
    platform::ReplaceFileAtomically(files.settings, "");
  }
  return true;
}

}  // namespace client
