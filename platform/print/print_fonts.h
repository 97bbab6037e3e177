// Font families a print font can be chosen from.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The installed families from fontconfig: monospaced families first, then
// the rest, each group in alphabetical order, no duplicates.
std::vector<std::string> ListFontFamilies();

// cairo and fontconfig keep the fonts they looked up for the life of the
// process; this hands them back at exit (once registered, by whoever first
// uses fonts) so that leak checkers see a clean run.
void ReleaseFontCachesAtExit();

}  // namespace platform
