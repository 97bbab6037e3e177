#include "config/sessions_file.h"

#include <sys/stat.h>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/mode_file.h"
#include "config/emulator_list.h"
#include "platform/config_file.h"
#include "platform/whole_file.h"

namespace {

// Longer than any sessions file a person writes; larger files are not read.
constexpr long kMaxSessionsFile = 1 << 20;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

// The line's session letter in upper case, or 0 when it defines none.
char LineLetter(const std::string& line) {
  std::vector<std::string> w = SplitWords(line.substr(0, line.find('#')));
  if (w.empty() || w[0].size() != 1 || !std::isalpha(static_cast<unsigned char>(w[0][0]))) return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(w[0][0])));
}

bool ParsePort(const std::string& s) {
  if (s.empty() || s.size() > 5) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  long port = std::strtol(s.c_str(), nullptr, 10);
  return port >= 1 && port <= 65535;
}

// Host names go into an emulator's command line: only plain characters.
bool PlainHost(const std::string& host) {
  if (host.empty() || host.size() > 255) return false;
  for (unsigned char c : host)
    if (!(std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']'))
      return false;
  return true;
}

bool HostPort(const std::string& s, std::string* reason) {
  size_t colon = s.rfind(':');
  if (colon == std::string::npos || !ParsePort(s.substr(colon + 1))) {
    *reason = "Give HOST:PORT with a port from 1 to 65535.";
    return false;
  }
  if (!PlainHost(s.substr(0, colon))) {
    *reason = "The host name may hold letters, digits and . - _ : [ ] only.";
    return false;
  }
  return true;
}

}  // namespace

std::string SessionsFilePath() { return platform::ConfigFilePath("QOR_SESSIONS", "sessions"); }

SessionsFileText ReadSessionsFile(const std::string& path) {
  SessionsFileText result;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
    result.readable = true;  // no file yet: it is created with the first line
    return result;
  }
  ModeFile file('I', path.c_str());
  long length = file.Open('B', ' ', 'S');
  if (length < 0) {
    result.error = file.ErrorText();
    return result;
  }
  result.exists = true;
  if (length > kMaxSessionsFile) {
    result.error = "The sessions file " + path + " is too large to be a sessions file.";
    return result;
  }
  result.text.resize(static_cast<size_t>(length));
  size_t got = 0;
  if (file.Read(result.text.data(), result.text.size(), &got) != 0 || file.Close() != 0) {
    result.error = file.ErrorText();
    result.text.clear();
    return result;
  }
  result.text.resize(got);
  result.readable = true;
  return result;
}

std::string FindSessionLine(const std::string& text, char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (LineLetter(line) == letter) return Trim(line.substr(0, line.find('#')));
    start = end + 1;
  }
  return "";
}

const char* SessionKindWord(SessionKindChoice kind) {
  switch (kind) {
    case SessionKindChoice::kS3270: return "s3270";
    case SessionKindChoice::kScript: return "script";
    case SessionKindChoice::kSim: return "sim";
  }
  return "sim";
}

bool MakeSessionTarget(SessionKindChoice kind, const std::string& typed, std::string* target,
                       std::string* reason) {
  std::string t = Trim(typed);
  if (t.empty()) {
    *reason = kind == SessionKindChoice::kSim ? "Give the directory of the job files."
                                              : "Give where the session is.";
    return false;
  }
  switch (kind) {
    case SessionKindChoice::kS3270:
      if (!HostPort(t, reason)) return false;
      break;
    case SessionKindChoice::kScript:
      if (ParsePort(t)) t = "127.0.0.1:" + t;
      if (!HostPort(t, reason)) return false;
      break;
    case SessionKindChoice::kSim:
      if (t.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        if (home && *home) t = std::string(home) + t.substr(1);
      }
      for (unsigned char c : t) {
        if (c == ' ' || c == '\t' || c == '#' || c < 0x20 || c == 0x7f) {
          *reason = "The directory name may not hold blanks or '#'.";
          return false;
        }
      }
      break;
  }
  *target = t;
  return true;
}

