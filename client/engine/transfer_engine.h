// The transfer engine: everything that takes a job from the host to its
// destination, without a window of its own. It reads the job header, runs
// the download step and the block loop, keeps the transfer log and runs
// unattended polling; whoever presents it (windows, or lines on a stream)
// plugs in as its TransferFrontEnd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "client/engine/client_state.h"
#include "client/engine/download_ledger.h"
#include "client/engine/job_header.h"
#include "client/engine/transfer_front_end.h"
#include "client/engine/transfer_host.h"
#include "client/engine/transfer_log.h"

namespace hostlink {
struct HostServices;
}  // namespace hostlink
namespace common {
class MessageFile;
class Tracer;
}  // namespace common

namespace client {

class InterfaceTexts;

// Running counts of the current job, reset when a job starts.
struct TransferCounts {
  int32_t lines = 0;       // line feeds
  int32_t pages = 0;       // form feeds
  int32_t characters = 0;  // bytes up to each block's first zero byte
};

// What one unattended look at the host screen found. kJobFailed: the job
// could not reach its destination (a fault of this machine, not of the job)
// or its screens could not be read; the host still holds it and it is tried
// again after a poll period.
enum class UnattendedLook { kNothing, kJobTaken, kJobRefused, kJobFailed, kNoSession };

// How the last job that TransferData began ended.
enum class JobEnd {
  kNone,              // no job ran
  kDelivered,         // at its destination, and acknowledged to the host
  kCancelled,         // the user's Cancel, acknowledged as such
  kJobFault,          // damaged, short, or the host stopped answering
  kDestinationFault,  // the file or printer failed: the machine's fault, not the job's
  kInterrupted,       // the session was lost or the client stopped
};
struct JobOutcome {
  JobEnd end = JobEnd::kNone;
  std::string reasons;    // why it is incomplete
  std::string cause;      // a destination fault: what failed, with the system's error text
  std::string kept;       // where its incomplete copy lies, "" when none was kept
  std::string delivered;  // the final path, or the printer
};

// What unattended operation remembers of the jobs that did not come through.
struct JobTrouble {
  int failures = 0;     // ended incomplete in a row for reasons of the job's own
  std::string reasons;  // each failure's, in order
  std::string kept;     // its incomplete copy: the next one takes its place
};

class SessionWatch;

class TransferEngine {
 public:
  // The state, texts, host and trace are the client's: the running client's
  // host is its connection (MakeConnectionHost), a test's a scripted one.
  TransferEngine(ClientState& state, common::MessageFile& messages, const InterfaceTexts& texts,
                 TransferHost& host, const common::Tracer& trace);
  ~TransferEngine();

  void SetFrontEnd(TransferFrontEnd* front_end) { front_end_ = front_end; }
  TransferFrontEnd& FrontEnd() { return *front_end_; }
  const InterfaceTexts& Texts() const { return texts_; }
  TransferHost& GetHost() { return host_; }

  // The download step for the job in header: target name, duplicate rule,
  // log record, then the data. 0 when refused because the file exists
  // (Cancel option), else the result of TransferData.
  int Download();
  // Runs one job to its destination (the file at path, or the open print
  // job when state.to_printer is on). The file takes its name only once the
  // job is complete, replacing a file of that name when replace is set, else
  // taking the next free number; a job that ends early or damaged is kept as
  // PATH.incomplete and logged with the reason. The host hears that the job
  // is done (Clear on the end marker) only once the file has its name or the
  // print system took it; any other job is left to the host by a new session,
  // so that it is offered again. 1 when the job ran (also when it ended
  // early), 0 when the output file could not be created.
  int TransferData(const std::string& path, bool replace = true);
  // The user's Cancel of the job under way: PF3 goes to the host at once
  // (from inside a wait, too); the block loop completes the cancel.
  void CancelJob();
  // How the last job that TransferData began ended.
  const JobOutcome& LastJob() const { return last_job_; }

