#include "client/transfer_data.h"

#include <cstring>
#include <memory>
#include <vector>

#include "client/client_app.h"
#include "client/job_file.h"
#include "client/job_header.h"
#include "client/message_dialog.h"
#include "client/printer.h"
#include "client/text_format.h"
#include "client/transfer_host.h"
#include "client/transfer_log.h"
#include "common/trace.h"
#include "hostlink/screen_transport.h"
#include "toolkit/button.h"

namespace {

void Trace(const std::string& text) {
  if (TracePath) TraceWrite(TracePath, -1, text.c_str(), "QOR_PRINT");
}

// Get screen hands out this very literal on a time-out; a data screen that
// happens to read the same is still data.
bool IsTimeoutText(const char* block) { return block == kLu2TimeoutText; }

}  // namespace

namespace {
// Marks the engine busy for the life of one job.
struct RunningFlag {
  explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunningFlag() { flag_ = false; }
  bool& flag_;
};
}  // namespace

TransferWindow::TransferWindow(ClientApp& app, const std::string& destination)
    : tk::Window({0, 0, kWidth, kHeight}, app.texts("XFRTITLE")), app_(app) {
  Center(app.wm.screen_size());
  const JobHeader& h = app.engine.header;
  std::string job = FormatTexts(app.texts("XFRING"), {h.job_prefix, h.job_ident});
  if (job.size() > 45) job.resize(45);
  Add<tk::Text>(tk::Rect{1, 1, 45, 1}, job);
  Add<tk::Text>(tk::Rect{1, 2, 45, 1}, FormatTexts(app.texts("XFRTO"), {destination.c_str()}));
  pages_ = &Add<tk::NumberText>(tk::Rect{1, 3, 12, 1});
  Add<tk::Label>(tk::Rect{14, 3, 20, 1}, app.texts("XFRPAGE"));
  lines_ = &Add<tk::NumberText>(tk::Rect{1, 4, 12, 1});
  Add<tk::Label>(tk::Rect{14, 4, 20, 1}, app.texts("XFRLINE"));
  chars_ = &Add<tk::NumberText>(tk::Rect{1, 5, 12, 1});
  Add<tk::Label>(tk::Rect{14, 5, 20, 1}, app.texts("XFRCHAR"));
  bar_ = &Add<ProgressBar>(1, 6, 45, 0);
  Add<tk::Button>(tk::Rect{13, 8, 10, 1}, app.texts("CANCEL"), cmd::kCancel);
  cancel_closes = false;
}

int TransferWindow::HandleEvent(const tk::Event& e) {
  bool cancel = (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) ||
                e.kind == tk::EventKind::kClose;
  if (!cancel) return tk::Window::HandleEvent(e);
  // The host stops sending at once; the loop completes the cancel between blocks.
  app_.engine.host().SendKeys(host_keys::kPf3);
  cancel_pending_ = cancelled_ = true;
  return cmd::kCancel;
}

bool TransferWindow::TakeCancel() {
  bool pending = cancel_pending_;
  cancel_pending_ = false;
  return pending;
}

void TransferWindow::ShowCounts(const TransferCounts& c) {
  pages_->set_value(c.pages);
  lines_->set_value(c.lines);
  chars_->set_value(c.characters);
  if (manager()) manager()->Redraw();
}

int TransferPercent(const TransferCounts& c, int32_t job_lines, int32_t job_pages) {
  if (job_lines > 1) return static_cast<int>(int64_t{c.lines} * 100 / job_lines);
  if (job_pages > 1) return static_cast<int>(int64_t{c.pages} * 100 / job_pages);
  return 0;
}

void CountBlock(TransferEngine& engine, const char* block, TransferWindow* window) {
  TransferCounts& c = engine.counts;
  size_t n = 0;
  for (; block[n]; ++n) {
    if (block[n] == '\n') ++c.lines;
    if (block[n] == '\f') ++c.pages;
  }
  c.characters += static_cast<int32_t>(n);
  const JobHeader& h = engine.header;
  int percent = TransferPercent(c, h.job_lines, h.job_pages);
  int q = percent * 2 / 5;
  if (window && q >= 1 && q < 40) window->bar().SetPercent(percent);
  if (window) window->ShowCounts(c);
}

