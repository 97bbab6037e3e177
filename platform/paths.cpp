#include "paths.h"

#include <climits>
#include <unistd.h>

namespace platform {

bool MatchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  // Iterative glob with one back-tracking point: linear in practice, never recursive.
  size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string CurrentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return "";
  return buf;
}

std::string DirectoryPart(std::string_view path) {
  size_t slash = path.find_last_of(kPathSeparator);
  return slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
}

std::string ProgramDirectory() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return DirectoryPart(std::string_view(buf, static_cast<size_t>(n)));
}

}  // namespace platform
