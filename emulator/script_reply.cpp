#include "emulator/script_reply.h"

#include <cstdlib>

namespace emulator {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size() && fields.size() < 16) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

bool Number(std::string_view s, int low, int high, int* value) {
  if (s.empty() || s.size() > 5) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

std::string_view StripCarriageReturn(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

bool ParseScriptStatus(std::string_view line, ScriptStatus* status) {
  std::vector<std::string_view> f = Fields(StripCarriageReturn(line));
  if (f.size() < 11 || f.size() > 12) return false;
  ScriptStatus s;
  if (f[0] != "U" && f[0] != "L" && f[0] != "E") return false;
  s.keyboard_unlocked = f[0] == "U";
  if (f[1] != "F" && f[1] != "U") return false;
  s.formatted = f[1] == "F";
  if (f[2] != "P" && f[2] != "U") return false;
  s.field_protected = f[2] == "P";
  if (f[3] == "N") {
    s.connected = false;
  } else if (f[3].size() >= 3 && f[3].substr(0, 2) == "C(" && f[3].back() == ')') {
    s.connected = true;
  } else {
    return false;
  }
  if (f[4].size() != 1) return false;
  s.mode = f[4][0];
  int model = 0;
  if (!Number(f[5], 2, 5, &model)) return false;
  if (!Number(f[6], 1, 255, &s.rows) || !Number(f[7], 1, 255, &s.columns)) return false;
  if (!Number(f[8], 0, 254, &s.cursor_row) || !Number(f[9], 0, 254, &s.cursor_column)) return false;
  if (s.cursor_row >= s.rows || s.cursor_column >= s.columns) return false;
  if (f[10].substr(0, 2) != "0x") return false;
  *status = s;
  return true;
}

void ScriptReplyParser::Feed(std::string_view bytes) {
  if (consumed_ > 0 && consumed_ == buffer_.size()) {
    buffer_.clear();
    scanned_ = consumed_ = 0;
  }
  buffer_.append(bytes);
}

bool ScriptReplyParser::Next(ScriptReply* reply) {
  // Look for "ok"/"error" lines whose previous line is a status line.
  std::size_t prev_start = std::string::npos;  // start of the line before the current one
  std::size_t line_start = consumed_;
  // Re-find the line before scanned_ so that a split status line still pairs up.
  std::size_t pos = consumed_;
  while (true) {
    std::size_t nl = buffer_.find('\n', pos);
    if (nl == std::string::npos) break;
    std::string_view line =
        StripCarriageReturn(std::string_view(buffer_).substr(line_start, nl - line_start));
    if (nl >= scanned_ && (line == "ok" || line == "error") && prev_start != std::string::npos) {
      std::string_view status_line =
          std::string_view(buffer_).substr(prev_start, line_start - 1 - prev_start);
      ScriptStatus status;
      if (ParseScriptStatus(status_line, &status)) {
        ScriptReply r;
        r.ok = line == "ok";
        r.status = status;
        std::size_t d = consumed_;
        while (d < prev_start) {
          std::size_t e = buffer_.find('\n', d);
          std::string_view data = StripCarriageReturn(std::string_view(buffer_).substr(d, e - d));
          if (data.substr(0, 6) == "data: ") {
            data.remove_prefix(6);
          } else if (data == "data:") {
            data = {};
          }
          r.data.emplace_back(data);
          d = e + 1;
        }
        *reply = std::move(r);
        consumed_ = nl + 1;
        scanned_ = consumed_;
        return true;
      }
    }
    prev_start = line_start;
    line_start = nl + 1;
    pos = nl + 1;
  }
  // Lines up to the last complete one have been looked at; keep the last
  // complete line's start so it can still pair with an "ok" that follows.
  scanned_ = line_start;
  return false;
}

}  // namespace emulator
