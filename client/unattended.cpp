#include "client/unattended.h"

#include <algorithm>
#include <cstdio>

#include "client/client_app.h"
#include "client/transfer_log.h"
#include "client/download.h"
#include "client/file_dialog.h"
#include "client/job_file.h"
#include "client/job_header.h"
#include "client/main_window.h"
#include "client/printer.h"
#include "client/printer_dialog.h"
#include "client/printer_selection.h"
#include "client/text_format.h"
#include "client/transfer_host.h"
#include "common/trace.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "toolkit/button.h"

namespace autcmd {
constexpr int kReplace = 11301, kRefuse = 11302, kRename = 11303, kChange = 11304,
              kToPrinter = 11305, kToFile = 11306;
}

namespace {
// A pause that returns sooner than this without news is not trusted to
// have waited: the rest of it is waited on the user instead.
constexpr uint64_t kShortestPauseMs = 250;
}  // namespace

namespace {

void Trace(const char* text, const char* tag) {
  if (TracePath) TraceWrite(TracePath, -1, text, tag);
}

// The transfer window may cover the status line: the trace keeps its texts.
void ShowStatus(ClientApp& app, const std::string& text) {
  if (TracePath) TraceWrite(TracePath, -1, text.c_str(), "STATUS");
  if (app.main_window) app.main_window->SetStatus(text);
}

}  // namespace

UnattendedDialog::UnattendedDialog(ClientApp& app)
    : tk::Window({0, 0, kWidth, kHeight}, app.texts("AUTTITLE")), app_(app) {
  Center(app.wm.screen_size());
  ClientState& st = app.state;
  Add<tk::Label>(tk::Rect{1, 1, 12, 1}, app.texts("PATH"));
  path_text_ = &Add<tk::Text>(tk::Rect{13, 1, 35, 1}, st.download_dir.substr(0, 127));
  auto& dest = Add<tk::RadioGroup>(tk::Rect{1, 2, 40, 2}, app.texts("DWNDEST"));
  if (st.to_printer) {
    dest.AddButton({21, 1}, app.texts("DWNTOPRTR"), autcmd::kToPrinter);
    dest.AddButton({2, 1}, app.texts("DWNTOFILE"), autcmd::kToFile);
  } else {
    dest.AddButton({2, 1}, app.texts("DWNTOFILE"), autcmd::kToFile);
    dest.AddButton({21, 1}, app.texts("DWNTOPRTR"), autcmd::kToPrinter);
  }
  auto& dupl = Add<tk::RadioGroup>(tk::Rect{1, 5, 20, 4}, app.texts("DWNDUPL"));
  dupl.AddButton({2, 1}, app.texts("DWNREP"), autcmd::kReplace);
  dupl.AddButton({2, 2}, app.texts("DWNCAN"), autcmd::kRefuse);
  dupl.AddButton({2, 3}, app.texts("DWNREN"), autcmd::kRename);
  dupl.set_checked(static_cast<int>(st.duplicate_option));
  Add<tk::Button>(tk::Rect{27, 6, 16, 1}, app.texts("AUTCHANGE"), autcmd::kChange);
  Add<tk::Button>(tk::Rect{7, 10, 10, 1}, app.texts("OK"), cmd::kOk);
  Add<tk::Button>(tk::Rect{19, 10, 10, 1}, app.texts("CANCEL"), cmd::kCancel);
  Add<tk::Button>(tk::Rect{31, 10, 10, 1}, app.texts("HELP"), cmd::kHelp);
}

