#include "platform/registry_document.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace platform {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

namespace {

bool StartsWithKeyPrefix(std::string_view path, std::string_view parent) {
  return path.size() > parent.size() && path[parent.size()] == '\\' &&
         EqualsIgnoreCase(path.substr(0, parent.size()), parent);
}

std::string_view TrimLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}

// Reads a quoted string starting at text[pos] == '"'. Returns false when the
// closing quote is missing (a truncated file).
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out) {
  ++pos;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == '"') return true;
    if (c == '\\') {
      if (pos >= text.size()) return false;
      c = text[pos++];
    }
    out.push_back(c);
  }
  return false;
}

bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// "hex:01,02" or "hex(7):41,00,..." with blanks anywhere between the bytes.
// The blanks are dropped, so the value reads back the same after it is
// written out again.
bool NormalizeHexValue(std::string_view text, std::string* out) {
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '\t') compact.push_back(c);
  size_t i = 3;  // after "hex"
  if (i < compact.size() && compact[i] == '(') {
    size_t close = compact.find(')', i);
    if (close == std::string::npos || close == i + 1) return false;
    for (size_t k = i + 1; k < close; ++k)
      if (!IsHexDigit(compact[k])) return false;
    i = close + 1;
  }
  if (i >= compact.size() || compact[i] != ':') return false;
  ++i;
  while (i < compact.size()) {  // pairs of hex digits separated by commas
    if (i + 1 >= compact.size() || !IsHexDigit(compact[i]) || !IsHexDigit(compact[i + 1]))
      return false;
    i += 2;
    if (i < compact.size()) {
      if (compact[i] != ',' || i + 1 == compact.size()) return false;
      ++i;
    }
  }
  *out = compact;
  return true;
}

void AppendQuoted(std::string& out, std::string_view s) {
  out.push_back('"');
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

struct LogicalLine {
  int number;  // of its first physical line
  std::string text;
};

// Splits into logical lines; a raw (hex) value continues on the next line
// after a trailing backslash.
std::vector<LogicalLine> SplitLogicalLines(std::string_view text) {
  std::vector<LogicalLine> lines;
  int line_no = 0;
  bool continued = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimLineEnd(text.substr(start, end - start));
    start = end + 1;
    ++line_no;
    if (continued && !lines.empty()) {
      size_t first = line.find_first_not_of(" \t");
      lines.back().text.append(first == std::string_view::npos ? "" : line.substr(first));
    } else {
      lines.push_back({line_no, std::string(line)});
    }
    const std::string& last = lines.back().text;
    continued = !last.empty() && last.back() == '\\' && last.find("=hex") != std::string::npos;
    if (continued) lines.back().text.pop_back();
  }
  return lines;
}

// The data behind '=' (from pos); null, or what is wrong with it.
const char* ReadValueData(const std::string& line, size_t pos, RegistryValue* value) {
  if (pos < line.size() && line[pos] == '"') {
    if (!ReadQuoted(line, pos, value->data) || pos != line.size())
      return "value data without closing quote";
  } else if (line.compare(pos, 6, "dword:") == 0 && line.size() == pos + 14) {
    std::string_view digits = std::string_view(line).substr(pos + 6);
    if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) return "unreadable dword value";
    value->data = std::to_string(std::stoul(std::string(digits), nullptr, 16));
    value->is_string = false;
  } else if (line.compare(pos, 3, "hex") == 0) {
    if (!NormalizeHexValue(std::string_view(line).substr(pos), &value->data))
      return "unreadable hex value";
    value->is_string = false;
  } else {
    return "unreadable value data";
  }
  return nullptr;
}

// A value line: @= or "name"= and the data. Null, or what is wrong with it.
const char* ReadValueLine(const std::string& line, RegistryValue* value) {
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else if (line[0] == '"') {
    if (!ReadQuoted(line, pos, value->name)) return "value name without closing quote";
  } else {
    return "unreadable line";
  }
  if (pos >= line.size() || line[pos] != '=') return "value without '='";
  return ReadValueData(line, pos + 1, value);
}

// A later value of the same name replaces the earlier one.
void StoreValue(RegistryKey* key, RegistryValue value) {
  RegistryValue* existing = nullptr;
  for (auto& v : key->values)
    if (EqualsIgnoreCase(v.name, value.name)) existing = &v;
  if (existing)
    *existing = std::move(value);
  else
    key->values.push_back(std::move(value));
}

