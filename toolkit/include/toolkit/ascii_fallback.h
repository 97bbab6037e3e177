// Plain ASCII for what the toolkit and its programs draw, for terminals
// whose locale is not UTF-8 (LANG unset under root, ssh or a service).
#pragma once

#include <string>
#include <string_view>

namespace tk {

// The character itself when it is ASCII; else the stand-in for a frame,
// arrow, mark or punctuation character the windows use ('-' for a middle
// dot, '+' for a corner), or '?' for anything else.
char AsciiFallback(char32_t c);

// The text with every character through AsciiFallback.
std::string AsciiText(std::u32string_view text);

// Whether a locale's codeset (nl_langinfo(CODESET)) is UTF-8.
bool CodesetIsUtf8(std::string_view codeset);

}  // namespace tk
