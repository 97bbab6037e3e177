// Path rules: '/' is the separator, there are no drives, and the pattern "*.*"
// means every name, as users of the Windows program expect.
#pragma once

#include <string>
#include <string_view>

namespace platform {

constexpr char kPathSeparator = '/';
// The system the programs run on, as the start-up window names it.
constexpr const char kPlatformName[] = "Linux";

// Wildcard match of one name: '*' any run, '?' one character; "*.*" matches
// every name, also names without a dot. Case-sensitive, as names on disk are.
bool MatchPattern(std::string_view pattern, std::string_view name);

// The current working directory, or "" when it cannot be read.
std::string CurrentDirectory();

// The directory part of path up to and including its last separator ("" if none).
std::string DirectoryPart(std::string_view path);

// The directory of the running program, ending in a separator.
std::string ProgramDirectory();

}  // namespace platform
