// Small string helpers every folder above the platform layer shares. Bytes
// are compared in the C locale: these texts are names, keys and file lines,
// never prose.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common {

// Without the leading and trailing characters of blanks.
std::string_view Trim(std::string_view text, std::string_view blanks = " \t\r");

std::string Lower(std::string_view text);
std::string Upper(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The words of a line between white space (blank, tab, CR, LF, VT, FF).
std::vector<std::string> SplitWords(std::string_view text);

// A plain decimal number of 1 to 9 digits within [low, high]; no sign, no
// blanks, so nothing but digits ever passes.
bool ParseNumber(std::string_view digits, long low, long high, long* value);

}  // namespace common
