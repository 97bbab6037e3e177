// The job header screen the host paints to announce a print job, and the
// process-wide record of the last header read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace client {

struct ClientState;

struct JobHeader {
  // Fixed widths plus a NUL; blank before the first job.
  char job_prefix[4] = "   ";
  char job_ident[15] = "              ";
  char job_code[4] = "   ";
  char field4[4] = "   ";
  char field5[17] = "                ";
  int32_t job_lines = 0;
  int32_t job_pages = 0;
};

// Header screen positions (row * 80 + column).
namespace header_pos {
constexpr size_t kMarker = 0, kLevel = 23, kPrefix = 320, kIdent = 324, kCode = 404, kField4 = 415,
                 kField5 = 484, kLines = 644, kPages = 656;
}

// A job's prefix and ident as the log names it, and the same without the
// ident's trailing blanks.
std::string JobKey(const JobHeader& header);
std::string TrimmedKey(const std::string& key);

// The first 8 characters are "QORPRINT", in any letter case.
bool IsJobHeader(const char* screen, size_t length);

// 1 when the level letter is not "V" (nothing copied); else fills the header
// and state.job_file_name (job_ident up to its first comma) and returns 0.
// The marker is the caller's to check. Positions past length read as blanks.
int ParseJobHeader(const char* screen, size_t length, JobHeader& header, ClientState& state);

// The file name of a job as it may go into the download directory: trailing
// blanks trimmed (never the first character), and nothing that could leave
// the directory or confuse a terminal: separators, control characters and
// bytes above 0x7e become '_', a name of only dots or a device's name (on
// Windows) gets a leading '_', and a name with nothing left becomes "QORJOB".
// Nor may it pass for one of the client's own files beside the jobs: a hidden
// name ending in ".part" and the ledger's name get a leading '_', and the dot
// of a final ".incomplete" or ".incomplete.N" becomes '_'. Returns true when
// the name changed beyond the trimming.
bool MakeSafeJobFileName(std::string& name);

}  // namespace client
