#include "platform/paths.h"

#include <unistd.h>
#include <climits>

namespace platform {

bool IsDeviceName(std::string_view) { return false; }

std::vector<std::string> DriveRoots() { return {"/"}; }

void ChangeDrive(const std::string&) {}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return "";
  return buf;
}

std::string ProgramDirectory() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return DirectoryPart(std::string_view(buf, static_cast<size_t>(n)));
}

}  // namespace platform
