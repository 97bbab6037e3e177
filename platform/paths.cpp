#include "platform/paths.h"

#include <cctype>

namespace platform {
namespace {

bool SameCharacter(char a, char b) {
  if (!kNamesIgnoreCase) return a == b;
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

bool MatchPattern(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*") return true;
  // Iterative glob with one back-tracking point: linear in practice, never recursive.
  size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || SameCharacter(pattern[p], name[n]))) {
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

std::string AbsolutePath(std::string_view path) {
  bool drive = kNamesIgnoreCase && path.size() > 1 && path[1] == ':';
  if (path.empty() || IsPathSeparator(path[0]) || drive) return std::string(path);
  std::string dir = CurrentDirectory();
  if (dir.empty()) return std::string(path);
  if (!IsPathSeparator(dir.back())) dir += kPathSeparator;
  return dir + std::string(path);
}

std::string DirectoryPart(std::string_view path) {
  size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
}

std::string ChooserDirectory(std::string_view path) {
  size_t sep = LastSeparator(path);
  if (sep == std::string_view::npos) return "";
  // The root itself, and a drive's root, keep their separator.
  bool drive_root = sep == 2 && path[1] == ':' &&
                    std::string_view(kPathSeparators).find(':') != std::string_view::npos;
  bool root = sep == 0 || drive_root;
  return std::string(path.substr(0, root ? sep + 1 : sep));
}

}  // namespace platform
