#include "hostsim/host_session.h"

#include "hostsim/conversation_texts.h"

namespace hostsim {

const char* StateName(SessionState state) {
  switch (state) {
    case SessionState::kIdle: return "idle";
    case SessionState::kHeader: return "header";
    case SessionState::kData: return "data";
    case SessionState::kEndMarker: return "end marker";
  }
  return "?";
}

HostSession::HostSession(Spool& spool, SessionOptions options, LogSink log)
    : spool_(spool), options_(options), log_(std::move(log)) {
  ShowNextJobOrIdle();
}

HostSession::~HostSession() {
  if (job_) spool_.Release(*job_);
}

void HostSession::Log(const std::string& line) const {
  if (log_) log_(line);
}

std::string HostSession::JobName() const {
  const std::string& ident = job_->header.ident;
  return ident.substr(0, ident.find_last_not_of(' ') + 1);
}

void HostSession::Paint(std::string text) {
  painted_text_ = std::move(text);
  Repaint();
}

// Job data and the end marker go on the data screen; headers and the idle
// screen, which the client reads by position, on the default one.
void HostSession::Repaint() {
  const bool data = state_ == SessionState::kData || state_ == SessionState::kEndMarker;
  screen_.PaintField(painted_text_, options_.cursor_position,
                     data ? options_.data_geometry : kDefaultGeometry);
  ++change_count_;
}

std::size_t HostSession::DataCapacity() const {
  const std::size_t whole = options_.data_geometry.TextCapacity();
  return options_.screen_capacity == 0 || options_.screen_capacity > whole
             ? whole
             : options_.screen_capacity;
}

void HostSession::ShowNextJobOrIdle() {
  std::string problem;
  job_ = spool_.ClaimNext(options_.lu, &problem);
  if (!problem.empty()) Log("skipped a spool file: " + problem);
  encoder_.reset();
  blocks_sent_ = 0;
  cancelled_ = false;
  if (!job_) {
    state_ = SessionState::kIdle;
    Paint(IdleScreenText());
    return;
  }
  state_ = SessionState::kHeader;
  const JobHeader& h = job_->header;
  Log("header " + JobName() + " (" + std::to_string(job_->bytes.size()) + " bytes, " +
      std::to_string(h.lines) + " lines, " + std::to_string(h.pages) + " pages)");
  Paint(JobHeaderText(h, options_.level));
}

bool HostSession::LookForJob() {
  if (state_ != SessionState::kIdle || !spool_.HasWaitingJob(options_.lu)) return false;
  ShowNextJobOrIdle();
  return state_ == SessionState::kHeader;
}

void HostSession::StartJob(ScreenForm form) {
  form_ = form;
  encoder_.emplace(job_->bytes, form, DataCapacity());
  Log(std::string("start with ") +
      (form == ScreenForm::kPlain ? "plain screens" : "length-prefixed screens"));
  if (encoder_->NulBytesLeftOut()) {
    Log(std::to_string(encoder_->NulBytesLeftOut()) +
        " NUL bytes cannot travel in a data screen and are left out");
  }
  state_ = SessionState::kData;
  PaintNextBlock();
}

void HostSession::PaintNextBlock() {
  if (encoder_->GetDone()) {
    PaintEndMarker();
    return;
  }
  ++blocks_sent_;
  std::string text = encoder_->NextScreen();
  if (options_.log_blocks) {
    Log("block " + std::to_string(blocks_sent_) + ": " + std::to_string(text.size()) +
        " characters, job bytes up to " + std::to_string(encoder_->BytesEncoded()));
  }
  Paint(std::move(text));
}

void HostSession::PaintEndMarker() {
  state_ = SessionState::kEndMarker;
  Log("end marker after " + std::to_string(blocks_sent_) + " blocks");
  Paint(EndMarkerScreen(form_));
}

void HostSession::DeliverJob() { FileJob(cancelled_); }

void HostSession::CancelJob() { FileJob(true); }

void HostSession::FileJob(bool cancelled) {
  std::string problem;
  const bool moved = cancelled ? spool_.Fail(*job_, &problem) : spool_.Finish(*job_, &problem);
  const std::string what = "job " + JobName() + (cancelled ? " cancelled" : " delivered");
  Log(moved ? what + (cancelled ? ": moved to failed/" : ": moved to done/")
            : what + ", but it stays in the spool: " + problem);
  job_.reset();
  ShowNextJobOrIdle();
}

void HostSession::Press(Key key) {
  if (!KeyReachesHost(key)) return;
  switch (state_) {
    case SessionState::kIdle: ShowNextJobOrIdle(); return;
    case SessionState::kHeader:
      if ((key == Key::kPF6 || key == Key::kPF7) &&
          screen_.GetText().substr(0, kStartCommand.size()) == kStartCommand) {
        StartJob(key == Key::kPF6 ? ScreenForm::kPlain : ScreenForm::kLengthPrefixed);
        return;
      }
      if (key == Key::kPF3) {
        Log("PF3 on the header of job " + JobName());
        CancelJob();
        return;
      }
      break;
    case SessionState::kData:
      if (key == Key::kClear) {
        PaintNextBlock();
        return;
      }
      if (key == Key::kPF3) {
        Log("PF3: job " + JobName() + " cancelled, ends early");
        cancelled_ = true;
        PaintEndMarker();
        return;
      }
      break;
    case SessionState::kEndMarker:
      if (key == Key::kClear) {
        DeliverJob();
        return;
      }
      break;
  }
  Log(std::string(KeyName(key)) + " on the " + StateName(state_) + " screen: repainted");
  Repaint();
}

void HostSession::Abandon() {
  if (job_) {
    Log("job " + JobName() + " left in the spool");
    spool_.Release(*job_);
    job_.reset();
  }
  encoder_.reset();
  blocks_sent_ = 0;
  state_ = SessionState::kIdle;
  Paint(IdleScreenText());
}

}  // namespace hostsim
