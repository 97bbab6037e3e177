// One print job: its bytes and the header fields the job header screen shows.
#pragma once

#include <string>
#include <string_view>

namespace hostsim {

// Text fields keep their fixed widths on the screen (3, 14, 3, 3, 16 characters).
struct JobHeader {
  std::string prefix;  // 3
  std::string ident;   // 14: the job name, a comma, the job number
  std::string code;    // 3
  std::string field4;  // 3, not used by the client
  std::string field5;  // 16, not used by the client (we put the job's date there)
  long lines = 0;      // line feeds, plus a last line without one
  long pages = 0;      // form-feed separated pages that hold text
};

struct Job {
  std::string file_name;  // name in the spool directory
  std::string path;       // full path of the job file
  std::string spool_key;  // the spool's name for it: NAME, or lu/LU/NAME
  std::string bytes;
  JobHeader header;
};

// job_ident from a spool file name: a name that already holds a comma is kept
// (cut to 14 characters); otherwise up to 8 characters of the name before its
// first dot, a comma and the five-digit job number. Characters that cannot be
// shown on the screen or used in a file name become '_'.
std::string MakeJobIdent(std::string_view file_name, unsigned job_number);

// Line and page counts as a person would count them in the printout.
void CountLinesAndPages(std::string_view bytes, long* lines, long* pages);

// A job with its header filled in; date is the 16-character field5 text.
Job MakeJob(std::string file_name, std::string path, std::string bytes, unsigned job_number,
            std::string_view date = {});

}  // namespace hostsim
