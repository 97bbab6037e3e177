// One job's data from the host to its file or print job, in four steps on
// the JobRun that carries what the job found: the block loop takes screens
// until the end marker or a reason to stop; the outcome compares what came
// with the header; settling delivers or keeps the data and tells the host;
// the report tells the log, the trace and whoever sits at the window.
#include <cstring>
#include <memory>
#include <vector>

#include "client/engine/job_file.h"
#include "client/engine/printer.h"
#include "client/engine/transfer_engine.h"
#include "client/engine/transfer_job_run.h"
#include "common/trace.h"
#include "hostlink/screen_transport.h"
#include "platform/paths.h"

namespace client {

namespace {

// Get screen hands out this very literal on a time-out; a data screen that
// happens to read the same is still data.
bool IsTimeoutText(const char* block) { return block == hostlink::kLu2TimeoutText; }

// Marks the engine busy for the life of one job.
struct RunningFlag {
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  bool& flag_;
};

// One count against the header's: fewer breaks than announced (less one: the
// last line or page may end without its break) means blocks went missing.
// More is only noted, so a host that counts differently never turns good
// jobs into alarms.
void CompareCount(int32_t got, int32_t announced, const char* what,
                  std::vector<std::string>* shortfalls, std::vector<std::string>* notes) {
  if (announced <= 0) return;  // blank: unknown
  std::string got_text = std::to_string(got), announced_text = std::to_string(announced);
  if (got < announced - 1)
    shortfalls->push_back(got_text + " of " + announced_text + " " + what + " received");
  if (got > announced)
    notes->push_back(got_text + " " + what + " received, " + announced_text + " announced");
}

std::string ErrorText(long error) { return std::strerror(static_cast<int>(error)); }

std::string Joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
  return out;
}

// The file's own name: the status line has no room for the directory.
std::string FileName(const std::string& path) {
  return path.substr(platform::LastSeparator(path) + 1);
}

}  // namespace

int TransferEngine::TransferData(const std::string& path, bool replace) {
  JobRun job;
  job.path = path;
  job.replace = replace;
  job.name = JobKey(header);
  job.unattended = state_.unattended_active;
  counts = TransferCounts{};
  cancel_pending_ = cancelled_ = false;
  last_job_ = JobOutcome{};
  trace_.Write("QOR_PRINT", "transfer 1");
  trace_.Write("QOR_PRINT", path.c_str());
  if (!OpenJobFile(job)) return 0;

  RunningFlag busy(running);
  job.printer_name = state_.printing.PrinterName();
  front_end_->JobStarted(state_.to_printer ? std::string(job.printer_name) : path);
  trace_.Write("QOR_PRINT", "transfer 2");
  host_.SendData(kStartCommand);
  host_.SendKeys(state_.cut_mode ? host_keys::kPf7 : host_keys::kPf6);

  RunBlockLoop(job);
  JudgeJob(job);
  SettleJob(job);
  ReportJob(job);
  RecordJob(job);
  return 1;
}

bool TransferEngine::OpenJobFile(JobRun& job) {
  if (state_.to_printer) return true;
  job.file = std::make_unique<JobFile>(job.path, &ledger_notices_);
  job.to_command = state_.to_command;
  if (job.file->Open() == 0) {
    if (state_.pdf != PdfArchive::kNone && !job.to_command) OpenPdfCopy(job);
    return true;
  }
  last_job_.end = JobEnd::kDestinationFault;
  last_job_.cause =
      "the file " + job.path + " cannot be created: " + ErrorText(job.file->LastError());
  if (!quiet_) ReportMessage("FILEERR", job.path.c_str(), "HELP-706");
  trace_.Write("QOR_PRINT", "File Error");
  return false;
}

void TransferEngine::RunBlockLoop(JobRun& job) {
  for (;;) {
    TransferHost::Reply reply = host_.WaitForHostReply();
    if (Stopping(job)) return;
    if (reply == TransferHost::Reply::kLost) {
      job.SessionLost(host_);
      return;
    }
    if (reply == TransferHost::Reply::kTimedOut) {
      if (!SurviveTimeout(job, true)) return;
      continue;
    }
    if (!TakeScreen(job)) return;
  }
}

