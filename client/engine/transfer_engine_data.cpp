// The block loop: one job's data from the host to its file or print job,
// and how the job ends.
#include <cstring>
#include <memory>
#include <vector>

#include "client/engine/job_file.h"
#include "client/engine/printer.h"
#include "client/engine/transfer_engine.h"
#include "common/trace.h"
#include "hostlink/screen_transport.h"
#include "platform/paths.h"

namespace {

void Trace(const std::string& text) {
  if (TracePath) TraceWrite(TracePath, -1, text.c_str(), "QOR_PRINT");
}

// Get screen hands out this very literal on a time-out; a data screen that
// happens to read the same is still data.
bool IsTimeoutText(const char* block) { return block == kLu2TimeoutText; }

// Marks the engine busy for the life of one job.
struct RunningFlag {
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  bool& flag_;
};

std::string Trimmed(const std::string& text) {
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string JobName(const JobHeader& h) { return std::string(h.job_prefix) + " " + h.job_ident; }

// What the counts say about a job that reached its end marker: fewer line or
// page breaks than the header announced (less one: the last line or page may
// end without its break) means blocks went missing. More is only noted, so a
// host that counts differently never turns good jobs into alarms.
void CompareWithHeader(const TransferCounts& c, const JobHeader& h,
                       std::vector<std::string>* shortfalls, std::vector<std::string>* notes) {
  auto compare = [&](int32_t got, int32_t announced, const char* what) {
    if (announced <= 0) return;  // blank: unknown
    std::string got_text = std::to_string(got), announced_text = std::to_string(announced);
    if (got < announced - 1)
      shortfalls->push_back(got_text + " of " + announced_text + " " + what + " received");
    if (got > announced)
      notes->push_back(got_text + " " + what + " received, " + announced_text + " announced");
  };
  compare(c.lines, h.job_lines, "lines");
  compare(c.pages, h.job_pages, "pages");
}

std::string ErrorText(long error) { return std::strerror(static_cast<int>(error)); }

std::string Joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
  return out;
}

}  // namespace

