// Reading and writing the sessions file (common/sessions_line.h) for the
// configuration program, which rewrites one letter's line and keeps every
// other line of the file as it was.
#pragma once

#include <string>

#include "common/sessions_line.h"

namespace config {

struct SessionsFileText {
  bool readable = false;  // false: the file exists but could not be read
  bool exists = false;
  std::string text;
  std::string error;  // the reader's error line when not readable
};
SessionsFileText ReadSessionsFile(const std::string& path);

// The letter's first line without its comment and outer blanks, or "".
std::string FindSessionLine(const std::string& text, char letter);

// Turns what the user typed into the line's target. s3270: HOST:PORT; script:
// PORT or HOST:PORT (127.0.0.1 when only a port is given); sim: a directory
// ("~/" is the home directory). False with a reason when it cannot be used.
bool MakeSessionTarget(common::SessionKind kind, const std::string& typed, std::string* target,
                       std::string* reason);

// What the session dialog sets on an s3270 line.
struct S3270Choices {
  bool tls = false;
  bool verify = true;
  std::string cafile;
  std::string lu;
  std::string codepage;  // "": the emulator's default
  int model = 2;
};
// Reads the choices from an existing line ("" or a line of another kind:
// the defaults).
S3270Choices ChoicesOfLine(const std::string& line);
// Turns what the user typed into choices: the CA file ("~/" is the home
// directory) and the LU name. False with a reason when they cannot be used.
bool MakeS3270Choices(bool tls, bool verify, const std::string& cafile_typed,
                      const std::string& lu_typed, const std::string& codepage, int model,
                      S3270Choices* choices, std::string* reason);

// The text with the letter's first line replaced, or with a new line added
// at the end. A "timeout=" word and a comment on the old line are kept, and
// on an s3270 line its options the dialog does not set (client certificate,
// connect time-out, proxy) too.
std::string ReplaceSessionLine(const std::string& text, char letter, common::SessionKind kind,
                               const std::string& target, const S3270Choices& choices = {});

// The text with the letter's first line replaced by line, its options written
// whole (in the fixed order, defaults left out), or with it added at the end.
// A comment on the old line is kept.
std::string ReplaceSessionLine(const std::string& text, const common::SessionLine& line);

// Creates the directory when needed and replaces the file atomically.
// Returns false with a reason on failure (the old file is then untouched).
bool WriteSessionsFile(const std::string& path, const std::string& text, std::string* reason);

}  // namespace config
