// The encodings of data screens: four shift tables that map displayable
// characters to bytes, a run-length code, and the length prefix of "/CUT" screens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hostlink::screen_codec {

// Repeat counts: ' ' = 0, 'A'..'Z' = 1..26, 'a'..'z' = 27..52, '0'..'9' = 53..62,
// '+' = 63; any other character counts 64.
int RunCount(unsigned char c);

// Shift-translates a screen text: ';', '=', '*' and '\'' select a table and
// produce nothing, every other character becomes its table entry (0 when the
// table has none). Starts with the ';' table for every screen.
std::string ShiftTranslate(std::string_view screen);

// Run-length expansion whose carry ('~' or a count at the very end of a chunk)
// continues into the next chunk. 0x15 outside a run becomes CR LF.
class RunLengthExpander {
 public:
  std::string Expand(std::string_view bytes);
  bool PendingTilde() const { return pending_tilde_; }
  bool PendingCount() const { return pending_count_ >= 0; }

 private:
  bool pending_tilde_ = false;
  int pending_count_ = -1;  // a count whose byte has not arrived yet
};

// Length-prefixed screens: "LLLLx..." where the first number L counts the
// characters from position 5 that must all be present and non-blank. On
// acceptance, '{' among them become blanks and the first five characters are
// removed. Returns false (screen unchanged) when the screen is not acceptable.
// Screens that do not start with a digit are accepted unchanged.
bool AcceptLengthPrefixed(std::string& screen, long* declared_length = nullptr);

}  // namespace hostlink::screen_codec