bool TransferEngine::TakeScreen(JobRun& job) {
  size_t length = 0;
  const char* block = host_.GetScreen(hostlink::ScreenMode::kDecoded, &length);
  if (!block) {
    if (host_.SessionLost()) {
      job.SessionLost(host_);
    } else {
      job.reasons.push_back(std::string("the host screen could not be read: ") + host_.ErrorText());
      job.interrupted = true;
    }
    return false;
  }
  if (IsTimeoutText(block)) return SurviveTimeout(job, false);  // never job data
  // The block stays valid: nothing below reads another screen before it is used.
  std::string data(block, strnlen(block, length));
  // The end marker's Clear tells the host the job is safe: it waits until
  // the job is at its destination.
  if (data.compare(0, kEndMarkerLength, kEndMarker) == 0) {
    job.at_end = true;
    return false;
  }
  // A zero byte comes only from a character no table maps: not a data screen.
  std::string problem = host_.ScreenProblem();
  if (problem.empty() && data.size() < length)
    problem = "a screen held characters outside the encoding";
  host_.SendKeys(host_keys::kClear);
  trace_.Write("QOR_PRINT", "transfer 3");
  bool answering = ServeUserDuringJob();
  if (!problem.empty() && job.damage.empty()) job.damage = problem;
  CountBlock(counts, data.c_str());
  front_end_->JobProgress(counts, TransferPercent(counts, header.job_lines, header.job_pages));
  if (!data.empty() && !WriteBlock(job, data)) return false;
  if (Stopping(job)) return false;
  if (!answering) {
    job.reasons.push_back("the host did not answer after the cancel");
    job.timed_out_for_good = true;
    return false;
  }
  return true;
}

bool TransferEngine::WriteBlock(JobRun& job, const std::string& data) {
  if (job.file) {
    if (job.file->Write(data)) return WritePdfCopy(job, data);
    if (!quiet_) ReportMessage("FILEWRITE", job.path.c_str(), "HELP-707");
    job.write_failed = true;
    std::string why = ErrorText(job.file->LastError());
    job.DestinationFailed("writing " + job.path + " failed: " + why,
                          "writing the file failed: " + why);
    return false;
  }
  if (!state_.current_print_job) {
    job.DestinationFailed("no print job is open", "no print job is open");
    return false;
  }
  if (state_.current_print_job->PrintBuffer(data.c_str()) == 0) return true;
  std::string what = std::string("the printer ") + job.printer_name + " refused the output";
  job.DestinationFailed(what, what);
  return false;
}

// A time-out ends the job when nobody can act on it, or when the user has
// already cancelled; otherwise the user is told (with a box after a wait
// that ran out) and may cancel. False when the job ends.
bool TransferEngine::SurviveTimeout(JobRun& job, bool show_box) {
  log.AddStatusText("Timeout in LU2 loop: job " + job.name);
  if (job.unattended || cancelled_) {
    job.NoAnswer();
    return false;
  }
  if (show_box) front_end_->ShowMessage("Timeout in LU2 loop", nullptr, kButtonOk);
  if (!ServeUserDuringJob() && cancelled_) {
    job.NoAnswer();
    return false;
  }
  return true;
}

// The one user event a block allows, then a cancel finished with the host.
// False when the host no longer answers after a cancel.
bool TransferEngine::ServeUserDuringJob() {
  front_end_->ServeUser(0);  // a program end is recorded there for the main loop
  if (!cancel_pending_) return true;
  cancel_pending_ = false;
  bool answered = host_.WaitForHostReply() == TransferHost::Reply::kAnswered;
  host_.SendKeys(host_keys::kPf3);
  answered = host_.WaitForHostReply() == TransferHost::Reply::kAnswered || answered;
  return answered;
}

// The program must end now (a service told to stop): what came is kept.
bool TransferEngine::Stopping(JobRun& job) {
  if (!front_end_->StopRequested()) return false;
  job.reasons.push_back("the client was stopped");
  job.interrupted = job.stopped = true;
  return true;
}

// A job that came to its end can still be short or damaged.
void TransferEngine::JudgeJob(JobRun& job) {
  if (cancelled_) job.reasons.insert(job.reasons.begin(), "cancelled");
  if (!job.damage.empty()) job.reasons.push_back(job.damage);
  CompareCount(counts.lines, header.job_lines, "lines", &job.reasons, &job.notes);
  CompareCount(counts.pages, header.job_pages, "pages", &job.reasons, &job.notes);
}

// Only a job that is whole goes to its destination; only once it is there
// (or the user cancelled it) is the host told.
void TransferEngine::SettleJob(JobRun& job) {
  if (job.file)
    SettleJobFile(job);
  else if (state_.current_print_job)
    SettlePrintJob(job);
  job.end = job.reasons.empty()  ? JobEnd::kDelivered
            : cancelled_         ? JobEnd::kCancelled
            : !job.fault.empty() ? JobEnd::kDestinationFault
            : job.interrupted    ? JobEnd::kInterrupted
                                 : JobEnd::kJobFault;
  job.acknowledged = job.at_end && (job.end == JobEnd::kDelivered || job.end == JobEnd::kCancelled);
  if (job.acknowledged) host_.SendKeys(host_keys::kClear);
  if (!host_.SessionLost()) host_.SendKeys(host_keys::kReset);
  // The host still holds a job that was not acknowledged: a new session
  // makes it give the job up and offer it again. A stopping client's
  // session ends with the client.
  if (!job.acknowledged && !job.stopped && !host_.SessionLost()) host_.ResetSession();
}

