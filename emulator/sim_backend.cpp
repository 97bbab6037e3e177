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
  if (key >= Key::kPF1 && key <= Key::kPF24)
    return hostsim::PfKey(static_cast<int>(key) - static_cast<int>(Key::kPF1) + 1);
  switch (key) {
    case Key::kClear: return hostsim::Key::kClear;
    case Key::kPA1: return hostsim::Key::kPA1;
    case Key::kPA2: return hostsim::Key::kPA2;
    case Key::kPA3: return hostsim::Key::kPA3;
    case Key::kSysReq: return hostsim::Key::kSysReq;
    case Key::kAttn: return hostsim::Key::kAttn;
    default: return hostsim::Key::kEnter;
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

SimBackend::~SimBackend() { Close(); }

int SimBackend::Cursor() const {
  if (!host_) return 0;
  if (cursor_set_at_ != Changes()) return host_->GetScreen().Cursor();  // the host placed it
  return cursor_;
}

void SimBackend::MoveCursor(int offset) {
  int size = rows_ * columns_;
  cursor_ = ((offset % size) + size) % size;
  cursor_set_at_ = Changes();
}

uint64_t SimBackend::Changes() const { return host_ ? host_->ChangeCount() : 0; }

Outcome SimBackend::Open(Deadline, std::string* problem) {
  struct stat st {};
  if (::stat(spool_->Directory().c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *problem = "the spool directory " + spool_->Directory() + " does not exist";
    return Outcome::kFailed;
  }
  Close();
  host_ = std::make_unique<hostsim::HostSession>(*spool_);
  read_at_ = 0;
  inhibited_ = false;
  cursor_set_at_ = ~uint64_t{0};
  return Outcome::kOk;
}

void SimBackend::Close() {
  if (host_) host_->Abandon();
  host_.reset();
}

void SimBackend::LookForWork() {
  if (host_ && host_->GetState() == hostsim::SessionState::kIdle) host_->LookForJob();
}

Outcome SimBackend::ReadScreen(std::string* text, Deadline) {
  if (!host_) return Outcome::kFailed;
  LookForWork();
  text->assign(host_->GetScreen().GetText());
  read_at_ = Changes();
  return Outcome::kOk;
}

Outcome SimBackend::WriteAt(int offset, std::string_view text, Deadline) {
  if (!host_) return Outcome::kFailed;
  if (inhibited_) return Outcome::kProtected;
  if (host_->Type(offset, text) < text.size()) {
    inhibited_ = true;
    return Outcome::kProtected;
  }
  return Outcome::kOk;
}

Outcome SimBackend::Type(std::string_view text, Deadline) {
  if (!host_) return Outcome::kFailed;
  if (inhibited_) return Outcome::kProtected;
  int at = Cursor();
  std::size_t done = host_->Type(at, text);
  MoveCursor(at + static_cast<int>(done));
  if (done < text.size()) {
    inhibited_ = true;
    return Outcome::kProtected;
  }
  return Outcome::kOk;
}

Outcome SimBackend::SetCursor(int offset, Deadline) {
  if (!host_) return Outcome::kFailed;
  MoveCursor(offset);
  return Outcome::kOk;
}

Outcome SimBackend::Press(Key key, Deadline) {
  if (!host_) return Outcome::kFailed;
  if (key == Key::kReset) {
    inhibited_ = false;
    return Outcome::kOk;
  }
  if (inhibited_) return Outcome::kProtected;
  if (IsAttentionKey(key)) {
    host_->Press(HostKey(key));
    return Outcome::kOk;
  }
  // Local editing keys move the cursor over the one screen-wide field.
  int size = rows_ * columns_;
  int c = Cursor();
  switch (key) {
    case Key::kUp: c -= columns_; break;
    case Key::kDown: c += columns_; break;
    case Key::kLeft:
    case Key::kBackspace: c -= 1; break;
    case Key::kRight: c += 1; break;
    case Key::kNewLine: c = (c / columns_ + 1) * columns_; break;
    case Key::kHome:
    case Key::kTab:
    case Key::kBackTab: c = 0; break;
    case Key::kEraseEof: {
      int end = c;
      while (end < size && !host_->GetScreen().IsAttribute(end)) ++end;
      host_->Type(c, std::string(static_cast<std::size_t>(end - c), ' '));
      break;
    }
    case Key::kEraseInput:
      host_->Type(0, std::string(static_cast<std::size_t>(size - 1), ' '));
      c = 0;
      break;
    default: break;
  }
  MoveCursor(c);
  return Outcome::kOk;
}

Outcome SimBackend::GetKeyboard(Keyboard* state, Deadline) {
  if (!host_) return Outcome::kFailed;
  *state = inhibited_ ? Keyboard::kInhibited : Keyboard::kUnlocked;
  return Outcome::kOk;
}

Outcome SimBackend::WaitUnlock(Deadline) {
  if (!host_) return Outcome::kFailed;
  return inhibited_ ? Outcome::kProtected : Outcome::kOk;
}

Outcome SimBackend::WaitForChange(Deadline deadline) {
  if (!host_) return Outcome::kFailed;
  while (true) {
    if (Changes() != read_at_) return Outcome::kOk;
    if (deadline.Passed()) return Outcome::kTimedOut;
    // Only a job arriving in the spool changes an idle screen by itself.
    Deadline step = deadline.Min(Deadline::InMs(kSpoolLookMs));
    // A stopped client ends the wait as its deadline would.
    if (SleepUnlessStopped(step)) return Outcome::kTimedOut;
    LookForWork();
  }
}

}  // namespace emulator
