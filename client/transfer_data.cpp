#include "client/transfer_data.h"

#include <cstring>
#include <memory>

#include "client/client_app.h"
#include "client/job_header.h"
#include "client/message_dialog.h"
#include "client/printer.h"
#include "client/text_format.h"
#include "client/transfer_host.h"
#include "client/transfer_log.h"
#include "common/file_access.h"
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
bool g_transfer_running = false;

struct RunningFlag {
  RunningFlag() { g_transfer_running = true; }
  ~RunningFlag() { g_transfer_running = false; }
};
}  // namespace

bool TransferRunning() { return g_transfer_running; }

TransferCounts& TheTransferCounts() {
  static TransferCounts counts;
  return counts;
}

XFR_WINDOW::XFR_WINDOW(ClientApp& app, const std::string& destination)
    : tk::Window({0, 0, kWidth, kHeight}, app.texts("XFRTITLE")) {
  Center(app.wm.screen_size());
  const JobHeader& h = TheJobHeader();
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
  bar_ = &Add<PROGRESS_BAR>(1, 6, 45, 0);
  Add<tk::Button>(tk::Rect{13, 8, 10, 1}, app.texts("CANCEL"), cmd::kCancel);
  cancel_closes = false;
}

int XFR_WINDOW::HandleEvent(const tk::Event& e) {
  bool cancel = (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) ||
                e.kind == tk::EventKind::kClose;
  if (!cancel) return tk::Window::HandleEvent(e);
  // The host stops sending at once; the loop completes the cancel between blocks.
  CurrentTransferHost()->SendKeys(host_keys::kPf3);
  cancel_pending_ = cancelled_ = true;
  return cmd::kCancel;
}

bool XFR_WINDOW::TakeCancel() {
  bool pending = cancel_pending_;
  cancel_pending_ = false;
  return pending;
}

void XFR_WINDOW::ShowCounts(const TransferCounts& c) {
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

void CountBlock(const char* block, XFR_WINDOW* window) {
  TransferCounts& c = TheTransferCounts();
  size_t n = 0;
  for (; block[n]; ++n) {
    if (block[n] == '\n') ++c.lines;
    if (block[n] == '\f') ++c.pages;
  }
  c.characters += static_cast<int32_t>(n);
  const JobHeader& h = TheJobHeader();
  int percent = TransferPercent(c, h.job_lines, h.job_pages);
  int q = percent * 2 / 5;
  if (window && q >= 1 && q < 40) window->bar().SetPercent(percent);
  if (window) window->ShowCounts(c);
}

int TransferJobData(const std::string& path) {
  ClientApp& app = *g_app;
  ClientState& st = app.state;
  TransferHost* host = CurrentTransferHost();
  TheTransferCounts() = TransferCounts{};
  Trace("transfer 1");
  Trace(path);

  std::unique_ptr<FileAccess> file;
  if (!st.to_printer) {
    file = std::make_unique<FileAccess>(path.c_str(), 'O');
    if (file->open() != 0) {
      ReportMessage("FILEERR", path.c_str(), "HELP-706");
      Trace("File Error");
      return 0;
    }
  }

  RunningFlag running;
  const char* printer_name = PRINTER::PrinterName();
  XFR_WINDOW window(app, st.to_printer ? std::string(printer_name) : path);
  app.wm.Add(window);
  Trace("transfer 2");
  window.bar().SetPercent(0);
  app.wm.Redraw();

  host->SendData(kStartCommand);
  host->SendKeys(st.cut_mode ? host_keys::kPf7 : host_keys::kPf6);

  std::string incomplete;  // why the job ended before its end marker
  bool write_failed = false;
  bool quit_seen = false;
  size_t written = 0;
  const bool unattended = st.unattended_active;

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
    bool answered = host->WaitForHostReply();
    host->SendKeys(host_keys::kPf3);
    answered = host->WaitForHostReply() || answered;
    return answered;
  };
  // A time-out ends the job when nobody can act on it, or when the user has
  // already cancelled; otherwise the user is told and may cancel.
  auto timed_out = [&]() -> bool {
    AddStatusText(std::string("Timeout in LU2 loop: job ") + TheJobHeader().job_prefix + " " +
                  TheJobHeader().job_ident);
    if (unattended || window.cancelled()) {
      incomplete = "the host did not answer in time";
      return true;
    }
    return false;
  };

  for (;;) {
    if (!host->WaitForHostReply()) {
      if (timed_out()) break;
      ShowMessage("Timeout in LU2 loop", nullptr, kButtonOk);
      if (!serve_user() && window.cancelled()) {
        incomplete = "the host did not answer in time";
        break;
      }
      continue;
    }
    size_t length = 0;
    const char* block = host->GetScreen('Y', &length);
    if (!block) {
      incomplete = std::string("the host screen could not be read: ") + host->ErrorText();
      break;
    }
    if (IsTimeoutText(block)) {  // never job data; Get screen has said so
      if (timed_out()) break;
      if (!serve_user() && window.cancelled()) {
        incomplete = "the host did not answer in time";
        break;
      }
      continue;
    }
    // The block stays valid: nothing below reads another screen before it is used.
    std::string data(block, strnlen(block, length));
    host->SendKeys(host_keys::kClear);
    Trace("transfer 3");
    bool answering = serve_user();
    if (data.compare(0, kEndMarkerLength, kEndMarker) == 0) break;
    CountBlock(data.c_str(), &window);
    if (!data.empty()) {
      if (file) {
        if (file->write(data.size(), data.data()) != data.size()) {
          ReportMessage("FILEWRITE", path.c_str(), "HELP-707");
          write_failed = true;
          incomplete = "writing the file failed";
          break;
        }
        written += data.size();
      } else if (st.current_print_job) {
        st.current_print_job->PrintBuffer(data.c_str());
      }
    }
    if (!answering) {
      incomplete = "the host did not answer after the cancel";
      break;
    }
  }

  if (file) {
    // Data that may not have reached the disk is a failed write as well.
    if (file->close() != 0 && !write_failed) {
      ReportMessage("FILEWRITE", path.c_str(), "HELP-707");
      if (incomplete.empty()) incomplete = "closing the file failed";
    }
  } else if (st.current_print_job) {
    st.current_print_job->EndPrint();
    delete st.current_print_job;
    st.current_print_job = nullptr;
  }
  if (!incomplete.empty()) {
    std::string note = std::string("Job ") + TheJobHeader().job_prefix + " " +
                       TheJobHeader().job_ident + " incomplete: " + incomplete;
    if (file) note += "; " + std::to_string(written) + " bytes in " + path;
    AddStatusText(note);
    Trace(note);
  }
  app.wm.Remove(window);
  app.wm.Redraw();
  host->SendKeys(host_keys::kReset);
  if (quit_seen) app.wm.RequestEnd();
  return 1;
}
