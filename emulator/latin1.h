// Screen text travels as single bytes (Latin-1) through HLLAPI; emulators
// run with UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace emulator {

// Characters beyond Latin-1, and broken sequences, become '?'.
std::string Utf8ToLatin1(std::string_view utf8);
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace emulator
