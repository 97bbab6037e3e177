#include "emulator/sim_backend.h"

#include <sys/stat.h>

#include "emulator/client_stop.h"
#include "hostsim/host_session.h"
#include "hostsim/spool.h"

namespace emulator {
namespace {

// How often an idle host looks into its spool while a program waits.
constexpr int64_t kSpoolLookMs = 250;

hostsim::Key HostKey(Key key) {
  if (key >= Key::PF1 && key <= Key::PF24)
    return hostsim::pf_key(static_cast<int>(key) - static_cast<int>(Key::PF1) + 1);
  switch (key) {
    case Key::Clear: return hostsim::Key::Clear;
    case Key::PA1: return hostsim::Key::PA1;
    case Key::PA2: return hostsim::Key::PA2;
    case Key::PA3: return hostsim::Key::PA3;
    case Key::SysReq: return hostsim::Key::SysReq;
    case Key::Attn: return hostsim::Key::Attn;
    default: return hostsim::Key::Enter;
  }
}

hostsim::SpoolOptions SpoolOptionsFor(bool keep_finished) {
  hostsim::SpoolOptions options;
  options.keep_finished = keep_finished;
  return options;
}

}  // namespace

SimBackend::SimBackend(std::string spool_directory, bool keep_finished)
    : spool_(std::make_shared<hostsim::Spool>(std::move(spool_directory),
                                              SpoolOptionsFor(keep_finished))) {}

SimBackend::SimBackend(std::shared_ptr<hostsim::Spool> spool) : spool_(std::move(spool)) {}

SimBackend::~SimBackend() { close(); }

int SimBackend::cursor() const {
  if (!host_) return 0;
  if (cursor_set_at_ != changes()) return host_->screen().cursor();  // the host placed it
  return cursor_;
}

void SimBackend::move_cursor(int offset) {
  int size = rows_ * columns_;
  cursor_ = ((offset % size) + size) % size;
  cursor_set_at_ = changes();
}

uint64_t SimBackend::changes() const { return host_ ? host_->change_count() : 0; }

Outcome SimBackend::open(Deadline, std::string* problem) {
  struct stat st {};
  if (::stat(spool_->directory().c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *problem = "the spool directory " + spool_->directory() + " does not exist";
    return Outcome::Failed;
  }
  close();
  host_ = std::make_unique<hostsim::HostSession>(*spool_);
  read_at_ = 0;
  inhibited_ = false;
  cursor_set_at_ = ~uint64_t{0};
  return Outcome::Ok;
}

void SimBackend::close() {
  if (host_) host_->abandon();
  host_.reset();
}

void SimBackend::look_for_work() {
  if (host_ && host_->state() == hostsim::SessionState::Idle) host_->look_for_job();
}

Outcome SimBackend::read_screen(std::string* text, Deadline) {
  if (!host_) return Outcome::Failed;
  look_for_work();
  text->assign(host_->screen().text());
  read_at_ = changes();
  return Outcome::Ok;
}

Outcome SimBackend::write_at(int offset, std::string_view text, Deadline) {
  if (!host_) return Outcome::Failed;
  if (inhibited_) return Outcome::Protected;
  if (host_->type(offset, text) < text.size()) {
    inhibited_ = true;
    return Outcome::Protected;
  }
  return Outcome::Ok;
}

Outcome SimBackend::type(std::string_view text, Deadline) {
  if (!host_) return Outcome::Failed;
  if (inhibited_) return Outcome::Protected;
  int at = cursor();
  std::size_t done = host_->type(at, text);
  move_cursor(at + static_cast<int>(done));
  if (done < text.size()) {
    inhibited_ = true;
    return Outcome::Protected;
  }
  return Outcome::Ok;
}

Outcome SimBackend::set_cursor(int offset, Deadline) {
  if (!host_) return Outcome::Failed;
  move_cursor(offset);
  return Outcome::Ok;
}

Outcome SimBackend::press(Key key, Deadline) {
  if (!host_) return Outcome::Failed;
  if (key == Key::Reset) {
    inhibited_ = false;
    return Outcome::Ok;
  }
  if (inhibited_) return Outcome::Protected;
  if (is_attention_key(key)) {
    host_->press(HostKey(key));
    return Outcome::Ok;
  }
  // Local editing keys move the cursor over the one screen-wide field.
  int size = rows_ * columns_;
  int c = cursor();
  switch (key) {
    case Key::Up: c -= columns_; break;
    case Key::Down: c += columns_; break;
    case Key::Left:
    case Key::Backspace: c -= 1; break;
    case Key::Right: c += 1; break;
    case Key::NewLine: c = (c / columns_ + 1) * columns_; break;
    case Key::Home:
    case Key::Tab:
    case Key::BackTab: c = 0; break;
    case Key::EraseEof: {
      int end = c;
      while (end < size && !host_->screen().is_attribute(end)) ++end;
      host_->type(c, std::string(static_cast<std::size_t>(end - c), ' '));
      break;
    }
    case Key::EraseInput:
      host_->type(0, std::string(static_cast<std::size_t>(size - 1), ' '));
      c = 0;
      break;
    default: break;
  }
  move_cursor(c);
  return Outcome::Ok;
}

Outcome SimBackend::keyboard(Keyboard* state, Deadline) {
  if (!host_) return Outcome::Failed;
  *state = inhibited_ ? Keyboard::Inhibited : Keyboard::Unlocked;
  return Outcome::Ok;
}

Outcome SimBackend::wait_unlock(Deadline) {
  if (!host_) return Outcome::Failed;
  return inhibited_ ? Outcome::Protected : Outcome::Ok;
}

Outcome SimBackend::wait_for_change(Deadline deadline) {
  if (!host_) return Outcome::Failed;
  while (true) {
    if (changes() != read_at_) return Outcome::Ok;
    if (deadline.passed()) return Outcome::TimedOut;
    // Only a job arriving in the spool changes an idle screen by itself.
    Deadline step = deadline.min(Deadline::in_ms(kSpoolLookMs));
    // A stopped client ends the wait as its deadline would.
    if (SleepUnlessStopped(step)) return Outcome::TimedOut;
    look_for_work();
  }
}

}  // namespace emulator
