// Builds message files byte by byte for tests, independent of the compiler.
#pragma once

#include <string>
#include <vector>

struct MessageEntry {
  std::string key;
  std::string title;
  std::vector<std::string> lines;
};

// pad: bytes placed before the first text (so no text sits at offset 0 and
// tests can put a line exactly on a block boundary).
inline std::string BuildMessageFile(const std::vector<MessageEntry>& entries, size_t pad = 1) {
  std::string file(pad, '\0');
  std::vector<size_t> offsets;
  for (const auto& e : entries) {
    offsets.push_back(file.size());
    for (const auto& line : e.lines) file += line + '\0';
    file += std::string("##") + '\0';
  }
  size_t index = file.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    file += entries[i].key + '\0' + entries[i].title + '\0' + std::to_string(offsets[i]) + '\0';
  }
  file += '\0';
  std::string trailer = "1" + std::string(1, '\0') + std::to_string(index) + '\0';
  trailer.resize(32, ' ');
  return file + trailer;
}
