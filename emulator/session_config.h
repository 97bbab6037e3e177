// The sessions file: which emulator session each letter stands for.
//
//   # comment
//   A s3270 host.example:23        start and own an s3270 child connected there
//   B script 127.0.0.1:4020        attach to a running emulator's script port
//   C sim /var/spool/qorprt        the in-process host serving that spool
//
// Options may follow the target (see common/session_options.h): every kind
// takes "timeout=SECONDS", which bounds every call on that session; s3270
// sessions also take tls, verify=no, cafile=, certfile=, keyfile=, lu=,
// codepage=, model=, connect-timeout= and proxy=.
#pragma once

#include <string>
#include <vector>

#include "common/session_options.h"

namespace emulator {

enum class SessionKind { kS3270, kScript, kSim };

struct SessionLine {
  char letter = 'A';
  SessionKind kind = SessionKind::kSim;
  std::string target;  // HOST:PORT, or the spool directory
  int timeout_seconds = session_options::kDefaultTimeout;
  session_options::Options options;  // timeout_seconds included
  int line_number = 0;
};

struct SessionTable {
  std::vector<SessionLine> sessions;
  std::vector<std::string> problems;  // "FILE:LINE: what is wrong", one per bad line
  std::string file;                   // where the lines came from ("" when built in)
  const SessionLine* Find(char letter) const;
};

// $QOR_SESSIONS, else $XDG_CONFIG_HOME/qorprt/sessions, else
// ~/.config/qorprt/sessions.
std::string SessionsFilePath();

// Parses the text of a sessions file; file_name only labels the problems.
// Bad lines are left out and described; the good ones are kept.
SessionTable ParseSessions(const std::string& text, const std::string& file_name);

// Reads and parses the file. A missing or unreadable file gives an empty table
// with one problem.
SessionTable LoadSessions(const std::string& path);

// Splits "HOST:PORT" (the last colon separates). False if either part is bad.
bool SplitHostPort(const std::string& target, std::string* host, int* port);

}  // namespace emulator
