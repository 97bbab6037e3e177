// Unattended polling: a look at the host screen every poll period (sooner
// when the host paints), every job found there taken with the choices made
// once, and the host session's outages logged once each.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "client/engine/interface_texts.h"
#include "client/engine/job_file.h"
#include "client/engine/printer.h"
#include "client/engine/text_format.h"
#include "client/engine/transfer_engine.h"
#include "common/trace.h"
#include "platform/clock.h"

namespace client {

namespace {

// A pause that returns sooner than this without news is not trusted to
// have waited: the rest of it is waited on the user instead.
constexpr uint64_t kShortestPauseMs = 250;

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
  bool Down() const { return down_; }
  // True when this is the first look to find no session.
  bool Missing() {
    if (down_) return false;
    down_ = true;
    since_ = ClockText();
    std::string what = ever_up_ ? "Host session lost at " : "No host session at ";
    std::string why = engine_.GetHost().ErrorText();
    std::string retry = "retrying every " + std::to_string(engine_.poll_seconds) + " s";
    engine_.log.AddStatusText(what + since_ + (why.empty() ? "" : ": " + why) + "; " + retry);
    engine_.FrontEnd().SessionChanged(false);
    engine_.ShowStatus(std::string("Unattended: ") +
                       (ever_up_ ? "host session lost at " : "no host session at ") + since_ +
                       ", " + retry);
    return true;
  }
  void Present() {
    const bool was_up = ever_up_ && !down_;
    ever_up_ = true;
    if (!was_up) engine_.FrontEnd().SessionChanged(true);
    if (!down_) return;
    down_ = false;
    engine_.log.AddStatusText("Host session back at " + ClockText() + " (down since " + since_ +
                              ")");
    engine_.ShowStatus(engine_.Texts()("STWAIT"));
  }

