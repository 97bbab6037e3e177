#include "config/search_path.h"
#include "common/text_helpers.h"

#include <sys/stat.h>
#include <cstdlib>

#include "config/emulator_list.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"

namespace config {

namespace {

bool EndsWithIgnoringCase(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         common::EqualsIgnoreCase(s.substr(s.size() - suffix.size()), suffix);
}

bool IsLibraryName(const std::string& name) {
  return EndsWithIgnoringCase(name, ".dll") || EndsWithIgnoringCase(name, ".so");
}

// A file, not a directory of that name.
bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string FindInDirectory(const std::string& dir, const std::string& name) {
  if (IsLibraryName(name)) {
    std::string found = platform::FindLibraryInDirectory(dir, name);
    return !found.empty() && IsFile(found) ? found : std::string();
  }
  std::string path = dir;
  if (!path.empty() && !platform::IsPathSeparator(path.back())) path += platform::kPathSeparator;
  path += name;
  if (IsFile(path)) return path;
  // A program named without its suffix ("qorprtt" for qorprtt.exe), as the shell finds it.
  if (*platform::kProgramSuffix && name.find('.') == std::string::npos &&
      IsFile(path + platform::kProgramSuffix))
    return path + platform::kProgramSuffix;
  return "";
}

}  // namespace

std::string FindOnSearchPath(const std::string& name, const std::string& program_dir,
                             const std::string& current_dir, const std::string& path_list) {
  if (name.empty()) return "";
  // A name with a directory in it is looked at where it points.
  if (name.find_first_of(platform::kPathSeparators) != std::string::npos)
    return IsFile(name) ? name : "";
  std::string found = program_dir.empty() ? "" : FindInDirectory(program_dir, name);
  if (found.empty()) found = FindInDirectory(current_dir.empty() ? "." : current_dir, name);
  size_t start = 0;
  while (found.empty() && start <= path_list.size()) {
    size_t end = path_list.find(platform::kPathListSeparator, start);
    if (end == std::string::npos) end = path_list.size();
    std::string dir = path_list.substr(start, end - start);
    if (!dir.empty()) found = FindInDirectory(dir, name);
    start = end + 1;
  }
  return found;
}

std::string FindOnSearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  return FindOnSearchPath(name, platform::ProgramDirectory(), platform::CurrentDirectory(),
                          path ? path : "");
}

}  // namespace config