int TransferEngine::TransferData(const std::string& path, bool replace) {
  ClientState& st = state_;
  TransferHost* host = &this->GetHost();
  TransferFrontEnd& front = *front_end_;
  const std::string job_name = JobName(header);
  counts = TransferCounts{};
  cancel_pending_ = cancelled_ = false;
  last_job_ = JobOutcome{};
  Trace("transfer 1");
  Trace(path);

  std::unique_ptr<JobFile> file;
  if (!st.to_printer) {
    file = std::make_unique<JobFile>(path);
    if (file->Open() != 0) {
      last_job_.end = JobEnd::kDestinationFault;
      last_job_.cause = "the file " + path + " cannot be created: " + ErrorText(file->LastError());
      if (!quiet_) ReportMessage("FILEERR", path.c_str(), "HELP-706");
      Trace("File Error");
      return 0;
    }
  }

  RunningFlag busy(running);
  const char* printer_name = st.printing.PrinterName();
  front.JobStarted(st.to_printer ? std::string(printer_name) : path);
  Trace("transfer 2");

  host->SendData(kStartCommand);
  host->SendKeys(st.cut_mode ? host_keys::kPf7 : host_keys::kPf6);

  std::vector<std::string> reasons;  // why the job is not complete
  std::string fault;                 // the destination failed: what, and why
  bool write_failed = false;
  bool timed_out_for_good = false;  // the host stopped answering
  bool interrupted = false;         // the session went, or the client stops
  bool stopped = false;
  bool at_end = false;  // the end marker is on the screen, not yet acknowledged
  const bool unattended = st.unattended_active;
  std::string damage;  // the first damaged screen

  // The one user event a block allows, then a cancel finished with the host.
  // False when the host no longer answers after a cancel.
  auto serve_user = [&]() -> bool {
    front.ServeUser(0);  // a program end is recorded there for the main loop
    if (!cancel_pending_) return true;
    cancel_pending_ = false;
    bool answered = host->WaitForHostReply() == TransferHost::Reply::kAnswered;
    host->SendKeys(host_keys::kPf3);
    answered = host->WaitForHostReply() == TransferHost::Reply::kAnswered || answered;
    return answered;
  };
  auto session_lost = [&] {
    reasons.push_back(std::string("the host session was lost (") + host->ErrorText() + ")");
    interrupted = true;
  };
  auto no_answer = [&] {
    reasons.push_back("the host did not answer in time");
    timed_out_for_good = true;
  };
  // A time-out ends the job when nobody can act on it, or when the user has
  // already cancelled; otherwise the user is told and may cancel.
  auto timed_out = [&]() -> bool {
    log.AddStatusText("Timeout in LU2 loop: job " + job_name);
    if (unattended || cancelled_) {
      no_answer();
      return true;
    }
    return false;
  };

  // The program must end now (a service told to stop): what came is kept.
  auto stopping = [&]() -> bool {
    if (!front.StopRequested()) return false;
    reasons.push_back("the client was stopped");
    interrupted = stopped = true;
    return true;
  };
  // The destination failed: no more data is taken.
  auto destination_failed = [&](const std::string& what, const std::string& reason) {
    fault = what;
    reasons.push_back(reason);
  };

  for (;;) {
    TransferHost::Reply reply = host->WaitForHostReply();
    if (stopping()) break;
    if (reply == TransferHost::Reply::kLost) {
      session_lost();
      break;
    }
    if (reply == TransferHost::Reply::kTimedOut) {
      if (timed_out()) break;
      front.ShowMessage("Timeout in LU2 loop", nullptr, kButtonOk);
      if (!serve_user() && cancelled_) {
        no_answer();
        break;
      }
      continue;
    }
    size_t length = 0;
    const char* block = host->GetScreen(ScreenMode::kDecoded, &length);
    if (!block) {
      if (host->SessionLost()) {
        session_lost();
      } else {
        reasons.push_back(std::string("the host screen could not be read: ") + host->ErrorText());
        interrupted = true;
      }
      break;
    }
    if (IsTimeoutText(block)) {  // never job data; Get screen has said so
      if (timed_out()) break;
      if (!serve_user() && cancelled_) {
        no_answer();
        break;
      }
      continue;
    }
    // The block stays valid: nothing below reads another screen before it is used.
    std::string data(block, strnlen(block, length));
    // The end marker's Clear tells the host the job is safe: it waits until
    // the job is at its destination.
    if (data.compare(0, kEndMarkerLength, kEndMarker) == 0) {
      at_end = true;
      break;
    }
    // A zero byte comes only from a character no table maps: not a data screen.
    std::string problem = host->ScreenProblem();
    if (problem.empty() && data.size() < length)
      problem = "a screen held characters outside the encoding";
    host->SendKeys(host_keys::kClear);
    Trace("transfer 3");
    bool answering = serve_user();
    if (!problem.empty() && damage.empty()) damage = problem;
    CountBlock(counts, data.c_str());
    front.JobProgress(counts, TransferPercent(counts, header.job_lines, header.job_pages));
    if (!data.empty()) {
      if (file) {
        if (!file->Write(data)) {
          if (!quiet_) ReportMessage("FILEWRITE", path.c_str(), "HELP-707");
          write_failed = true;
          std::string why = ErrorText(file->LastError());
          destination_failed("writing " + path + " failed: " + why,
                             "writing the file failed: " + why);
          break;
        }
      } else if (st.current_print_job) {
        if (st.current_print_job->PrintBuffer(data.c_str()) != 0) {
          std::string what = std::string("the printer ") + printer_name + " refused the output";
          destination_failed(what, what);
          break;
        }
      } else {
        destination_failed("no print job is open", "no print job is open");
        break;
      }
    }
    if (stopping()) break;
    if (!answering) {
      reasons.push_back("the host did not answer after the cancel");
      timed_out_for_good = true;
      break;
    }
  }

  // A job that came to its end can still be short or damaged.
  std::vector<std::string> notes;
  if (cancelled_) reasons.insert(reasons.begin(), "cancelled");
  if (!damage.empty()) reasons.push_back(damage);
  CompareWithHeader(counts, header, &reasons, &notes);

  // Only a job that is whole goes to its destination; only once it is there
  // (or the user cancelled it) is the host told.
  std::string delivered, kept;
  if (file) {
    if (reasons.empty()) {
      std::string problem;
      delivered = file->Deliver(replace, &problem);
      if (delivered.empty()) {
        if (!quiet_) ReportMessage("FILEWRITE", path.c_str(), "HELP-707");
        write_failed = true;
        destination_failed(
            problem.find(path) == std::string::npos ? path + ": " + problem : problem, problem);
      }
    }
    if (!reasons.empty()) kept = file->KeepIncomplete(replacing_);
  } else if (st.current_print_job) {
    bool taken = st.current_print_job->EndPrint();
    st.current_print_job.reset();
    if (!taken && reasons.empty()) {
      std::string what = std::string("the printer ") + printer_name + " did not take the job";
      destination_failed(what, what);
    }
  }

  JobEnd end = reasons.empty()  ? JobEnd::kDelivered
               : cancelled_     ? JobEnd::kCancelled
               : !fault.empty() ? JobEnd::kDestinationFault
               : interrupted    ? JobEnd::kInterrupted
                                : JobEnd::kJobFault;
  const bool acknowledge = at_end && (end == JobEnd::kDelivered || end == JobEnd::kCancelled);
  if (acknowledge) host->SendKeys(host_keys::kClear);
  if (!host->SessionLost()) host->SendKeys(host_keys::kReset);
  // The host still holds a job that was not acknowledged: a new session
  // makes it give the job up and offer it again. A stopping client's
  // session ends with the client.
  if (!acknowledge && !stopped && !host->SessionLost()) host->ResetSession();

  if (!notes.empty()) log.AddStatusText("Job " + job_name + ": " + Joined(notes));
  if (!delivered.empty()) {
    st.delivered_files.insert(delivered);
    if (delivered != path)
      log.AddStatusText("Job " + job_name + " delivered as " + delivered + ": " + path + " exists");
    if (TracePath) TraceWrite(TracePath, -1, ("delivered " + delivered).c_str(), "JOB END");
  }
  if (!reasons.empty()) {
    std::string note = "Job " + job_name + " incomplete: " + Joined(reasons);
    if (file && kept == file->Temporary())  // its directory is gone, or will not take the name
      note += "; " + std::to_string(file->Written()) +
              " bytes came but could not be kept as incomplete";
    else if (file)
      note += "; " + std::to_string(file->Written()) + " bytes kept as " + kept;
    else
      note += "; printed what came";
    if (!acknowledge && !stopped && !cancelled_) note += "; the host keeps the job";
    log.AddStatusText(note);
    if (TracePath) TraceWrite(TracePath, -1, note.c_str(), "JOB END");
    // Nobody is told twice, and a cancel is the user's own doing.
    if (!unattended && !write_failed && !cancelled_ && !timed_out_for_good)
      front.ShowMessage(note, nullptr, kButtonOk);
  }
  last_job_.end = end;
  last_job_.reasons = Joined(reasons);
  last_job_.cause = fault;
  if (file && kept != file->Temporary()) last_job_.kept = kept;
  last_job_.delivered = file ? delivered : std::string(printer_name);
  // The log on disk gets every job's outcome with its counts.
  const TransferCounts& c = counts;
  std::string outcome = !reasons.empty()     ? " incomplete"
                        : !delivered.empty() ? " delivered to " + delivered
                                             : std::string(" printed on ") + printer_name;
  log.NoteOutcome("Job " + job_name + outcome + ": " + std::to_string(c.characters) +
                  " characters, " + std::to_string(c.lines) + " lines, " + std::to_string(c.pages) +
                  " pages");
  front.JobEnded();
  // Whoever sits at the window sees what became of the job, most telling first.
  if (!unattended) {
    // The file's own name: the status line has no room for the directory.
    auto name = [](const std::string& p) { return p.substr(platform::LastSeparator(p) + 1); };
    std::string where = !reasons.empty()
                            ? (file ? " kept as " + name(kept) : std::string(" printed in part"))
                        : !delivered.empty() ? " to " + name(delivered)
                                             : std::string(" printed on ") + printer_name;
    ShowStatus(Trimmed(job_name) + (reasons.empty() ? ": " : " incomplete: ") +
               std::to_string(c.characters) + " bytes, " + std::to_string(c.lines) + " lines, " +
               std::to_string(c.pages) + " pages" + where);
  }
  return 1;
}
