#include "client/engine/transfer_log.h"

#include <cstdio>

#include "platform/clock.h"

namespace client {

namespace {

std::string DateText(const platform::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
  return buf;
}

std::string TimeText(const platform::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

constexpr size_t kShownColumns = 68;

// Cut to the window's width; control characters would upset the terminal.
std::string Cut(std::string s) {
  if (s.size() > kShownColumns) s.resize(kShownColumns);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return s;
}

}  // namespace

void TransferLog::AddJobRecord(const char* job_ident, const char* job_prefix,
                               const char* destination) {
  LogEntry e;
  e.kind = 'R';
  platform::LocalTime now = platform::LocalNow();
  e.date = DateText(now);
  e.time = TimeText(now);
  e.job_ident = job_ident ? job_ident : "";
  e.job_prefix = job_prefix ? job_prefix : "";
  e.destination = destination ? destination : "";
  Keep(e.job_prefix + " JOB " + e.job_ident + " to " + e.destination);
  if (e.destination.size() > kDestinationMax) e.destination.resize(kDestinationMax);
  entries_.push_back(std::move(e));
}

void TransferLog::AddStatusText(const std::string& text) {
  LogEntry e;
  e.kind = 'S';
  e.text = text + "\n\r";
  entries_.push_back(std::move(e));
  Keep(text);
}

void TransferLog::Keep(const std::string& text) {
  if (mirror) mirror(text);
  if (!file_) return;
  if (file_->Append(text)) {
    file_failed_ = false;
    return;
  }
  if (file_failed_) return;
  file_failed_ = true;
  LogEntry e;  // in the run's log only: the file is what failed
  e.kind = 'S';
  e.text = "The transfer log " + file_->Path() + " cannot be written: " + file_->Problem();
  if (mirror) mirror(e.text);
  e.text += "\n\r";
  entries_.push_back(std::move(e));
}

std::vector<std::string> TransferLogLines(const TransferLog& log) {
  std::vector<std::string> lines;
  if (log.Entries().empty()) lines.push_back("* * *");
  for (const LogEntry& e : log.Entries()) {
    if (e.kind == 'R') {
      lines.push_back(Cut(e.date + " " + e.time + " " + e.job_prefix + " JOB " + e.job_ident));
      lines.push_back(Cut("        " + e.destination));
    } else if (e.text.size() > 2) {
      lines.push_back(Cut(e.text.substr(0, e.text.size() - 2)));
    }
  }
  return lines;
}

std::vector<std::string> TransferLogPrintout(const TransferLog& log, const char* title) {
  std::vector<std::string> out;
  platform::LocalTime now = platform::LocalNow();
  out.push_back(DateText(now) + "  " + TimeText(now) + "     " + (title ? title : "") + "\n\r\n\r");
  for (const LogEntry& e : log.Entries()) {
    if (e.kind == 'R') {
      out.push_back(e.date + " " + e.time + " " + e.job_prefix + " JOB " + e.job_ident + "\n\r");
      out.push_back("        " + e.destination + "\n\r");
    } else {
      std::string text = e.text;
      // Only the closing "\n\r" may move the printer: the rest stays on one line.
      for (size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '\f' || text[i] == '\r' || text[i] == '\n') text[i] = '.';
      out.push_back(text);
    }
  }
  return out;
}

}  // namespace client
