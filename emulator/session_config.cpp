#include "emulator/session_config.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/config_file.h"

namespace emulator {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

bool ParseInt(const std::string& s, long low, long high, long* value) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  long v = std::strtol(s.c_str(), nullptr, 10);
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

// Host names go into an emulator command, so only characters that need no
// quoting there are accepted.
bool HostIsPlain(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (unsigned char c : host)
    if (!(std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']'))
      return false;
  return true;
}

}  // namespace

const SessionLine* SessionTable::Find(char letter) const {
  for (const SessionLine& s : sessions)
    if (s.letter == letter) return &s;
  return nullptr;
}

std::string SessionsFilePath() { return platform::ConfigFilePath("QOR_SESSIONS", "sessions"); }

bool SplitHostPort(const std::string& target, std::string* host, int* port) {
  std::size_t colon = target.rfind(':');
  if (colon == std::string::npos) return false;
  long p = 0;
  if (!ParseInt(target.substr(colon + 1), 1, 65535, &p)) return false;
  *host = target.substr(0, colon);
  if (!HostIsPlain(*host)) return false;
  *port = static_cast<int>(p);
  return true;
}

SessionTable ParseSessions(const std::string& text, const std::string& file_name) {
  SessionTable table;
  table.file = file_name;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    auto problem = [&](const std::string& what) {
      table.problems.push_back(file_name + ":" + std::to_string(number) + ": " + what);
    };
    if (w[0].size() != 1 || !std::isalpha(static_cast<unsigned char>(w[0][0]))) {
      problem("expected a session letter A to Z first, found \"" + w[0] + "\"");
      continue;
    }
    SessionLine s;
    s.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0][0])));
    s.line_number = number;
    if (w.size() < 3) {
      problem("expected \"" + std::string(1, s.letter) +
              " s3270 HOST:PORT\", \"script 127.0.0.1:PORT\" or \"sim SPOOLDIR\"");
      continue;
    }
    if (w[1] == "s3270") {
      s.kind = SessionKind::kS3270;
    } else if (w[1] == "script") {
      s.kind = SessionKind::kScript;
    } else if (w[1] == "sim") {
      s.kind = SessionKind::kSim;
    } else {
      problem("unknown session kind \"" + w[1] + "\" (s3270, script or sim)");
      continue;
    }
    s.target = w[2];
    if (s.kind != SessionKind::kSim) {
      std::string host;
      int port = 0;
      if (!SplitHostPort(s.target, &host, &port)) {
        problem("\"" + s.target + "\" is not HOST:PORT with a port from 1 to 65535");
        continue;
      }
    }
    const auto scope = s.kind == SessionKind::kS3270 ? session_options::Scope::kS3270
                                                     : session_options::Scope::kTimeoutOnly;
    std::vector<std::string> seen;
    std::string why;
    bool bad = false;
    for (std::size_t i = 3; i < w.size() && !bad; ++i)
      bad = !session_options::Apply(w[i], scope, &s.options, &seen, &why);
    if (!bad) bad = !session_options::CheckTogether(s.options, &why);
    if (bad) {
      problem(why);
      continue;
    }
    s.timeout_seconds = s.options.timeout_seconds;
    if (const SessionLine* first = table.Find(s.letter)) {
      problem("session " + std::string(1, s.letter) + " is already defined on line " +
              std::to_string(first->line_number));
      continue;
    }
    table.sessions.push_back(s);
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