void TransferEngine::SettlePrintJob(JobRun& job) {
  bool taken = state_.current_print_job->EndPrint();
  state_.current_print_job.reset();
  if (!taken && job.reasons.empty()) {
    std::string what = std::string("the printer ") + job.printer_name + " did not take the job";
    job.DestinationFailed(what, what);
  }
}

// The log and the trace hear of a job delivered elsewhere or incomplete; the
// user is told of an incomplete one nobody has heard of yet.
void TransferEngine::ReportJob(const JobRun& job) {
  const JobFile* file = job.file.get();
  if (!job.notes.empty()) log.AddStatusText("Job " + job.name + ": " + Joined(job.notes));
  if (!job.delivered.empty()) {
    state_.delivered_files.insert(job.delivered);
    const std::string& wanted = job.wanted.empty() ? job.path : job.wanted;
    if (job.delivered != wanted)
      log.AddStatusText("Job " + job.name + " delivered as " + job.delivered + ": " + wanted +
                        " exists");
    trace_.Write("JOB END", ("delivered " + job.delivered).c_str());
  }
  if (!job.handed_to.empty()) trace_.Write("JOB END", ("delivered to " + job.handed_to).c_str());
  if (job.reasons.empty()) return;
  std::string note = "Job " + job.name + " incomplete: " + Joined(job.reasons);
  if (file && job.kept == file->Temporary())  // its directory is gone, or will not take the name
    note +=
        "; " + std::to_string(file->Written()) + " bytes came but could not be kept as incomplete";
  else if (file)
    note += "; " + std::to_string(file->Written()) + " bytes kept as " + job.kept;
  else
    note += "; printed what came";
  if (!job.acknowledged && !job.stopped && !cancelled_) note += "; the host keeps the job";
  log.AddStatusText(note);
  trace_.Write("JOB END", note.c_str());
  // Nobody is told twice, and a cancel is the user's own doing.
  if (!job.unattended && !job.write_failed && !cancelled_ && !job.timed_out_for_good)
    front_end_->ShowMessage(note, nullptr, kButtonOk);
}

JobReport TransferEngine::MakeReport(const JobRun& job) const {
  JobReport r;
  r.status = job.reasons.empty() ? JobStatus::kDelivered : JobStatus::kIncomplete;
  r.file = job.reasons.empty() ? job.delivered : last_job_.kept;
  if (!job.file) r.printer = job.printer_name;
  if (job.to_command) r.command = state_.command.line;
  r.name = TrimmedKey(job.name);
  r.ident = TrimmedKey(header.job_ident);
  r.lines = counts.lines;
  r.pages = counts.pages;
  r.bytes = job.file ? static_cast<int64_t>(job.file->Written()) : counts.characters;
  r.reason = last_job_.reasons;
  return r;
}

// What LastJob says, the log on disk's outcome with the counts, and the
// status line for whoever sits at the window, most telling first.
void TransferEngine::RecordJob(const JobRun& job) {
  const JobFile* file = job.file.get();
  const bool complete = job.reasons.empty();
  last_job_.end = job.end;
  last_job_.reasons = Joined(job.reasons);
  last_job_.cause = job.fault;
  if (file && job.kept != file->Temporary()) last_job_.kept = job.kept;
  last_job_.delivered = !job.handed_to.empty() ? job.handed_to
                        : file                 ? job.delivered
                                               : std::string(job.printer_name);
  const TransferCounts& c = counts;
  std::string outcome = !complete                ? " incomplete"
                        : !job.handed_to.empty() ? " delivered to " + job.handed_to
                        : !job.delivered.empty() ? " delivered to " + job.delivered
                                                 : std::string(" printed on ") + job.printer_name;
  log.NoteOutcome("Job " + job.name + outcome + ": " + std::to_string(c.characters) +
                  " characters, " + std::to_string(c.lines) + " lines, " + std::to_string(c.pages) +
                  " pages");
  front_end_->JobEnded();
  front_end_->JobReported(MakeReport(job));
  if (job.unattended) return;
  std::string where =
      !complete ? (file ? " kept as " + FileName(job.kept) : std::string(" printed in part"))
      : !job.handed_to.empty() ? " to " + job.handed_to
      : !job.delivered.empty() ? " to " + FileName(job.delivered)
                               : std::string(" printed on ") + job.printer_name;
  ShowStatus(TrimmedKey(job.name) + (complete ? ": " : " incomplete: ") +
             std::to_string(c.characters) + " bytes, " + std::to_string(c.lines) + " lines, " +
             std::to_string(c.pages) + " pages" + where);
}

}  // namespace client
