#include "emulator/hllapi_core.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/hllapi_codes.h"
#include "emulator/client_stop.h"
#include "emulator/key_mnemonics.h"

namespace emulator {

using namespace common::hllapi;

namespace {

constexpr int kQuerySessionsEntry = 12;
constexpr int kQuerySystemSize = 35;
constexpr int kMaxKeyString = 4096;
constexpr int kTimedWaitMs = 60 * 1000;

void PutWord(unsigned char* at, int value) {
  at[0] = static_cast<unsigned char>(value & 0xFF);
  at[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
}

// A stopping client is not held by a pause.
void Sleep(Deadline until) { SleepUnlessStopped(until); }

// Session names as Query Sessions and Query Session Status show them.
void PutLongName(unsigned char* at, const SessionLine& line) {
  std::string_view name = line.kind == SessionKind::kS3270    ? "S3270"
                          : line.kind == SessionKind::kScript ? "SCRIPT"
                                                              : "HOSTSIM";
  std::memset(at, ' ', 8);
  std::copy(name.begin(), name.end(), at);  // blank-padded, not a C string
}

}  // namespace

HllapiCore::HllapiCore(StatusLayout layout, SessionSource sessions, BackendFactory factory,
                       ErrorSink errors)
    : layout_(layout),
      sessions_(std::move(sessions)),
      factory_(std::move(factory)),
      errors_(std::move(errors)) {}

HllapiCore::~HllapiCore() { Reset(); }

void HllapiCore::Reset() {
  if (backend_) backend_->Close();
  backend_.reset();
  parameters_ = SessionParameters{};
  pause_saw_change_ = false;
  sf_connected_ = false;
  sf_read_outstanding_ = false;
}

void HllapiCore::Error(const std::string& text) {
  last_error_ = text;
  if (errors_) errors_(text);
}

Deadline HllapiCore::CallDeadline() const { return Deadline::InSeconds(line_.timeout_seconds); }

// A session that is gone is dropped, so the next Connect starts afresh.
int HllapiCore::Fail(Outcome outcome, const std::string& what) {
  if (outcome == Outcome::kFailed) {
    std::string why = backend_->Problem();
    Error("session " + std::string(1, line_.letter) + ": " + what + " failed" +
          (why.empty() ? "" : " (" + why + ")") + "; session closed");
    backend_->Close();
    backend_.reset();
  }
  return kSystemError;
}

int HllapiCore::KeyboardCode(Outcome* outcome) {
  Keyboard state = Keyboard::kUnlocked;
  *outcome = backend_->GetKeyboard(&state, CallDeadline());
  if (*outcome != Outcome::kOk) return kSystemError;
  switch (state) {
    case Keyboard::kUnlocked: return kOk;
    case Keyboard::kHostBusy: return kHostBusy;
    case Keyboard::kInhibited: return kInhibited;
  }
  return kSystemError;
}

void HllapiCore::Call(int function, unsigned char* data, int* length, int* code) {
  // The last error is this call's: a program asks for it right after a failure.
  last_error_.clear();
  last_error_permanent_ = false;
  int len = length ? *length : 0;
  if (len < 0) len = 0;
  int rc = kSystemError;
  switch (function) {
    case kConnect: rc = Connect(data); break;
    case kDisconnect: rc = Disconnect(); break;
    case kSendKey: rc = SendKey(data, len); break;
    case kWait: rc = Wait(); break;
    case kCopyPresentationSpace: rc = CopyPresentationSpace(data, length); break;
    case kSetSessionParameters: rc = SetParameters(data, len); break;
    case kQuerySessions: rc = QuerySessions(data, length); break;
    case kCopyStringToPresentationSpace: rc = CopyString(data, len, code ? *code : 0); break;
    case kPause: rc = Pause(len); break;
    case kQuerySystem: rc = QuerySystem(data, len); break;
    case kResetSystem:
      Reset();
      rc = kOk;
      break;
    case kQuerySessionStatus: rc = QuerySessionStatus(data, len); break;
    case kSetCursor: rc = SetCursor(code ? *code : 0); break;
    case kConnectStructuredFields:
    case kDisconnectStructuredFields:
    case kQueryBufferSize:
    case kAllocateCommunicationsBuffer:
    case kFreeCommunicationsBuffer:
    case kGetRequestCompletion:
    case kReadStructuredFields:
    case kWriteStructuredFields: rc = StructuredFields(function, data, len); break;
    default:
      rc = 301;  // the published code for an unknown function number
      break;
  }
  if (code) *code = rc;
}

int HllapiCore::SetParameters(const unsigned char* data, int length) {
  if (length == 0) return kOk;
  if (!data) return kParameterError;
  std::string_view text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  return parameters_.Apply(text) ? kOk : kParameterError;
}

int HllapiCore::Connect(const unsigned char* data) {
  if (!data) return kParameterError;
  char letter = static_cast<char>(std::toupper(data[0]));
  if (backend_ && line_.letter == letter) {
    Outcome o;
    int rc = KeyboardCode(&o);
    return o == Outcome::kOk ? rc : Fail(o, "connect");
  }
  if (backend_) Disconnect();
  SessionTable table = sessions_();
  for (const std::string& p : table.problems) Error(p);
  const SessionLine* line = table.Find(letter);
  if (!line) {
    // The file's problems (unreadable, the letter's line bad) say why.
    const std::string shown(1, letter >= ' ' && letter < 127 ? letter : '?');
    const bool whole_file =
        table.problems.size() == 1 && !table.file.empty() &&
        table.problems[0].compare(0, table.file.size() + 2, table.file + ": ") == 0;
    std::string text =
        "no session " + shown + " is defined" + (table.file.empty() ? "" : " in " + table.file);
    if (whole_file) text = "session " + shown + ": " + table.problems[0];
    for (std::size_t i = 0; i < table.problems.size() && !whole_file; ++i)
      text +=
          (i == 0 ? " (" : "; ") + table.problems[i] + (i + 1 == table.problems.size() ? ")" : "");
    Error(text);
    last_error_permanent_ = true;
    return kNotConnected;
  }
  std::string problem;
  std::unique_ptr<Backend> backend = factory_(*line, &problem);
  if (!backend) {
    Error("session " + std::string(1, letter) + ": " + problem);
    last_error_permanent_ = true;
    return kSystemError;
  }
  line_ = *line;
  Outcome o = backend->Open(CallDeadline(), &problem);
  if (o != Outcome::kOk) {
    backend->Close();
    Error("session " + std::string(1, letter) + ": " + problem);
    last_error_permanent_ = backend->ConfigurationFault();
    return kSystemError;
  }
  backend_ = std::move(backend);
  pause_saw_change_ = false;
  sf_connected_ = false;
  sf_read_outstanding_ = false;
  int rc = KeyboardCode(&o);
  return o == Outcome::kOk ? rc : Fail(o, "connect");
}

int HllapiCore::Disconnect() {
  if (!backend_) return kNotConnected;
  backend_->Close();
  backend_.reset();
  sf_connected_ = false;
  sf_read_outstanding_ = false;
  return kOk;
}

int HllapiCore::SendKey(const unsigned char* data, int length) {
  if (!backend_) return kNotConnected;
  if (!data || length <= 0 || length > kMaxKeyString) return kParameterError;
  std::vector<KeyStroke> strokes;
  std::size_t bad = 0;
  std::string_view keys(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  if (!ParseKeyString(keys, parameters_.escape, &strokes, &bad)) return kParameterError;
  Deadline deadline = CallDeadline();
  Outcome o;
  int state = KeyboardCode(&o);
  if (o != Outcome::kOk) return Fail(o, "send key");
  if (state == kInhibited && parameters_.auto_reset) {
    o = backend_->Press(Key::kReset, deadline);
    if (o != Outcome::kOk) return Fail(o, "send key");
    state = kOk;
  }
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    const KeyStroke& s = strokes[i];
    if (s.is_key && s.key == Key::kReset) {
      o = backend_->Press(Key::kReset, deadline);
      if (o != Outcome::kOk) return Fail(o, "send key");
      state = kOk;
      continue;
    }
    if (state != kOk) return state;
    if (!s.is_key) {
      o = backend_->Type(s.text, deadline);
    } else {
      o = backend_->Press(s.key, deadline);
    }
    if (o == Outcome::kProtected) return kInhibited;
    if (o == Outcome::kBusy) return kHostBusy;
    if (o != Outcome::kOk) return Fail(o, "send key");
    // Keys after an attention key wait for the host's answer.
    if (s.is_key && IsAttentionKey(s.key) && i + 1 < strokes.size()) {
      o = backend_->WaitUnlock(deadline);
      if (o == Outcome::kTimedOut) return kHostBusy;
      if (o != Outcome::kOk) return Fail(o, "send key");
      state = KeyboardCode(&o);
      if (o != Outcome::kOk) return Fail(o, "send key");
    }
  }
  return kOk;
}

int HllapiCore::Wait() {
  if (!backend_) return kNotConnected;
  Outcome o;
  int state = KeyboardCode(&o);
  if (o != Outcome::kOk) return Fail(o, "wait");
  if (state != kHostBusy || parameters_.wait == WaitMode::kNoWait) return state;
  // Only a lock held for the host ends by itself; an operator error needs Reset.
  Deadline deadline = CallDeadline();
  if (parameters_.wait == WaitMode::kTimedWait)
    deadline = deadline.Min(Deadline::InMs(kTimedWaitMs));
  o = backend_->WaitUnlock(deadline);
  if (o == Outcome::kTimedOut) return kHostBusy;
  if (o != Outcome::kOk) return Fail(o, "wait");
  state = KeyboardCode(&o);
  return o == Outcome::kOk ? state : Fail(o, "wait");
}

int HllapiCore::CopyPresentationSpace(unsigned char* data, int* length) {
  if (!backend_) return kNotConnected;
  if (!data || !length) return kParameterError;
  // The caller's length bounds what is written: its buffer is no larger.
  int n = std::min(std::max(*length, 0), backend_->GetSize());
  std::string screen;
  Outcome o = n < backend_->GetSize() ? backend_->ReadStart(&screen, std::max(n, 1), CallDeadline())
                                      : backend_->ReadScreen(&screen, CallDeadline());
  if (o != Outcome::kOk) return Fail(o, "copy presentation space");
  pause_saw_change_ = false;
  n = std::min(n, static_cast<int>(screen.size()));
  std::memcpy(data, screen.data(), static_cast<std::size_t>(n));
  *length = n;
  int state = KeyboardCode(&o);
  return o == Outcome::kOk ? state : Fail(o, "copy presentation space");
}

int HllapiCore::QuerySessions(unsigned char* data, int* length) {
  if (!data || !length) return kParameterError;
  SessionTable table = sessions_();
  int room = std::max(*length, 0) / kQuerySessionsEntry;
  int count = static_cast<int>(table.sessions.size());
  for (int i = 0; i < count && i < room; ++i) {
    const SessionLine& s = table.sessions[static_cast<std::size_t>(i)];
    unsigned char* e = data + i * kQuerySessionsEntry;
    e[0] = static_cast<unsigned char>(s.letter);
    PutLongName(e + 1, s);
    e[9] = 'H';  // a host session
    int size = (backend_ && s.letter == line_.letter) ? backend_->MaxRows() * backend_->MaxColumns()
                                                      : 24 * 80;
    PutWord(e + 10, size);
  }
  *length = count;
  return count <= room ? kOk : kParameterError;
}

int HllapiCore::CopyString(const unsigned char* data, int length, int position) {
  if (!backend_) return kNotConnected;
  if (!data || length <= 0) return kParameterError;
  int size = backend_->GetSize();
  if (position < 1 || position > size) return kInvalidPosition;
  int room = size - (position - 1);
  int n = std::min(length, room);
  std::string_view text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
  Outcome o;
  int state = KeyboardCode(&o);
  if (o != Outcome::kOk) return Fail(o, "copy string");
  if (state != kOk) return kInhibited;
  Deadline deadline = CallDeadline();
  o = backend_->WriteAt(position - 1, text, deadline);
  if (o == Outcome::kProtected) {
    // Leave the keyboard usable for the program's next step.
    Outcome r = backend_->Press(Key::kReset, deadline);
    if (r != Outcome::kOk) return Fail(r, "copy string");
    return kInhibited;
  }
  if (o == Outcome::kBusy) return kInhibited;
  if (o != Outcome::kOk) return Fail(o, "copy string");
  return n < length ? kTruncated : kOk;
}

int HllapiCore::Pause(int half_seconds) {
  // Bounded like every call, by the session's time-out or, with no session,
  // by the default one.
  Deadline until =
      Deadline::InMs(int64_t{half_seconds} * 500)
          .Min(backend_ ? CallDeadline() : Deadline::InSeconds(SessionLine{}.timeout_seconds));
  if (!backend_ || !parameters_.interruptible_pause || half_seconds == 0) {
    Sleep(until);
    return kOk;
  }
  // A change already reported by a pause must not end the next one at once:
  // read the screen to wait for a newer change.
  if (pause_saw_change_) {
    std::string ignored;
    Outcome o = backend_->ReadStart(&ignored, 1, until);
    if (o == Outcome::kFailed) return Fail(o, "pause");
    pause_saw_change_ = false;
  }
  Outcome o = backend_->WaitForChange(until);
  if (o == Outcome::kOk) {
    pause_saw_change_ = true;
    return kPauseInterrupted;
  }
  // The session is gone: say so at once, so the program can open a new one
  // (later pauses, with no session, sleep their time).
  if (o == Outcome::kFailed) return Fail(o, "pause");
  // The emulator's own wait ends a little early to answer in time.
  Sleep(until);
  return kOk;
}

int HllapiCore::QuerySystem(unsigned char* data, int length) {
  if (!data || length < kQuerySystemSize) return kParameterError;
  std::memset(data, ' ', kQuerySystemSize);
  std::copy_n("1", 1, data);           // HLLAPI version
  std::copy_n("01", 2, data + 1);      // level
  std::copy_n("120126", 6, data + 3);  // date of this level, MMDDYY
  data[12] = 'L';                      // hardware base: a Linux PC
  data[13] = 'X';                      // program type: an emulator driven by script
  return kOk;
}

int HllapiCore::QuerySessionStatus(unsigned char* data, int length) {
  int size = layout_ == StatusLayout::kWide ? 20 : 18;
  if (!data || length < size) return kParameterError;
  char letter = static_cast<char>(std::toupper(data[0]));
  SessionLine line;
  // The presentation space is as large as the largest screen the host may
  // switch to; Copy Presentation Space gives the current screen's count.
  int rows = 24, columns = 80, code_page = 37;
  if (backend_ && line_.letter == letter) {
    line = line_;
    rows = backend_->MaxRows();
    columns = backend_->MaxColumns();
    code_page = backend_->GetCodePage();
  } else {
    SessionTable table = sessions_();
    const SessionLine* found = table.Find(letter);
    if (!found) return kNotConnected;
    line = *found;
    if (line.kind == SessionKind::kS3270) {
      common::session_options::ModelSize(line.options.model, &rows, &columns);
      code_page = common::session_options::CodePageNumber(line.options.codepage);
    }
  }
  std::memset(data, 0, static_cast<std::size_t>(size));
  data[0] = static_cast<unsigned char>(letter);
  if (layout_ == StatusLayout::kWide) {
    PutLongName(data + 4, line);
    data[12] = 'D';  // a display session
    data[13] = 0;    // characteristics: no extended attributes
    PutWord(data + 14, rows);
    PutWord(data + 16, columns);
    PutWord(data + 18, code_page);  // host code page
  } else {
    PutLongName(data + 1, line);
    data[9] = 'D';
    data[10] = 0;
    PutWord(data + 11, rows);
    PutWord(data + 13, columns);
    PutWord(data + 15, code_page);
  }
  return kOk;
}

int HllapiCore::SetCursor(int position) {
  if (!backend_) return kNotConnected;
  if (position < 1 || position > backend_->GetSize()) return kInvalidPosition;
  Outcome o;
  int state = KeyboardCode(&o);
  if (o != Outcome::kOk) return Fail(o, "set cursor");
  if (state != kOk) return state;
  o = backend_->SetCursor(position - 1, CallDeadline());
  return o == Outcome::kOk ? kOk : Fail(o, "set cursor");
}

// The hosts behind these sessions exchange no structured fields. A program
// may still register as an auxiliary device, post a read and disconnect
// again; nothing ever arrives.
int HllapiCore::StructuredFields(int function, unsigned char* data, int length) {
  if (!backend_) return kNotConnected;
  if (!data) return kParameterError;
  if (static_cast<char>(std::toupper(data[0])) != line_.letter) return kNotConnected;
  switch (function) {
    case kConnectStructuredFields:
      // Narrow blocks hold the query reply's address after the session id:
      // 4 bytes on 32-bit programs, 8 on 64-bit ones.
      if (length != 7 && length != 11 && length != 16) return kParameterError;
      sf_connected_ = true;
      return kOk;
    case kDisconnectStructuredFields:
      if (length != 3 && length != 8) return kParameterError;
      if (!sf_connected_) return kNotConnected;
      sf_connected_ = false;
      if (sf_read_outstanding_) {
        sf_read_outstanding_ = false;  // cancelled; collected by Get Request Completion
        return kRequestsOutstanding;
      }
      return kOk;
    case kGetRequestCompletion:
      if (length != 14 && length != 24) return kParameterError;
      return sf_connected_ && sf_read_outstanding_ ? kRequestPending : kOk;
    case kReadStructuredFields:
      if (!sf_connected_) return kNotConnected;
      sf_read_outstanding_ = true;
      return kOk;
    default: return sf_connected_ ? kNotSupported : kNotConnected;
  }
}

}  // namespace emulator
