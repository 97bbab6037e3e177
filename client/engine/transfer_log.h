// The log of the run: a record for every job handed to the data transfer and
// the status texts other parts add. The window shows the run's entries; each
// is also appended to the file on disk once KeepOnDisk names it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/engine/transfer_log_file.h"

namespace client {

struct LogEntry {
  char kind;  // 'R' job record, 'S' status text
  // Job record.
  std::string date, time;   // "yyyy-mm-dd", "hh:mm:ss" (local)
  std::string job_ident;    // 14 characters, blanks kept
  std::string job_prefix;   // 3 characters
  std::string destination;  // the first 63 characters
  // Status text, with "\n\r" appended.
  std::string text;
};

class TransferLog {
 public:
  static constexpr size_t kDestinationMax = 63;
  void AddJobRecord(const char* job_ident, const char* job_prefix, const char* destination);
  void AddStatusText(const std::string& text);
  // A job's outcome with its counts: for the log on disk only.
  void NoteOutcome(const std::string& text) { Keep(text); }
  void Clear() { entries_.clear(); }
  const std::vector<LogEntry>& Entries() const { return entries_; }
  // From now on every entry (whole, not cut) also goes to this file.
  void KeepOnDisk(const std::string& path) { file_ = std::make_unique<TransferLogFile>(path); }
  // Hears every entry, whole, as it is kept (a front end without a log window).
  std::function<void(const std::string&)> mirror;

 private:
  void Keep(const std::string& text);
  std::vector<LogEntry> entries_;
  std::unique_ptr<TransferLogFile> file_;
  bool file_failed_ = false;  // said once, not at every entry
};

// The rows the log window lists: "* * *" for an empty log, two rows per job
// record, one per status text (without its "\n\r"); each cut to 68 columns.
std::vector<std::string> TransferLogLines(const TransferLog& log);

// The texts PrintTransferLog hands to the printer, one PrintBuffer call each:
// the heading, then per job record two lines, per status text the text with
// its inner form feeds, carriage returns and line feeds made dots.
std::vector<std::string> TransferLogPrintout(const TransferLog& log, const char* title);

}  // namespace client
