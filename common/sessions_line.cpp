#include "common/sessions_line.h"

#include <cctype>
#include <iterator>

#include "common/text_helpers.h"
#include "platform/config_file.h"

namespace common {
namespace {

constexpr struct {
  SessionKind kind;
  const char* word;
} kKindWords[] = {
    {SessionKind::kS3270, "s3270"}, {SessionKind::kScript, "script"}, {SessionKind::kSim, "sim"}};

// Applies the words after the target, then checks them together.
bool ParseOptions(const std::vector<std::string>& words, SessionLine* line, std::string* problem) {
  const auto scope = line->kind == SessionKind::kS3270 ? session_options::Scope::kS3270
                                                       : session_options::Scope::kTimeoutOnly;
  std::vector<std::string> seen;
  for (std::size_t i = 3; i < words.size(); ++i)
    if (!session_options::Apply(words[i], scope, &line->options, &seen, problem)) return false;
  return session_options::CheckTogether(line->options, problem);
}

#ifdef _WIN32
constexpr SessionKind kOfferedKinds[] = {SessionKind::kScript, SessionKind::kSim};
#else
constexpr SessionKind kOfferedKinds[] = {SessionKind::kS3270, SessionKind::kScript,
                                         SessionKind::kSim};
#endif

}  // namespace

std::vector<SessionKind> OfferedSessionKinds() {
  return {std::begin(kOfferedKinds), std::end(kOfferedKinds)};
}

bool SessionKindOffered(SessionKind kind) {
  for (SessionKind k : kOfferedKinds)
    if (k == kind) return true;
  return false;
}

std::string S3270Replacement(const std::string& host_port) {
  if (SessionKindOffered(SessionKind::kS3270)) return "";
  return "an \"s3270\" session starts an emulator of its own, which this system does not do: "
         "start ws3270 -scriptport 127.0.0.1:PORT " +
         host_port + " and name it in the sessions file as \"script 127.0.0.1:PORT\"";
}

std::string SessionsFilePath() { return platform::ConfigFilePath("QOR_SESSIONS", "sessions"); }

const char* SessionKindWord(SessionKind kind) {
  for (const auto& k : kKindWords)
    if (k.kind == kind) return k.word;
  return "sim";
}

bool ParseSessionKind(std::string_view word, SessionKind* kind) {
  for (const auto& k : kKindWords) {
    if (word == k.word) {
      *kind = k.kind;
      return true;
    }
  }
  return false;
}

std::vector<std::string> SessionLineWords(std::string_view line) {
  return SplitWords(line.substr(0, line.find('#')));
}

char SessionLineLetter(const std::vector<std::string>& words) {
  if (words.empty() || words[0].size() != 1 ||
      !std::isalpha(static_cast<unsigned char>(words[0][0])))
    return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(words[0][0])));
}

bool SplitHostPort(const std::string& target, std::string* host, int* port) {
  std::size_t colon = target.rfind(':');
  if (colon == std::string::npos) return false;
  long p = 0;
  if (!ParseNumber(std::string_view(target).substr(colon + 1), 1, 65535, &p)) return false;
  *host = target.substr(0, colon);
  if (!session_options::ValidHost(*host)) return false;
  *port = static_cast<int>(p);
  return true;
}

bool ParseSessionLine(const std::vector<std::string>& words, SessionLine* line,
                      std::string* problem) {
  line->letter = SessionLineLetter(words);
  if (line->letter == 0) {
    *problem = "expected a session letter A to Z first, found \"" + words[0] + "\"";
    return false;
  }
  if (words.size() < 3) {
    *problem = "expected \"" + std::string(1, line->letter) +
               " s3270 HOST:PORT\", \"script 127.0.0.1:PORT\" or \"sim SPOOLDIR\"";
    return false;
  }
  if (!ParseSessionKind(words[1], &line->kind)) {
    *problem = "unknown session kind \"" + words[1] + "\" (s3270, script or sim)";
    return false;
  }
  line->target = words[2];
  std::string host;
  int port = 0;
  if (line->kind != SessionKind::kSim && !SplitHostPort(line->target, &host, &port)) {
    *problem = "\"" + line->target + "\" is not HOST:PORT with a port from 1 to 65535";
    return false;
  }
  if (!ParseOptions(words, line, problem)) return false;
  line->timeout_seconds = line->options.timeout_seconds;
  return true;
}

}  // namespace common