 private:
  TransferEngine& engine_;
  bool down_ = false;
  bool ever_up_ = false;
  std::string since_;
};

UnattendedLook TransferEngine::RunUnattendedJob(const char* screen, size_t length) {
  ClientState& st = state_;
  trace_.Write("QOR_PRINT", "doauto");
  if (ParseJobHeader(screen, length, header, st) == 1) return UnattendedLook::kJobRefused;
  const std::string key = JobKey(header);
  if (set_aside_.count(key)) {
    SetAside(key);
    return UnattendedLook::kJobTaken;
  }
  // While the destination fails, a retry that fails again says nothing
  // new: its reports are held back, and given out only when it ends
  // otherwise.
  quiet_ = !destination_fault_.empty();
  std::vector<std::string> held;
  auto mirror = log.mirror;
  if (quiet_ && mirror) log.mirror = [&held](const std::string& text) { held.push_back(text); };
  if (!quiet_) ShowStatus(FormatTexts(texts_("STTRANS"), {header.job_prefix, header.job_ident}));
  auto known = troubles_.find(key);
  replacing_ = known == troubles_.end() ? std::string() : known->second.kept;
  last_job_ = JobOutcome{};
  if (st.to_printer)
    st.current_print_job = std::make_unique<PrintJob>(st.printing, st.printing.PrinterName());
  int result = Download();
  st.current_print_job.reset();  // refused before the transfer took it over
  replacing_.clear();
  log.mirror = mirror;
  const bool same_fault = last_job_.end == JobEnd::kDestinationFault;
  if (!(quiet_ && same_fault) && mirror)
    for (const std::string& text : held) mirror(text);
  const bool was_quiet = quiet_;
  quiet_ = false;
  UnattendedLook look = AfterUnattendedJob(key);
  if (look == UnattendedLook::kJobTaken && result == 0) look = UnattendedLook::kJobRefused;
  // A refused job keeps its message on the status line until the next job,
  // so whoever comes back to the machine sees why the host still waits.
  if (result == 1 && !front_end_->StopRequested() && !(was_quiet && same_fault))
    ShowStatus(texts_("STWAIT"));
  return look;
}

UnattendedLook TransferEngine::AfterUnattendedJob(const std::string& key) {
  const JobOutcome& job = last_job_;
  const std::string name = TrimmedKey(key);
  switch (job.end) {
    case JobEnd::kNone: return UnattendedLook::kJobTaken;
    case JobEnd::kDestinationFault: {
      // The machine's fault, not the job's: it never counts towards setting
      // the job aside, and it is tried again a poll period later, not at
      // once (a full disk would only fill up again).
      if (!job.kept.empty()) troubles_[key].kept = job.kept;
      if (destination_fault_.empty()) {
        fault_since_ = ClockText();
        log.AddStatusText("Jobs cannot be delivered: " + job.cause + "; job " + name +
                          " stays on the host, retrying every " + std::to_string(poll_seconds) +
                          " s");
      }
      destination_fault_ = job.cause;
      return UnattendedLook::kJobFailed;
    }
    case JobEnd::kDelivered:
    case JobEnd::kCancelled:
      troubles_.erase(key);
      if (!destination_fault_.empty()) {
        log.AddStatusText("Jobs are delivered again (failing since " + fault_since_ + "): job " +
                          name + " delivered to " + job.delivered);
        destination_fault_.clear();
      }
      return UnattendedLook::kJobTaken;
    case JobEnd::kInterrupted:
      // A lost session is the host's or the emulator's doing, not the job's:
      // it is opened again at once. A screen that could not be read is tried
      // again a period later, so that a fault that stays cannot spin.
      if (!job.kept.empty()) troubles_[key].kept = job.kept;
      return GetHost().SessionLost() || front_end_->StopRequested() ? UnattendedLook::kJobTaken
                                                                    : UnattendedLook::kJobFailed;
    case JobEnd::kJobFault: break;
  }
  JobTrouble& trouble = troubles_[key];
  if (!job.kept.empty()) trouble.kept = job.kept;
  ++trouble.failures;
  trouble.reasons += (trouble.reasons.empty() ? "" : " / ") + job.reasons;
  if (trouble.failures >= kFailuresBeforeSettingAside) {
    set_aside_.insert(key);
    log.AddStatusText("Job " + name + " needs attention: it ended incomplete " +
                      std::to_string(trouble.failures) + " times in a row (" + trouble.reasons +
                      "); what came last is kept as " +
                      (trouble.kept.empty() ? std::string("nothing") : trouble.kept) +
                      "; the job is set aside with the host's Cancel");
    JobReport report;
    report.status = JobStatus::kSetAside;
    report.file = trouble.kept;
    report.name = name;
    report.ident = TrimmedKey(header.job_ident);
    report.reason = trouble.reasons;
    front_end_->JobReported(report);
  }
  return UnattendedLook::kJobTaken;
}

// The host's Cancel on the job's header: the host drops the job and shows
// the next. The reply is awaited, so that the next look cannot find this
// header still on the screen and cancel the job that follows it.
void TransferEngine::SetAside(const std::string& key) {
  GetHost().SendKeys(host_keys::kPf3);
  bool answered = GetHost().WaitForHostReply() == TransferHost::Reply::kAnswered;
  log.AddStatusText("Job " + TrimmedKey(key) + " set aside: cancelled on the host" +
                    (answered ? "" : " (no answer: a new session follows)"));
  if (!answered && !GetHost().SessionLost()) GetHost().ResetSession();
}

UnattendedLook TransferEngine::LookForJob(SessionWatch* watch) {
  trace_.Write("QOR_PRINT", "waitaround");
  size_t length = 0;
  const char* screen = GetHost().GetScreen(hostlink::ScreenMode::kRaw, &length);
  if (!screen) {
    // A look cut short by a stop found no outage.
    if (watch && !front_end_->StopRequested()) watch->Missing();
    return UnattendedLook::kNoSession;
  }
  if (watch) watch->Present();
  if (!IsJobHeader(screen, length)) return UnattendedLook::kNothing;
  std::string copy(screen, length);  // the next Get screen replaces the result
  return RunUnattendedJob(copy.c_str(), copy.size());
}

// Lets the host wake us: a header it paints is taken within the pause. True
// when the pause did the waiting; else wait_until says how long the user may
// be waited on instead.
bool TransferEngine::PauseForHeader(uint64_t now, uint64_t* next_look, uint64_t* wait_until) {
  int painted = host_.PauseForHost(1);
  uint64_t after = platform::MonotonicMs();
  if (painted == 1 || painted == -1) *next_look = after;
  if (painted == TransferHost::kCannotPause) return false;
  if (painted != 0 || after - now >= kShortestPauseMs) return true;
  *wait_until = std::min(*next_look, now + kShortestPauseMs);
  return false;
}

void TransferEngine::RunUnattended() {
  ClientState& st = state_;
  TransferFrontEnd& front = *front_end_;
  st.unattended_active = true;
  // A client killed mid-job left its part behind: it is an incomplete job too.
  for (const std::string& kept : JobFile::KeepAbandonedParts(st.download_dir))
    log.AddStatusText("A job cut off by an earlier run of the client is kept as " + kept);
  ShowStatus(texts_("STWAIT"));
  TransferHost* host = &this->GetHost();
  SessionWatch session(*this);
  const uint64_t period_ms = static_cast<uint64_t>(std::max(poll_seconds, 1)) * 1000u;
  uint64_t next_look = 0;  // a job already waiting is taken at once
  bool retrying = false;   // waiting to try a job again that could not be delivered

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
      bool was_down = session.Down();
      UnattendedLook look = LookForJob(&session);
      now = platform::MonotonicMs();
      next_look = now + period_ms;
      // Queued jobs follow each other at once; a session just found gone is
      // tried once more at once (an emulator that died comes straight back).
      bool just_lost = look == UnattendedLook::kNoSession && !was_down;
      if (just_lost || look == UnattendedLook::kJobTaken) next_look = now;
      // A job the destination failed is tried again a whole period later,
      // whatever the host paints meanwhile; its session is closed.
      retrying = look == UnattendedLook::kJobFailed;
      continue;
    }
    if (served) continue;  // more may be waiting: the pause can wait
    uint64_t wait_until = next_look;
    if (!session.Down() && !retrying && PauseForHeader(now, &next_look, &wait_until)) continue;
    // Nothing to watch: block on the user until the next look is due.
    now = platform::MonotonicMs();
    if (wait_until > now && !serve(static_cast<int>(wait_until - now), &served)) break;
  }
}

}  // namespace client