  // Unattended operation with the choices in state, until the user cancels
  // or the program is to end. Parts a killed client left in the download
  // directory are kept as incomplete first.
  void RunUnattended();
  // One look at the host screen (opening the session when it is not open);
  // a job header found there is taken. watch, when given, hears whether the
  // session was there.
  UnattendedLook LookForJob(SessionWatch* watch = nullptr);
  // Runs the job announced by a header screen with the unattended choices,
  // or sets it aside with the host's Cancel when it kept failing: what
  // became of it (kJobRefused also for a header of another level).
  UnattendedLook RunUnattendedJob(const char* screen, size_t length);

  // A message-file text to the user: prefix, a line feed and the key's
  // lines; nothing when the key is missing.
  int ReportMessage(const char* key, const char* prefix, const char* help_key);
  // The text ReportMessage shows, "" when the key is missing.
  std::string MessageReport(const char* key, const char* prefix);
  // A status text, on the front end and in the trace.
  void ShowStatus(const std::string& text);
  // Routes the host link's and the print jobs' status texts into the log,
  // and their boxes to the log and status line while unattended (nobody is
  // there to press OK).
  void ServeHostLink(hostlink::HostServices& services);

  JobHeader header;
  TransferCounts counts;
  TransferLog log;
  // A job's block loop runs: the host session carries one conversation at a
  // time, so no second job may start from inside its waits.
  bool running = false;
  // The longest time between two unattended looks at the host screen.
  int poll_seconds = 15;
  // A job that ends incomplete this many times in a row for reasons of its
  // own is set aside: unattended operation skips it with the host's Cancel.
  static constexpr int kFailuresBeforeSettingAside = 3;

 private:
  ClientState& state_;
  common::MessageFile& messages_;
  const InterfaceTexts& texts_;
  TransferHost& host_;
  const common::Tracer& trace_;
  TransferFrontEnd* front_end_ = nullptr;

  // One job's steps (transfer_engine_data.cpp): block loop, outcome, settling, report.
  struct JobRun;
  bool OpenJobFile(JobRun& job);
  void RunBlockLoop(JobRun& job);
  bool TakeScreen(JobRun& job);
  bool WriteBlock(JobRun& job, const std::string& data);
  bool SurviveTimeout(JobRun& job, bool show_box);
  bool ServeUserDuringJob();
  bool Stopping(JobRun& job);
  void JudgeJob(JobRun& job);
  void SettleJob(JobRun& job);
  void SettleJobFile(JobRun& job);
  // The other destinations (transfer_engine_delivery.cpp): a PDF, a command.
  void OpenPdfCopy(JobRun& job);
  bool WritePdfCopy(JobRun& job, const std::string& data);
  void FinishPdfCopy(JobRun& job);
  void PlacePdfCopy(JobRun& job, bool only);
  void HandToCommand(JobRun& job);
  void SettlePrintJob(JobRun& job);
  void ReportJob(const JobRun& job);
  void RecordJob(const JobRun& job);
  JobReport MakeReport(const JobRun& job) const;

  // Unattended: what became of a job, and the state of the destination.
  UnattendedLook AfterUnattendedJob(const std::string& key);
  void SetAside(const std::string& key);
  bool PauseForHeader(uint64_t now, uint64_t* next_look, uint64_t* wait_until);

  bool cancel_pending_ = false;  // a Cancel the block loop has not finished
  bool cancelled_ = false;       // the job under way was cancelled
  JobOutcome last_job_;
  // The incomplete copy the job about to run left earlier in this run.
  std::string replacing_;
  // A retry while the destination is known to fail: its reports are held back.
  bool quiet_ = false;
  std::map<std::string, JobTrouble> troubles_;  // by prefix and ident
  std::set<std::string> set_aside_;
  std::string destination_fault_;  // what fails while jobs cannot be delivered, else ""
  std::string fault_since_;
  LedgerNotices ledger_notices_;
};

// Percentage of the header's line (or page) count the counts reached; 0
// when the header gives no usable total.
int TransferPercent(const TransferCounts& c, int32_t job_lines, int32_t job_pages);
// Adds the block (up to its first zero byte) to the counts.
void CountBlock(TransferCounts& counts, const char* block);

}  // namespace client