namespace {

// The options of a line's words after its target; words that do not read
// are left out.
session_options::Options OptionsOfLine(const std::string& line) {
  session_options::Options options;
  std::vector<std::string> words = SplitWords(line.substr(0, line.find('#')));
  std::vector<std::string> seen;
  std::string ignored;
  for (size_t i = 3; i < words.size(); ++i)
    session_options::Apply(words[i], session_options::Scope::kS3270, &options, &seen, &ignored);
  return options;
}

// " word word ..." for the line: the dialog's choices on an s3270 line, with
// the options kept from the old line.
std::string WordsFor(SessionKindChoice kind, const S3270Choices& c,
                     session_options::Options options) {
  if (kind == SessionKindChoice::kS3270) {
    options.tls = c.tls;
    options.verify = c.verify;
    options.cafile = c.cafile;
    options.lu = c.lu;
    options.codepage = c.codepage;
    options.model = c.model;
  }
  std::string words = session_options::Words(options);
  return words.empty() ? "" : " " + words;
}

std::string ExpandHome(const std::string& path) {
  if (path.rfind("~/", 0) != 0) return path;
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) + path.substr(1) : path;
}

}  // namespace

S3270Choices ChoicesOfLine(const std::string& line) {
  S3270Choices c;
  std::vector<std::string> words = SplitWords(line.substr(0, line.find('#')));
  if (words.size() < 2 || words[1] != "s3270") return c;
  session_options::Options o = OptionsOfLine(line);
  c.tls = o.tls;
  c.verify = o.verify;
  c.cafile = o.cafile;
  c.lu = o.lu;
  c.codepage = o.codepage;
  c.model = o.model;
  return c;
}

bool MakeS3270Choices(bool tls, bool verify, const std::string& cafile_typed,
                      const std::string& lu_typed, const std::string& codepage, int model,
                      S3270Choices* choices, std::string* reason) {
  S3270Choices c;
  c.tls = tls;
  c.verify = !tls || verify;
  c.cafile = tls && verify ? ExpandHome(Trim(cafile_typed)) : "";
  c.lu = Trim(lu_typed);
  c.codepage = session_options::CanonicalCodePage(codepage);
  c.model = model;
  if (!c.cafile.empty() && !session_options::ValidPath(c.cafile)) {
    *reason = "The CA file is a full path (from / or ~/) without blanks.";
    return false;
  }
  if (!c.lu.empty() && !session_options::ValidLuName(c.lu)) {
    *reason = "An LU name is 1 to 8 letters, digits or $.";
    return false;
  }
  if (model < 2 || model > 5) {
    *reason = "The model is 2, 3, 4 or 5.";
    return false;
  }
  *choices = c;
  return true;
}

std::string ReplaceSessionLine(const std::string& text, char letter, SessionKindChoice kind,
                               const std::string& target, const S3270Choices& choices) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::string line = std::string(1, letter) + " " + SessionKindWord(kind) + " " + target;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string old = text.substr(start, end - start);
    if (LineLetter(old) == letter) {
      size_t hash = old.find('#');
      std::vector<std::string> words = SplitWords(old.substr(0, hash));
      session_options::Options kept = OptionsOfLine(old);
      session_options::Options options;
      options.timeout_seconds = kept.timeout_seconds;
      if (kind == SessionKindChoice::kS3270) {
        if (words.size() > 1 && words[1] == "s3270" && choices.tls) {
          options.certfile = kept.certfile;
          options.keyfile = kept.keyfile;
        }
        options.connect_timeout = kept.connect_timeout;
        options.proxy = kept.proxy;
      }
      line += WordsFor(kind, choices, options);
      if (hash != std::string::npos) line += "  " + Trim(old.substr(hash));
      if (!old.empty() && old.back() == '\r') line += '\r';
      return text.substr(0, start) + line + text.substr(end);
    }
    start = end + 1;
  }
  std::string out = text;
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out + line + WordsFor(kind, choices, {}) + "\n";
}

bool WriteSessionsFile(const std::string& path, const std::string& text, std::string* reason) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (int err = platform::MakeDirectories(path.substr(0, slash)); err != 0) {
      *reason = "Cannot create the directory of " + path + ": " + std::strerror(err);
      return false;
    }
  }
  if (int err = platform::ReplaceFileAtomically(path, text); err != 0) {
    *reason = "Cannot write " + path + ": " + std::strerror(err);
    return false;
  }
  return true;
}
