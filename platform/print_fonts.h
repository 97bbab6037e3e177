// Font families a print font can be chosen from.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The installed families from fontconfig: monospaced families first, then
// the rest, each group in alphabetical order, no duplicates.
std::vector<std::string> ListFontFamilies();

}  // namespace platform