int UnattendedDialog::HandleEvent(const tk::Event& e) {
  if (e.kind != tk::EventKind::kCommand) return tk::Window::HandleEvent(e);
  ClientState& st = app_.state;
  switch (e.code) {
    case autcmd::kToPrinter: st.to_printer = true; return 0;
    case autcmd::kToFile: st.to_printer = false; return 0;
    case autcmd::kReplace: st.duplicate_option = DuplicateOption::Replace; return 0;
    case autcmd::kRefuse: st.duplicate_option = DuplicateOption::Cancel; return 0;
    case autcmd::kRename: st.duplicate_option = DuplicateOption::Rename; return 0;
    case autcmd::kChange: {
      // Start inside the download directory itself, not in its parent.
      std::string start = st.download_dir;
      if (start.empty() || start.back() != '/') start += '/';
      std::string chosen;
      if (RunFileDialog(app_, app_.texts("AUTDIR"), 'B', start.c_str(), &chosen)) {
        size_t sep = chosen.rfind('/');  // the chooser appends a file name
        std::string dir = sep == std::string::npos ? chosen : sep == 0 ? "/" : chosen.substr(0, sep);
        st.download_dir = dir.substr(0, ClientState::kDownloadDirMax);
        path_text_->set_text(st.download_dir);
        if (manager()) manager()->Redraw();
      }
      return 0;
    }
    case cmd::kHelp: ShowHelp(app_.help, "DWNDLOG"); return 0;
    default: return tk::Window::HandleEvent(e);
  }
}

int RunUnattendedJob(ClientApp& app, const char* screen, size_t length) {
  ClientState& st = app.state;
  Trace("doauto", "QOR_PRINT");
  if (ParseJobHeader(screen, length, app.engine.header, st) == 1) return 0;
  const JobHeader& h = app.engine.header;
  ShowStatus(app, FormatTexts(app.texts("STTRANS"), {h.job_prefix, h.job_ident}));
  if (st.to_printer)
    st.current_print_job = std::make_unique<PrintJob>(app.main_window.get(), ThePrinterSelection().printer_name);
  int result = DownloadJob(app);
  st.current_print_job.reset();  // refused before the transfer took it over
  // A refused job keeps its message on the status line until the next job,
  // so whoever comes back to the machine sees why the host still waits.
  if (result == 1) ShowStatus(app, app.texts("STWAIT"));
  return result;
}

namespace {

std::string ClockText() {
  platform::LocalTime t = platform::LocalNow();
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

}  // namespace

// The host session as unattended operation sees it: one log entry when it is
// lost and one when it is back, however many looks fail in between.
class SessionWatch {
 public:
  explicit SessionWatch(ClientApp& app) : app_(app) {}
  bool down() const { return down_; }
  // True when this is the first look to find no session.
  bool Missing() {
    if (down_) return false;
    down_ = true;
    since_ = ClockText();
    std::string what = ever_up_ ? "Host session lost at " : "No host session at ";
    std::string why = app_.engine.host().ErrorText();
    std::string retry = "retrying every " + std::to_string(app_.engine.poll_seconds) + " s";
    app_.engine.log.AddStatusText(what + since_ + (why.empty() ? "" : ": " + why) + "; " + retry);
    ShowStatus(app_, std::string("Unattended: ") + (ever_up_ ? "host session lost at " : "no host session at ") + since_ +
                         ", " + retry);
    return true;
  }
  void Present() {
    ever_up_ = true;
    if (!down_) return;
    down_ = false;
    app_.engine.log.AddStatusText("Host session back at " + ClockText() + " (down since " + since_ + ")");
    ShowStatus(app_, app_.texts("STWAIT"));
  }

