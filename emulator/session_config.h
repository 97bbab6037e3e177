// The sessions file as the providers read it: a table of the good lines
// (common/sessions_line.h) and a description of every bad one.
#pragma once

#include <string>
#include <vector>

#include "common/sessions_line.h"

namespace emulator {

using common::SessionKind;
using common::SessionLine;
using common::SessionsFilePath;
using common::SplitHostPort;

struct SessionTable {
  std::vector<SessionLine> sessions;
  std::vector<std::string> problems;  // "FILE:LINE: what is wrong", one per bad line
  std::string file;                   // where the lines came from ("" when built in)
  const SessionLine* Find(char letter) const;
};

// Parses the text of a sessions file; file_name only labels the problems.
// Bad lines are left out and described; the good ones are kept.
SessionTable ParseSessions(const std::string& text, const std::string& file_name);

// Reads and parses the file. A missing or unreadable file gives an empty table
// with one problem.
SessionTable LoadSessions(const std::string& path);

}  // namespace emulator
