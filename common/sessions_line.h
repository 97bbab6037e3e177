// The lines of the sessions file, which tell the HLLAPI providers where each
// session letter's host session is:
//
//   # comment
//   A s3270 host.example:23        start and own an s3270 child connected there
//   B script 127.0.0.1:4020        attach to a running emulator's script port
//   C sim /var/spool/qorprt        the in-process host serving that spool
//
// Options may follow the target (see common/session_options.h). The
// providers read the lines, qorcnfig writes them and the client shows them,
// all by this one grammar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/session_options.h"

namespace common {

// $QOR_SESSIONS, else $XDG_CONFIG_HOME/qorprt/sessions, else
// ~/.config/qorprt/sessions (on Windows %APPDATA%\qorprt\sessions).
std::string SessionsFilePath();

enum class SessionKind { kS3270, kScript, kSim };
const char* SessionKindWord(SessionKind kind);

// The kinds that work on this system, the one to offer first at the front.
// Windows has no s3270 for the providers to start: there the user runs an
// emulator with a script port.
std::vector<SessionKind> OfferedSessionKinds();
bool SessionKindOffered(SessionKind kind);
// What to do instead of an s3270 session where it is not offered (HOST:PORT
// as on the line); "" where it is.
std::string S3270Replacement(const std::string& host_port);
// False when the word names no kind.
bool ParseSessionKind(std::string_view word, SessionKind* kind);

// The words of a line before its comment.
std::vector<std::string> SessionLineWords(std::string_view line);
// The session letter the words start with, in upper case, or 0 when the
// first word is not a single letter.
char SessionLineLetter(const std::vector<std::string>& words);

// Splits "HOST:PORT" (the last colon separates). False if either part is bad.
bool SplitHostPort(const std::string& target, std::string* host, int* port);

struct SessionLine {
  char letter = 'A';
  SessionKind kind = SessionKind::kSim;
  std::string target;  // HOST:PORT, or the spool directory
  int timeout_seconds = session_options::kDefaultTimeout;
  session_options::Options options;  // timeout_seconds included
  int line_number = 0;
};

// Reads the words of one line (at least one). False with what is wrong.
bool ParseSessionLine(const std::vector<std::string>& words, SessionLine* line,
                      std::string* problem);

}  // namespace common
