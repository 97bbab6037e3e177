// Where a job goes besides a plain file or a printer: a command that takes it
// on its standard input, and a PDF of it. Chosen for the run, like the
// destination itself.
#pragma once

#include <string>
#include <vector>

namespace client {

struct CommandDelivery {
  static constexpr int kDefaultTimeLimitSeconds = 300;
  std::string line;    // the command as the user wrote it
  bool shell = false;  // run through /bin/sh -c, else split into words
  int time_limit_seconds = kDefaultTimeLimitSeconds;
  bool keep_copy = false;  // keep the job's file also once the command took it
};

// kBeside: a PDF beside each job's text file; kOnly: the PDF instead of it.
enum class PdfArchive { kNone, kBeside, kOnly };

// The words of a command written as a shell user would, without the shell:
// blanks separate words, '...' keeps everything literally, "..." keeps all
// but \" and \\, a backslash elsewhere keeps the next character. Nothing is
// expanded. False (and *problem says why) for an unclosed quote or no words.
bool SplitCommandWords(const std::string& line, std::vector<std::string>* words,
                       std::string* problem);

}  // namespace client
