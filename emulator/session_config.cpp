#include "emulator/session_config.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace emulator {

const SessionLine* SessionTable::Find(char letter) const {
  for (const SessionLine& s : sessions)
    if (s.letter == letter) return &s;
  return nullptr;
}

SessionTable ParseSessions(const std::string& text, const std::string& file_name) {
  SessionTable table;
  table.file = file_name;
  std::istringstream in(text);
  std::string text_line;
  for (int number = 1; std::getline(in, text_line); ++number) {
    std::vector<std::string> words = common::SessionLineWords(text_line);
    if (words.empty()) continue;
    SessionLine line;
    std::string problem;
    bool good = common::ParseSessionLine(words, &line, &problem);
    if (const SessionLine* first = good ? table.Find(line.letter) : nullptr) {
      problem = "session " + std::string(1, line.letter) + " is already defined on line " +
                std::to_string(first->line_number);
      good = false;
    }
    if (!good) {
      table.problems.push_back(file_name + ":" + std::to_string(number) + ": " + problem);
      continue;
    }
    line.line_number = number;
    table.sessions.push_back(line);
  }
  return table;
}

SessionTable LoadSessions(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    SessionTable table;
    table.file = path;
    table.problems.push_back(path + ": cannot read the sessions file (" + std::strerror(errno) +
                             ")");
    return table;
  }
  // A sessions file is a few lines; anything huge (or endless) is refused.
  constexpr std::size_t kLargest = 1 << 20;
  std::string text(kLargest + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) {
    SessionTable table;
    table.file = path;
    table.problems.push_back(path + ": read error");
    return table;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kLargest) {
    SessionTable table;
    table.file = path;
    table.problems.push_back(path + ": too large to be a sessions file");
    return table;
  }
  return ParseSessions(text, path);
}

}  // namespace emulator
