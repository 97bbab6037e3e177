// Readable message-file sources: parsing and checking.
//
// A source holds one text per key. Lines, by their first character:
//   #        comment (first column only); blank lines are ignored
//   [KEY]    starts a text; anything after the ']' is its help-index title
//   |        one line of the current text: everything after the '|', verbatim
//   linux|   the same, on Linux only; windows| on Windows only: the texts that
//            name files, libraries or programs say what is true where they run
//   !        a directive: "!hash-free" forbids '#' in every text line of the file
// The parser refuses whatever the readers of the compiled file would get wrong:
// duplicate, empty or lower-case keys, NUL or control bytes, a text line that
// is exactly "##", strings longer than the readers' join buffer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace messages {

// Longest string the readers can join across a 512-byte block boundary.
inline constexpr std::size_t kMaxStringLength = 384;
// The help index keeps keys of at most this length.
inline constexpr std::size_t kMaxKeyLength = 32;

// The system a compiled file is for.
enum class System { kLinux, kWindows };

struct MessageEntry {
  std::string key;
  std::string title;               // empty or '@'...: not in the help index
  std::vector<std::string> lines;  // without the closing "##"
  int source_line = 0;             // line of the [KEY] header
  std::vector<int> line_numbers;   // source line of each text line
};

struct SourceError {
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string text;
};

struct ParsedSource {
  std::vector<MessageEntry> entries;  // in source order
  std::vector<SourceError> errors;    // empty when the source is usable
  bool hash_free = false;
};

// Parses a whole source file, keeping the lines for system. Never throws on
// bad input; every problem found, also in the other system's lines, is listed
// in `errors` (parsing goes on after an error to report them all).
ParsedSource ParseMessageSource(std::string_view text, System system = System::kLinux);

}  // namespace messages
