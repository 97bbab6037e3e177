// Path rules: on Linux '/' is the separator and there are no drives; on Windows
// '\\' and drive letters, and names on disk ignore letter case. On both the
// pattern "*.*" means every name, as users of the Windows program expect.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
// The system reads '/' as a separator too, and "C:" ends a drive.
constexpr const char kPathSeparators[] = "\\/:";
constexpr bool kNamesIgnoreCase = true;
// Between the directories of PATH.
constexpr char kPathListSeparator = ';';
// What a program's file name ends in.
constexpr const char kProgramSuffix[] = ".EXE";
// The system the programs run on, as the start-up window names it.
constexpr const char kPlatformName[] = "Windows";
#else
constexpr char kPathSeparator = '/';
constexpr const char kPathSeparators[] = "/";
constexpr bool kNamesIgnoreCase = false;
constexpr char kPathListSeparator = ':';
constexpr const char kProgramSuffix[] = "";
constexpr const char kPlatformName[] = "Linux";
#endif

inline constexpr bool IsPathSeparator(char c) {
  return c == kPathSeparator || (kNamesIgnoreCase && c == '/');
}

// The position of the last separator in path, or npos.
inline size_t LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

// Wildcard match of one name: '*' any run, '?' one character; "*.*" matches
// every name, also names without a dot. Letter case counts where it does on disk.
bool MatchPattern(std::string_view pattern, std::string_view name);

// True when name, whatever its extension, names a device rather than a file
// (CON, NUL, COM1 ... on Windows; never on Linux).
bool IsDeviceName(std::string_view name);

// What a file chooser offers as drives: the root "/" on Linux, each drive's
// root ("C:\\") on Windows.
std::vector<std::string> DriveRoots();
// Makes the drive of root current, in the directory it was last in. Linux has
// one root and no drives: nothing changes there.
void ChangeDrive(const std::string& root);

// The directory part of a chooser's path ("C:\\DIR\\NAME" -> "C:\\DIR"); a
// root keeps its separator ("/NAME" -> "/", "C:\\NAME" -> "C:\\"). "" when
// path has no separator.
std::string ChooserDirectory(std::string_view path);

// The current working directory, or "" when it cannot be read.
std::string CurrentDirectory();

// path as it stands when it is absolute ("/x", on Windows also "C:..." and
// "\\x"), else the current directory joined with it: what stays right when
// the program later changes its directory.
std::string AbsolutePath(std::string_view path);

// The directory part of path up to and including its last separator ("" if none).
std::string DirectoryPart(std::string_view path);

// The directory of the running program, ending in a separator.
std::string ProgramDirectory();

}  // namespace platform