namespace {

std::string JobName(const JobHeader& h) { return std::string(h.job_prefix) + " " + h.job_ident; }

// What the counts say about a job that reached its end marker: fewer line or
// page breaks than the header announced (less one: the last line or page may
// end without its break) means blocks went missing. More is only noted, so a
// host that counts differently never turns good jobs into alarms.
void CompareWithHeader(const TransferCounts& c, const JobHeader& h, std::vector<std::string>* shortfalls,
                       std::vector<std::string>* notes) {
  auto compare = [&](int32_t got, int32_t announced, const char* what) {
    if (announced <= 0) return;  // blank: unknown
    std::string got_text = std::to_string(got), announced_text = std::to_string(announced);
    if (got < announced - 1) shortfalls->push_back(got_text + " of " + announced_text + " " + what + " received");
    if (got > announced) notes->push_back(got_text + " " + what + " received, " + announced_text + " announced");
  };
  compare(c.lines, h.job_lines, "lines");
  compare(c.pages, h.job_pages, "pages");
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "; ") + p;
  return out;
}

}  // namespace

int TransferJobData(ClientApp& app, const std::string& path, bool replace) {
  ClientState& st = app.state;
  TransferEngine& engine = app.engine;
  TransferHost* host = &engine.host();
  TransferLog& log = engine.log;
  const std::string job_name = JobName(engine.header);
  engine.counts = TransferCounts{};
  Trace("transfer 1");
  Trace(path);

  std::unique_ptr<JobFile> file;
  if (!st.to_printer) {
    file = std::make_unique<JobFile>(path);
    if (file->Open() != 0) {
      ReportMessage(app, "FILEERR", path.c_str(), "HELP-706");
      Trace("File Error");
      return 0;
    }
  }

  RunningFlag running(engine.running);
  const char* printer_name = PrintJob::PrinterName();
  TransferWindow window(app, st.to_printer ? std::string(printer_name) : path);
  app.wm.Add(window);
  Trace("transfer 2");
  window.bar().SetPercent(0);
  app.wm.Redraw();

  host->SendData(kStartCommand);
  host->SendKeys(st.cut_mode ? host_keys::kPf7 : host_keys::kPf6);

  std::vector<std::string> reasons;  // why the job is not complete
  bool write_failed = false;
  bool timed_out_for_good = false;   // the host stopped answering
  bool quit_seen = false;
  const bool unattended = st.unattended_active;
  std::string damage;  // the first damaged screen

  // The one user event a block allows, then a cancel finished with the host.
  // False when the host no longer answers after a cancel.
  auto serve_user = [&]() -> bool {
    tk::Event e;
    if (app.queue.Poll(e)) {
      if (e.kind == tk::EventKind::kQuit)
        quit_seen = true;  // kept for the main loop
      else if (e.kind == tk::EventKind::kRedisplay)
        app.wm.Dispatch(e);
      else
        window.Deliver(e);
    }
    if (!window.TakeCancel()) return true;
    bool answered = host->WaitForHostReply() == TransferHost::Reply::kAnswered;
    host->SendKeys(host_keys::kPf3);
    answered = host->WaitForHostReply() == TransferHost::Reply::kAnswered || answered;
    return answered;
  };
  auto session_lost = [&] {
    reasons.push_back(std::string("the host session was lost (") + host->ErrorText() + ")");
  };
  auto no_answer = [&] {
    reasons.push_back("the host did not answer in time");
    timed_out_for_good = true;
  };
  // A time-out ends the job when nobody can act on it, or when the user has
  // already cancelled; otherwise the user is told and may cancel.
  auto timed_out = [&]() -> bool {
    log.AddStatusText("Timeout in LU2 loop: job " + job_name);
    if (unattended || window.cancelled()) {
      no_answer();
      return true;
    }
    return false;
  };

  for (;;) {
    TransferHost::Reply reply = host->WaitForHostReply();
    if (reply == TransferHost::Reply::kLost) {
      session_lost();
      break;
    }
    if (reply == TransferHost::Reply::kTimedOut) {
      if (timed_out()) break;
      ShowMessage(app, "Timeout in LU2 loop", nullptr, kButtonOk);
      if (!serve_user() && window.cancelled()) {
        no_answer();
        break;
      }
      continue;
    }
    size_t length = 0;
    const char* block = host->GetScreen('Y', &length);
    if (!block) {
      if (host->SessionLost())
        session_lost();
      else
        reasons.push_back(std::string("the host screen could not be read: ") + host->ErrorText());
      break;
    }
    if (IsTimeoutText(block)) {  // never job data; Get screen has said so
      if (timed_out()) break;
      if (!serve_user() && window.cancelled()) {
        no_answer();
        break;
      }
      continue;
    }
    // The block stays valid: nothing below reads another screen before it is used.
    std::string data(block, strnlen(block, length));
    // A zero byte comes only from a character no table maps: not a data screen.
    std::string problem = host->ScreenProblem();
    if (problem.empty() && data.size() < length) problem = "a screen held characters outside the encoding";
    host->SendKeys(host_keys::kClear);
    Trace("transfer 3");
    bool answering = serve_user();
    if (data.compare(0, kEndMarkerLength, kEndMarker) == 0) break;
    if (!problem.empty() && damage.empty()) damage = problem;
    CountBlock(engine, data.c_str(), &window);
    if (!data.empty()) {
      if (file) {
        if (!file->Write(data)) {
          ReportMessage(app, "FILEWRITE", path.c_str(), "HELP-707");
          write_failed = true;
          reasons.push_back(std::string("writing the file failed: ") +
                            std::strerror(static_cast<int>(file->last_error())));
          break;
        }
      } else if (st.current_print_job) {
        st.current_print_job->PrintBuffer(data.c_str());
      }
    }
    if (!answering) {
      reasons.push_back("the host did not answer after the cancel");
      timed_out_for_good = true;
      break;
    }
  }

  // A job that came to its end can still be short or damaged.
  std::vector<std::string> notes;
  if (window.cancelled()) reasons.insert(reasons.begin(), "cancelled");
  if (!damage.empty()) reasons.push_back(damage);
  CompareWithHeader(engine.counts, engine.header, &reasons, &notes);

  std::string delivered, kept;
  if (file) {
    if (reasons.empty()) {
      std::string problem;
      delivered = file->Deliver(replace, &problem);
      if (delivered.empty()) {
        ReportMessage(app, "FILEWRITE", path.c_str(), "HELP-707");
        write_failed = true;
        reasons.push_back(problem);
      }
    }
    if (!reasons.empty()) kept = file->KeepIncomplete();
  } else if (st.current_print_job) {
    st.current_print_job->EndPrint();
    st.current_print_job.reset();
  }

  if (!notes.empty()) log.AddStatusText("Job " + job_name + ": " + Joined(notes));
  if (!delivered.empty()) {
    st.delivered_files.insert(delivered);
    if (delivered != path) log.AddStatusText("Job " + job_name + " delivered as " + delivered + ": " + path + " exists");
    if (TracePath) TraceWrite(TracePath, -1, ("delivered " + delivered).c_str(), "JOB END");
  }
  if (!reasons.empty()) {
    std::string note = "Job " + job_name + " incomplete: " + Joined(reasons);
    if (file)
      note += "; " + std::to_string(file->written()) + " bytes kept as " + kept;
    else
      note += "; printed what came";
    log.AddStatusText(note);
    if (TracePath) TraceWrite(TracePath, -1, note.c_str(), "JOB END");
    // Nobody is told twice, and a cancel is the user's own doing.
    if (!unattended && !write_failed && !window.cancelled() && !timed_out_for_good)
      ShowMessage(app, note, nullptr, kButtonOk);
  }
  // The log on disk gets every job's outcome with its counts.
  const TransferCounts& c = engine.counts;
  std::string outcome = !reasons.empty()      ? " incomplete"
                        : !delivered.empty() ? " delivered to " + delivered
                                             : std::string(" printed on ") + printer_name;
  log.NoteOutcome("Job " + job_name + outcome + ": " + std::to_string(c.characters) + " characters, " +
                  std::to_string(c.lines) + " lines, " + std::to_string(c.pages) + " pages");
  app.wm.Remove(window);
  app.wm.Redraw();
  if (!host->SessionLost()) host->SendKeys(host_keys::kReset);
  // A host that stopped answering still holds the job: a new session makes
  // it give the job up and offer it again.
  if (timed_out_for_good) host->ResetSession();
  if (quit_seen) app.wm.RequestEnd();
  return 1;
}
