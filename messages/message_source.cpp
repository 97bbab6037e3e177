#include "messages/message_source.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

namespace messages {
namespace {

constexpr std::size_t kMaxErrors = 100;

class Parser {
 public:
  Parser(ParsedSource& out, System system) : out_(out), system_(system) {}

  void Line(int no, std::string_view line) {
    line_no_ = no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF sources
    if (line.find('\0') != std::string_view::npos) {
      Error("line contains a NUL byte");
      if (line.front() == '[') {  // a refused key: its text lines go with it
        current_ = -1;
        seen_header_ = true;
      }
      return;
    }
    if (line.find_first_not_of(" \t") == std::string_view::npos) return;
    switch (line.front()) {
      case '#': return;
      case '[': Header(line); return;
      case '|': TextLine(line.substr(1)); return;
      case '!': Directive(line.substr(1)); return;
      default: break;
    }
    for (const auto& [tag, system] : kSystemTags) {
      if (line.starts_with(tag)) {
        TextLine(line.substr(tag.size()), system == system_);
        return;
      }
    }
    Error("unrecognised line (text lines start with '|', keys with '[')");
  }

  void Finish() {
    line_no_ = 0;
    if (out_.entries.empty() && out_.errors.empty()) Error("no texts in the source");
    if (out_.hash_free) {
      // The directive may come after texts; check them all once the file is read.
      std::vector<int> hashes = other_system_hashes_;
      for (const MessageEntry& e : out_.entries)
        for (std::size_t i = 0; i < e.lines.size(); ++i)
          if (e.lines[i].find('#') != std::string::npos) hashes.push_back(e.line_numbers[i]);
      std::sort(hashes.begin(), hashes.end());
      for (int no : hashes) {
        line_no_ = no;
        Error("'#' in a text of a hash-free file (its reader stops there)");
      }
    }
  }

 private:
  void Error(std::string text) {
    if (out_.errors.size() < kMaxErrors) out_.errors.push_back({line_no_, std::move(text)});
  }

  // Reports a control byte; returns whether the text is clean.
  bool CheckBytes(std::string_view text, const char* what) {
    for (unsigned char c : text) {
      if (c < 0x20 || c == 0x7f) {
        char msg[96];
        std::snprintf(msg, sizeof msg, "control character 0x%02X in %s", c, what);
        Error(msg);
        return false;
      }
    }
    return true;
  }

  void Header(std::string_view line) {
    current_ = -1;
    seen_header_ = true;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
      Error("key not closed by ']'");
      return;
    }
    std::string_view key = line.substr(1, close - 1);
    std::string_view title = Trim(line.substr(close + 1));
    bool ok = true;
    if (key.empty()) {
      Error("empty key");
      ok = false;
    } else if (key.size() > kMaxKeyLength) {
      Error("key longer than 32 characters");
      ok = false;
    } else {
      for (char c : key) {
        bool upper_or_digit = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (c >= 'a' && c <= 'z') {
          Error("key '" + std::string(key) + "' has lower-case letters (keys are upper case)");
          ok = false;
          break;
        }
        if (!upper_or_digit && c != '-' && c != '_' && c != '/' && c != '.') {
          Error("key '" + std::string(key) + "' has a character other than A-Z, 0-9, - _ / .");
          ok = false;
          break;
        }
      }
    }
    if (title.size() > kMaxStringLength) {
      Error("title longer than 384 bytes");
      ok = false;
    } else if (!CheckBytes(title, "the title")) {
      ok = false;
    }
    if (!ok) return;
    if (!keys_.insert(std::string(key)).second) {
      char msg[80];
      std::snprintf(msg, sizeof msg, "duplicate key (first defined on line %d)", FirstLine(key));
      Error(std::string("'") + std::string(key) + "': " + msg);
      return;
    }
    out_.entries.push_back({std::string(key), std::string(title), {}, line_no_, {}});
    current_ = static_cast<long>(out_.entries.size()) - 1;
  }

  int FirstLine(std::string_view key) const {
    for (const MessageEntry& e : out_.entries)
      if (e.key == key) return e.source_line;
    return 0;
  }

  // kept: false for the other system's line, checked all the same.
  void TextLine(std::string_view text, bool kept = true) {
    if (current_ < 0) {
      // After a refused key line the error is already reported.
      if (!seen_header_) Error("text line before the first key");
      return;
    }
    if (text.size() > kMaxStringLength) {
      Error("text line longer than 384 bytes");
      return;
    }
    if (text == "##") {
      Error("a text line may not be exactly \"##\" (it ends a text)");
      return;
    }
    if (!CheckBytes(text, "a text line")) return;
    if (!kept) {
      if (text.find('#') != std::string_view::npos) other_system_hashes_.push_back(line_no_);
      return;
    }
    MessageEntry& e = out_.entries[static_cast<std::size_t>(current_)];
    e.lines.emplace_back(text);
    e.line_numbers.push_back(line_no_);
  }

  void Directive(std::string_view word) {
    word = Trim(word);
    if (word == "hash-free")
      out_.hash_free = true;
    else
      Error("unknown directive '!" + std::string(word) + "'");
  }

  static std::string_view Trim(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
  }

  static constexpr std::pair<std::string_view, System> kSystemTags[] = {
      {"linux|", System::kLinux}, {"windows|", System::kWindows}};

  ParsedSource& out_;
  const System system_;
  std::vector<int> other_system_hashes_;  // lines not kept that hold a '#'
  std::set<std::string> keys_;
  long current_ = -1;
  bool seen_header_ = false;
  int line_no_ = 0;
};

}  // namespace

ParsedSource ParseMessageSource(std::string_view text, System system) {
  ParsedSource out;
  Parser parser(out, system);
  int no = 0;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    parser.Line(++no, line);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  parser.Finish();
  return out;
}

}  // namespace messages