bool IsHeader(const std::string& line) {
  return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

}  // namespace

RegistryDocument RegistryDocument::Parse(std::string_view text) {
  RegistryDocument doc;
  auto problem = [&doc](int line_no, const char* what) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "line %d: %s", line_no, what);
    doc.problems_.emplace_back(buf);
  };
  bool header_seen = false;
  RegistryKey* current = nullptr;
  for (const LogicalLine& logical : SplitLogicalLines(text)) {
    const std::string& line = logical.text;
    if (line.empty() || line[0] == ';') continue;
    if (!header_seen) {
      header_seen = true;  // a missing header is reported once, then read what can be read
      if (IsHeader(line)) continue;
      problem(logical.number, "the file does not start with REGEDIT4");
    }
    if (line[0] == '[') {
      bool readable = line.back() == ']' && line.size() >= 3 && line[1] != '-';
      if (!readable) problem(logical.number, "unreadable key line");
      current =
          readable ? &doc.CreateKey(std::string_view(line).substr(1, line.size() - 2)) : nullptr;
      continue;
    }
    RegistryValue value;
    value.line = logical.number;
    const char* wrong = current ? ReadValueLine(line, &value) : "value outside of any key";
    if (wrong)
      problem(logical.number, wrong);
    else
      StoreValue(current, std::move(value));
  }
  return doc;
}

std::string RegistryDocument::Serialize() const {
  std::string out = "REGEDIT4\r\n";
  for (const auto& key : keys_) {
    out += "\r\n[";
    out += key.path;
    out += "]\r\n";
    for (const auto& v : key.values) {
      if (v.name.empty())
        out += "@";
      else
        AppendQuoted(out, v.name);
      out += "=";
      if (v.is_string) {
        AppendQuoted(out, v.data);
      } else if (v.data.rfind("hex", 0) == 0) {
        out += v.data;
      } else {
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08lx", std::stoul(v.data));
        out += buf;
      }
      out += "\r\n";
    }
  }
  return out;
}

RegistryKey* RegistryDocument::FindKey(std::string_view path) {
  for (auto& key : keys_)
    if (EqualsIgnoreCase(key.path, path)) return &key;
  return nullptr;
}

const RegistryKey* RegistryDocument::FindKey(std::string_view path) const {
  return const_cast<RegistryDocument*>(this)->FindKey(path);
}

bool RegistryDocument::KeyExists(std::string_view path) const {
  if (FindKey(path)) return true;
  return HasSubKeys(path);
}

RegistryKey& RegistryDocument::CreateKey(std::string_view path) {
  if (RegistryKey* key = FindKey(path)) return *key;
  keys_.push_back(RegistryKey{std::string(path), {}});
  return keys_.back();
}

std::vector<std::string> RegistryDocument::SubKeys(std::string_view path) const {
  std::vector<std::string> names;
  for (const auto& key : keys_) {
    if (!StartsWithKeyPrefix(key.path, path)) continue;
    std::string_view rest = std::string_view(key.path).substr(path.size() + 1);
    rest = rest.substr(0, rest.find('\\'));
    bool seen = false;
    for (const auto& n : names) seen = seen || EqualsIgnoreCase(n, rest);
    if (!seen && !rest.empty()) names.emplace_back(rest);
  }
  return names;
}

bool RegistryDocument::HasSubKeys(std::string_view path) const {
  for (const auto& key : keys_)
    if (StartsWithKeyPrefix(key.path, path)) return true;
  return false;
}

bool RegistryDocument::DeleteKey(std::string_view path) {
  for (auto it = keys_.begin(); it != keys_.end(); ++it) {
    if (EqualsIgnoreCase(it->path, path)) {
      keys_.erase(it);
      return true;
    }
  }
  return false;
}

const RegistryValue* RegistryDocument::FindValue(const RegistryKey& key, std::string_view name) {
  for (const auto& v : key.values)
    if (EqualsIgnoreCase(v.name, name)) return &v;
  return nullptr;
}

void RegistryDocument::SetValue(RegistryKey& key, std::string_view name, std::string_view data) {
  for (auto& v : key.values) {
    if (EqualsIgnoreCase(v.name, name)) {
      v.data = data;
      v.is_string = true;
      v.line = 0;
      return;
    }
  }
  key.values.push_back(RegistryValue{std::string(name), std::string(data), true, 0});
}

}  // namespace platform
