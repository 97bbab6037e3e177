// Unattended polling: a look at the host screen every poll period (sooner
// when the host paints), every job found there taken with the choices made
// once, and the host session's outages logged once each.
#include <algorithm>
#include <cstdio>
#include <string>

#include "client/interface_texts.h"
#include "client/job_file.h"
#include "client/printer.h"
#include "client/text_format.h"
#include "client/transfer_engine.h"
#include "common/trace.h"
#include "platform/clock.h"

namespace {

// A pause that returns sooner than this without news is not trusted to
// have waited: the rest of it is waited on the user instead.
constexpr uint64_t kShortestPauseMs = 250;

void Trace(const char* text, const char* tag) {
  if (TracePath) TraceWrite(TracePath, -1, text, tag);
}

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
  explicit SessionWatch(TransferEngine& engine) : engine_(engine) {}
  bool down() const { return down_; }
  // True when this is the first look to find no session.
  bool Missing() {
    if (down_) return false;
    down_ = true;
    since_ = ClockText();
    std::string what = ever_up_ ? "Host session lost at " : "No host session at ";
    std::string why = engine_.host().ErrorText();
    std::string retry = "retrying every " + std::to_string(engine_.poll_seconds) + " s";
    engine_.log.AddStatusText(what + since_ + (why.empty() ? "" : ": " + why) + "; " + retry);
    engine_.ShowStatus(std::string("Unattended: ") + (ever_up_ ? "host session lost at " : "no host session at ") +
                       since_ + ", " + retry);
    return true;
  }
  void Present() {
    ever_up_ = true;
    if (!down_) return;
    down_ = false;
    engine_.log.AddStatusText("Host session back at " + ClockText() + " (down since " + since_ + ")");
    engine_.ShowStatus(engine_.texts()("STWAIT"));
  }

 private:
  TransferEngine& engine_;
  bool down_ = false;
  bool ever_up_ = false;
  std::string since_;
};

int TransferEngine::RunUnattendedJob(const char* screen, size_t length) {
  ClientState& st = state_;
  Trace("doauto", "QOR_PRINT");
  if (ParseJobHeader(screen, length, header, st) == 1) return 0;
  ShowStatus(FormatTexts(texts_("STTRANS"), {header.job_prefix, header.job_ident}));
  if (st.to_printer) st.current_print_job = std::make_unique<PrintJob>(st.printing, st.printing.printer_name());
  int result = Download();
  st.current_print_job.reset();  // refused before the transfer took it over
  // A refused job keeps its message on the status line until the next job,
  // so whoever comes back to the machine sees why the host still waits.
  if (result == 1 && !front_end_->StopRequested()) ShowStatus(texts_("STWAIT"));
  return result;
}

UnattendedLook TransferEngine::LookForJob(SessionWatch* watch) {
  Trace("waitaround", "QOR_PRINT");
  size_t length = 0;
  const char* screen = host().GetScreen(ScreenMode::kRaw, &length);
  if (!screen) {
    // A look cut short by a stop found no outage.
    if (watch && !front_end_->StopRequested()) watch->Missing();
    return UnattendedLook::kNoSession;
  }
  if (watch) watch->Present();
  if (!IsJobHeader(screen, length)) return UnattendedLook::kNothing;
  std::string copy(screen, length);  // the next Get screen replaces the result
  return RunUnattendedJob(copy.c_str(), copy.size()) == 1 ? UnattendedLook::kJobTaken
                                                          : UnattendedLook::kJobRefused;
}

void TransferEngine::RunUnattended() {
  ClientState& st = state_;
  TransferFrontEnd& front = *front_end_;
  st.unattended_active = true;
  // A client killed mid-job left its part behind: it is an incomplete job too.
  for (const std::string& kept : JobFile::KeepAbandonedParts(st.download_dir))
    log.AddStatusText("A job cut off by an earlier run of the client is kept as " + kept);
  ShowStatus(texts_("STWAIT"));
  TransferHost* host = &this->host();
  SessionWatch session(*this);
  const uint64_t period_ms = static_cast<uint64_t>(std::max(poll_seconds, 1)) * 1000u;
  uint64_t next_look = 0;  // a job already waiting is taken at once

  // One user turn: false when it ends polling (program end, or Cancel).
  auto serve = [&front](int timeout_ms, bool* served) {
    UserTurn turn = front.ServeUser(timeout_ms);
    *served = turn != UserTurn::kNothing;
    return turn != UserTurn::kQuit && turn != UserTurn::kCancel;
  };
  for (;;) {
    // A program end taken inside a job's waits was recorded there.
    if (front.EndRequested()) break;
    // One user event at a time, between looks, without blocking.
    bool served = false;
    if (!serve(0, &served)) break;

    uint64_t now = platform::MonotonicMs();
    if (now >= next_look) {
      // A session a job or a pause found gone is logged even when the look
      // brings it straight back.
      if (host->SessionLost()) session.Missing();
      bool was_down = session.down();
      UnattendedLook look = LookForJob(&session);
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
    if (wait_until > now && !serve(static_cast<int>(wait_until - now), &served)) break;
  }
}