 private:
  ClientApp& app_;
  bool down_ = false;
  bool ever_up_ = false;
  std::string since_;
};

UnattendedLook LookForJob(ClientApp& app, SessionWatch* watch) {
  Trace("waitaround", "QOR_PRINT");
  size_t length = 0;
  const char* screen = app.engine.host().GetScreen('P', &length);
  if (!screen) {
    if (watch) watch->Missing();
    return UnattendedLook::kNoSession;
  }
  if (watch) watch->Present();
  if (!IsJobHeader(screen, length)) return UnattendedLook::kNothing;
  std::string copy(screen, length);  // the next Get screen replaces the result
  return RunUnattendedJob(app, copy.c_str(), copy.size()) == 1 ? UnattendedLook::kJobTaken
                                                          : UnattendedLook::kJobRefused;
}

int PollHostForJob(ClientApp& app) {
  LookForJob(app);
  return 10001;
}

int UnattendedOperation(ClientApp& app) {
  ClientState& st = app.state;
  Trace("MsgUnattend\r\n", "TRANSFER");
  if (st.download_dir.empty())
    st.download_dir = platform::CurrentDirectory().substr(0, ClientState::kDownloadDirMax);
  int answer;
  {
    UnattendedDialog dialog(app);
    app.wm.Add(dialog);
    answer = app.wm.RunModal(dialog, {cmd::kOk, cmd::kCloseModal});
    if (answer == cmd::kOk && st.to_printer) {
      if (st.current_print_job && !st.unattended_active)
        ReportMessage(app, "PRTALRDY", nullptr, "HELP-708");
      // Where the user picks the printer every unattended job will use.
      PrintJob probe(app.main_window.get(), RunPrinterDialog(app));
      if (!probe.HasDevice()) answer = -1;
    }
    app.wm.Remove(dialog);
  }
  app.wm.Redraw();
  if (answer == -1) return -1;
  if (answer != cmd::kOk) return 0;

  st.unattended_active = true;
  // A client killed mid-job left its part behind: it is an incomplete job too.
  for (const std::string& kept : JobFile::KeepAbandonedParts(st.download_dir))
    app.engine.log.AddStatusText("A job cut off by an earlier run of the client is kept as " + kept);
  ShowStatus(app, app.texts("STWAIT"));
  TransferHost* host = &app.engine.host();
  SessionWatch session(app);
  const uint64_t period_ms = static_cast<uint64_t>(std::max(app.engine.poll_seconds, 1)) * 1000u;
  uint64_t next_look = 0;  // a job already waiting is taken at once

  // One user event: false when it ends polling (program end, or Cancel).
  auto serve = [&app](const tk::Event& e) {
    if (e.kind == tk::EventKind::kQuit) return false;  // the main loop has its own
    if (e.kind == tk::EventKind::kCommand && e.code == cmd::kCancel) return false;
    app.wm.Dispatch(e);
    app.wm.Redraw();
    return true;
  };
  for (;;) {
    // An EXIT taken inside a job's waits was recorded there, not queued again.
    if (app.wm.end_requested()) break;
    // One user event at a time, between looks, without blocking.
    tk::Event e;
    bool served = app.queue.Poll(e);
    if (served && !serve(e)) break;

    uint64_t now = platform::MonotonicMs();
    if (now >= next_look) {
      // A session a job or a pause found gone is logged even when the look
      // brings it straight back.
      if (host->SessionLost()) session.Missing();
      bool was_down = session.down();
      UnattendedLook look = LookForJob(app, &session);
      now = platform::MonotonicMs();
      next_look = now + period_ms;
      // Queued jobs follow each other at once; a session just found gone is
      // tried once more at once (an emulator that died comes straight back).
      bool just_lost = look == UnattendedLook::kNoSession && !was_down;
      if (just_lost || look == UnattendedLook::kJobTaken) next_look = now;
      continue;
    }
    if (served) continue;  // more may be waiting: the pause can wait
    uint64_t wait_until = next_look;
    if (!session.down()) {
      // Let the host wake us: a header it paints is taken within the pause.
      int painted = host->PauseForHost(1);
      uint64_t after = platform::MonotonicMs();
      if (painted == 1 || painted == -1) next_look = after;
      if (painted != TransferHost::kCannotPause) {
        if (painted != 0 || after - now >= kShortestPauseMs) continue;
        wait_until = std::min(next_look, now + kShortestPauseMs);
      }
    }
    // Nothing to watch: block on the user until the next look is due.
    now = platform::MonotonicMs();
    if (wait_until > now && app.queue.Wait(e, static_cast<int>(wait_until - now)) && !serve(e)) break;
  }
  return cmd::kCancel;
}
