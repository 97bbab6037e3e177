// Replies of an x3270-family emulator's script protocol: data lines, one
// status line, then "ok" or "error". Bytes come in as they arrive; a reply is
// complete once an "ok"/"error" line follows a well-formed status line.
// Everything before the status line is data, prefixed "data: " or not (a
// failed connect can print a line of raw bytes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

struct ScriptStatus {
  bool keyboard_unlocked = false;         // field 1: U
  bool formatted = false;                 // field 2: F
  bool field_protected = false;           // field 3: P
  bool connected = false;                 // field 4: C(host)
  char mode = 'N';                        // field 5: N, P, I (3270), C, L
  int rows = 24, columns = 80;            // fields 7, 8
  int cursor_row = 0, cursor_column = 0;  // fields 9, 10, counted from 0
};

struct ScriptReply {
  bool ok = false;
  std::vector<std::string> data;  // without the "data: " prefix
  ScriptStatus status;
};

// True when line is a status line; fills *status.
bool ParseScriptStatus(std::string_view line, ScriptStatus* status);

class ScriptReplyParser {
 public:
  // Appends received bytes.
  void Feed(std::string_view bytes);
  // Takes the next complete reply, if there is one.
  bool Next(ScriptReply* reply);
  // Bytes held that do not yet form a complete reply.
  std::size_t Pending() const { return buffer_.size() - consumed_; }
  // Replies longer than this are refused: the peer is not an emulator.
  static constexpr std::size_t kMaxReply = 1 << 20;
  bool Overflowed() const { return Pending() > kMaxReply; }

 private:
  std::string buffer_;
  std::size_t consumed_ = 0;  // start of the reply being assembled
  std::size_t scanned_ = 0;   // lines before this offset have been looked at
};

}  // namespace emulator
