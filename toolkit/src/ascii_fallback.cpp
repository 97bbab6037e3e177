#include "toolkit/ascii_fallback.h"

#include <algorithm>
#include <cctype>

namespace tk {

namespace {

struct StandIn {
  char32_t glyph;
  char ascii;
};

// Sorted by code point for the binary search.
constexpr StandIn kStandIns[] = {
    {U'\u00a0', ' '},                     // no-break space
    {U'\u00ab', '<'},  {U'\u00b7', '-'},  // middle dot, a separator in texts
    {U'\u00bb', '>'},  {U'\u00d7', 'x'}, {U'\u2013', '-'}, {U'\u2014', '-'}, {U'\u2018', '\''},
    {U'\u2019', '\''}, {U'\u201c', '"'}, {U'\u201d', '"'}, {U'\u2022', '*'}, {U'\u2026', '.'},
    {U'\u2190', '<'},  {U'\u2191', '^'}, {U'\u2192', '>'}, {U'\u2193', 'v'}, {U'\u2195', '|'},
    {U'\u2500', '-'},  {U'\u2502', '|'}, {U'\u250c', '+'}, {U'\u2510', '+'}, {U'\u2514', '+'},
    {U'\u2518', '+'},  {U'\u251c', '+'}, {U'\u2524', '+'}, {U'\u2550', '='}, {U'\u2551', '|'},
    {U'\u2554', '+'},  {U'\u2557', '+'}, {U'\u255a', '+'}, {U'\u255d', '+'}, {U'\u2588', '#'},
    {U'\u2591', ':'},  {U'\u25a0', '#'}, {U'\u25b2', '^'}, {U'\u25ba', '>'}, {U'\u25bc', 'v'},
    {U'\u25c4', '<'},
};
static_assert(std::is_sorted(std::begin(kStandIns), std::end(kStandIns),
                             [](const StandIn& a, const StandIn& b) { return a.glyph < b.glyph; }));

}  // namespace

char AsciiFallback(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  const auto* end = std::end(kStandIns);
  const auto* it = std::lower_bound(std::begin(kStandIns), end, c,
                                    [](const StandIn& s, char32_t v) { return s.glyph < v; });
  return it != end && it->glyph == c ? it->ascii : '?';
}

std::string AsciiText(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) out += AsciiFallback(c);
  return out;
}

bool CodesetIsUtf8(std::string_view codeset) {
  std::string name;
  for (char c : codeset)
    if (c != '-' && c != '_')
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name == "utf8";
}

}  // namespace tk
