#include "hostsim/host_session.h"

#include "hostsim/conversation_texts.h"

namespace hostsim {

const char* state_name(SessionState state) {
  switch (state) {
    case SessionState::Idle: return "idle";
    case SessionState::Header: return "header";
    case SessionState::Data: return "data";
    case SessionState::EndMarker: return "end marker";
  }
  return "?";
}

HostSession::HostSession(Spool& spool, SessionOptions options, LogSink log)
    : spool_(spool), options_(options), log_(std::move(log)) {
  show_next_job_or_idle();
}

HostSession::~HostSession() {
  if (job_) spool_.release(*job_);
}

void HostSession::log(const std::string& line) const {
  if (log_) log_(line);
}

std::string HostSession::job_name() const {
  const std::string& ident = job_->header.ident;
  return ident.substr(0, ident.find_last_not_of(' ') + 1);
}

void HostSession::paint(std::string text) {
  painted_text_ = std::move(text);
  repaint();
}

// Job data and the end marker go on the data screen; headers and the idle
// screen, which the client reads by position, on the default one.
void HostSession::repaint() {
  const bool data = state_ == SessionState::Data || state_ == SessionState::EndMarker;
  screen_.paint_field(painted_text_, options_.cursor_position,
                      data ? options_.data_geometry : kDefaultGeometry);
  ++change_count_;
}

std::size_t HostSession::data_capacity() const {
  const std::size_t whole = options_.data_geometry.text_capacity();
  return options_.screen_capacity == 0 || options_.screen_capacity > whole
             ? whole
             : options_.screen_capacity;
}

void HostSession::show_next_job_or_idle() {
  std::string problem;
  job_ = spool_.claim_next(options_.lu, &problem);
  if (!problem.empty()) log("skipped a spool file: " + problem);
  encoder_.reset();
  blocks_sent_ = 0;
  cancelled_ = false;
  if (!job_) {
    state_ = SessionState::Idle;
    paint(idle_screen_text());
    return;
  }
  state_ = SessionState::Header;
  const JobHeader& h = job_->header;
  log("header " + job_name() + " (" + std::to_string(job_->bytes.size()) + " bytes, " +
      std::to_string(h.lines) + " lines, " + std::to_string(h.pages) + " pages)");
  paint(job_header_text(h, options_.level));
}

bool HostSession::look_for_job() {
  if (state_ != SessionState::Idle || !spool_.has_waiting_job(options_.lu)) return false;
  show_next_job_or_idle();
  return state_ == SessionState::Header;
}

void HostSession::start_job(ScreenForm form) {
  form_ = form;
  encoder_.emplace(job_->bytes, form, data_capacity());
  log(std::string("start with ") +
      (form == ScreenForm::Plain ? "plain screens" : "length-prefixed screens"));
  if (encoder_->nul_bytes_left_out()) {
    log(std::to_string(encoder_->nul_bytes_left_out()) +
        " NUL bytes cannot travel in a data screen and are left out");
  }
  state_ = SessionState::Data;
  paint_next_block();
}

void HostSession::paint_next_block() {
  if (encoder_->done()) {
    paint_end_marker();
    return;
  }
  ++blocks_sent_;
  std::string text = encoder_->next_screen();
  if (options_.log_blocks) {
    log("block " + std::to_string(blocks_sent_) + ": " + std::to_string(text.size()) +
        " characters, job bytes up to " + std::to_string(encoder_->bytes_encoded()));
  }
  paint(std::move(text));
}

void HostSession::paint_end_marker() {
  state_ = SessionState::EndMarker;
  log("end marker after " + std::to_string(blocks_sent_) + " blocks");
  paint(end_marker_screen(form_));
}

void HostSession::deliver_job() { file_job(cancelled_); }

void HostSession::cancel_job() { file_job(true); }

void HostSession::file_job(bool cancelled) {
  std::string problem;
  const bool moved = cancelled ? spool_.fail(*job_, &problem) : spool_.finish(*job_, &problem);
  const std::string what = "job " + job_name() + (cancelled ? " cancelled" : " delivered");
  log(moved ? what + (cancelled ? ": moved to failed/" : ": moved to done/")
            : what + ", but it stays in the spool: " + problem);
  job_.reset();
  show_next_job_or_idle();
}

void HostSession::press(Key key) {
  if (!key_reaches_host(key)) return;
  switch (state_) {
    case SessionState::Idle: show_next_job_or_idle(); return;
    case SessionState::Header:
      if ((key == Key::PF6 || key == Key::PF7) &&
          screen_.text().substr(0, kStartCommand.size()) == kStartCommand) {
        start_job(key == Key::PF6 ? ScreenForm::Plain : ScreenForm::LengthPrefixed);
        return;
      }
      if (key == Key::PF3) {
        log("PF3 on the header of job " + job_name());
        cancel_job();
        return;
      }
      break;
    case SessionState::Data:
      if (key == Key::Clear) {
        paint_next_block();
        return;
      }
      if (key == Key::PF3) {
        log("PF3: job " + job_name() + " cancelled, ends early");
        cancelled_ = true;
        paint_end_marker();
        return;
      }
      break;
    case SessionState::EndMarker:
      if (key == Key::Clear) {
        deliver_job();
        return;
      }
      break;
  }
  log(std::string(key_name(key)) + " on the " + state_name(state_) + " screen: repainted");
  repaint();
}

void HostSession::abandon() {
  if (job_) {
    log("job " + job_name() + " left in the spool");
    spool_.release(*job_);
    job_.reset();
  }
  encoder_.reset();
  blocks_sent_ = 0;
  state_ = SessionState::Idle;
  paint(idle_screen_text());
}

}  // namespace hostsim
