#include "config/sessions_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/mode_file.h"
#include "common/text_helpers.h"
#include "platform/config_file.h"
#include "platform/whole_file.h"

namespace config {

namespace {

// Longer than any sessions file a person writes; larger files are not read.
constexpr long kMaxSessionsFile = 1 << 20;

using common::SessionKind;

std::string Trim(std::string_view text) { return std::string(common::Trim(text)); }

// Where the letter's first line lies in the text: [*start, *end). False when
// no line defines the letter.
bool LocateLine(const std::string& text, char letter, size_t* start, size_t* end) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (size_t at = 0; at < text.size(); at = *end + 1) {
    *start = at;
    *end = std::min(text.find('\n', at), text.size());
    if (common::SessionLineLetter(common::SessionLineWords(text.substr(at, *end - at))) == letter)
      return true;
  }
  return false;
}

std::string ExpandHome(const std::string& path) {
  if (path.rfind("~/", 0) != 0) return path;
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) + path.substr(1) : path;
}

// A port as typed: at most five digits.
bool ParsePort(const std::string& s) {
  long port = 0;
  return s.size() <= 5 && common::ParseNumber(s, 1, 65535, &port);
}

bool HostPort(const std::string& s, std::string* reason) {
  size_t colon = s.rfind(':');
  if (colon == std::string::npos || !ParsePort(s.substr(colon + 1))) {
    *reason = "Give HOST:PORT with a port from 1 to 65535.";
    return false;
  }
  if (!common::session_options::ValidHost(s.substr(0, colon))) {
    *reason = "The host is a name of letters, digits and . - _, or an IPv6 address in [ ].";
    return false;
  }
  return true;
}

}  // namespace

SessionsFileText ReadSessionsFile(const std::string& path) {
  SessionsFileText result;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
    result.readable = true;  // no file yet: it is created with the first line
    return result;
  }
  common::ModeFile file(common::FileDirection::kInput, path.c_str(),
                        common::ProgramFlavour::kConfig);
  long length = file.Open(common::FileOpen::kReadShared);
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
  size_t start = 0, end = 0;
  if (!LocateLine(text, letter, &start, &end)) return "";
  std::string line = text.substr(start, end - start);
  return Trim(line.substr(0, line.find('#')));
}

bool MakeSessionTarget(SessionKind kind, const std::string& typed, std::string* target,
                       std::string* reason) {
  std::string t = Trim(typed);
  if (t.empty()) {
    *reason = kind == SessionKind::kSim ? "Give the directory of the job files."
                                        : "Give where the session is.";
    return false;
  }
  switch (kind) {
    case SessionKind::kS3270:
      if (!HostPort(t, reason)) return false;
      break;
    case SessionKind::kScript:
      if (ParsePort(t)) t = "127.0.0.1:" + t;
      if (!HostPort(t, reason)) return false;
      break;
    case SessionKind::kSim:
      t = ExpandHome(t);
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
common::session_options::Options OptionsOfLine(const std::string& line) {
  common::session_options::Options options;
  std::vector<std::string> words = common::SessionLineWords(line);
  std::vector<std::string> seen;
  std::string ignored;
  for (size_t i = 3; i < words.size(); ++i)
    common::session_options::Apply(words[i], common::session_options::Scope::kS3270, &options,
                                   &seen, &ignored);
  return options;
}

// " word word ..." for the line: the dialog's choices on an s3270 line, with
// the options kept from the old line.
std::string WordsFor(SessionKind kind, const S3270Choices& c,
                     common::session_options::Options options) {
  if (kind == SessionKind::kS3270) {
    options.tls = c.tls;
    options.verify = c.verify;
    options.cafile = c.cafile;
    options.lu = c.lu;
    options.codepage = c.codepage;
    options.model = c.model;
  }
  std::string words = common::session_options::Words(options);
  return words.empty() ? "" : " " + words;
}

// What the old line keeps: its time-out and, on an s3270 line, the options
// the dialog does not set (the client certificate only while tls stays on).
common::session_options::Options KeptOptions(const std::string& old, SessionKind kind,
                                             const S3270Choices& choices) {
  common::session_options::Options kept = OptionsOfLine(old);
  common::session_options::Options options;
  options.timeout_seconds = kept.timeout_seconds;
  if (kind != SessionKind::kS3270) return options;
  std::vector<std::string> words = common::SessionLineWords(old);
  if (words.size() > 1 && words[1] == "s3270" && choices.tls) {
    options.certfile = kept.certfile;
    options.keyfile = kept.keyfile;
  }
  options.connect_timeout = kept.connect_timeout;
  options.proxy = kept.proxy;
  return options;
}

}  // namespace

S3270Choices ChoicesOfLine(const std::string& line) {
  S3270Choices c;
  std::vector<std::string> words = common::SessionLineWords(line);
  if (words.size() < 2 || words[1] != "s3270") return c;
  common::session_options::Options o = OptionsOfLine(line);
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
  c.codepage = common::session_options::CanonicalCodePage(codepage);
  c.model = model;
  if (!c.cafile.empty() && !common::session_options::ValidPath(c.cafile)) {
    *reason = "The CA file is a full path (from / or ~/) without blanks.";
    return false;
  }
  if (!c.lu.empty() && !common::session_options::ValidLuName(c.lu)) {
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

namespace {

// The text with the letter's line made "LETTER KIND TARGET" plus the words
// words_for gives for the old line ("" when there is none).
template <typename WordsOf>
std::string PutLine(const std::string& text, char letter, SessionKind kind,
                    const std::string& target, WordsOf words_for) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  std::string line = std::string(1, letter) + " " + common::SessionKindWord(kind) + " " + target;
  size_t start = 0, end = 0;
  if (!LocateLine(text, letter, &start, &end)) {
    std::string out = text;
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + line + words_for(std::string()) + "\n";
  }
  std::string old = text.substr(start, end - start);
  line += words_for(old);
  if (size_t hash = old.find('#'); hash != std::string::npos) line += "  " + Trim(old.substr(hash));
  if (!old.empty() && old.back() == '\r') line += '\r';
  return text.substr(0, start) + line + text.substr(end);
}

}  // namespace

std::string ReplaceSessionLine(const std::string& text, char letter, SessionKind kind,
                               const std::string& target, const S3270Choices& choices) {
  return PutLine(text, letter, kind, target, [&](const std::string& old) {
    return WordsFor(
        kind, choices,
        old.empty() ? common::session_options::Options{} : KeptOptions(old, kind, choices));
  });
}

std::string ReplaceSessionLine(const std::string& text, const common::SessionLine& line) {
  return PutLine(text, line.letter, line.kind, line.target, [&](const std::string&) {
    std::string words = common::session_options::Words(line.options);
    return words.empty() ? words : " " + words;
  });
}

bool WriteSessionsFile(const std::string& path, const std::string& text, std::string* reason) {
  if (int err = platform::MakeFileDirectory(path, platform::ConfigFileSharing()); err != 0) {
    *reason = "Cannot create the directory of " + path + ": " + std::strerror(err);
    return false;
  }
  if (int err = platform::ReplaceFileAtomically(path, text, platform::ConfigFileSharing());
      err != 0) {
    *reason = "Cannot write " + path + ": " + std::strerror(err);
    return false;
  }
  return true;
}

}  // namespace config
