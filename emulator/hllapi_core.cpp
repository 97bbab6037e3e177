#include "emulator/hllapi_core.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "common/hllapi_codes.h"
#include "emulator/client_stop.h"
#include "emulator/key_mnemonics.h"

namespace emulator {

using namespace hllapi;

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
  const char* name = line.kind == SessionKind::S3270    ? "S3270"
                     : line.kind == SessionKind::Script ? "SCRIPT"
                                                        : "HOSTSIM";
  std::memset(at, ' ', 8);
  std::memcpy(at, name, std::strlen(name));
}

}  // namespace

HllapiCore::HllapiCore(StatusLayout layout, SessionSource sessions, BackendFactory factory,
                       ErrorSink errors)
    : layout_(layout),
      sessions_(std::move(sessions)),
      factory_(std::move(factory)),
      errors_(std::move(errors)) {}

HllapiCore::~HllapiCore() { reset(); }

void HllapiCore::reset() {
  if (backend_) backend_->close();
  backend_.reset();
  parameters_ = SessionParameters{};
  pause_saw_change_ = false;
  sf_connected_ = false;
  sf_read_outstanding_ = false;
}

void HllapiCore::error(const std::string& text) {
  last_error_ = text;
  if (errors_) errors_(text);
}

Deadline HllapiCore::call_deadline() const { return Deadline::in_seconds(line_.timeout_seconds); }

// A session that is gone is dropped, so the next Connect starts afresh.
int HllapiCore::fail(Outcome outcome, const std::string& what) {
  if (outcome == Outcome::Failed) {
    std::string why = backend_->problem();
    error("session " + std::string(1, line_.letter) + ": " + what + " failed" +
          (why.empty() ? "" : " (" + why + ")") + "; session closed");
    backend_->close();
    backend_.reset();
  }
  return kSystemError;
}

int HllapiCore::keyboard_code(Outcome* outcome) {
  Keyboard state = Keyboard::Unlocked;
  *outcome = backend_->keyboard(&state, call_deadline());
  if (*outcome != Outcome::Ok) return kSystemError;
  switch (state) {
    case Keyboard::Unlocked: return kOk;
    case Keyboard::HostBusy: return kHostBusy;
    case Keyboard::Inhibited: return kInhibited;
  }
  return kSystemError;
}

void HllapiCore::call(int function, unsigned char* data, int* length, int* code) {
  // The last error is this call's: a program asks for it right after a failure.
  last_error_.clear();
  last_error_permanent_ = false;
  int len = length ? *length : 0;
  if (len < 0) len = 0;
  int rc = kSystemError;
  switch (function) {
    case kConnect: rc = connect(data); break;
    case kDisconnect: rc = disconnect(); break;
    case kSendKey: rc = send_key(data, len); break;
    case kWait: rc = wait(); break;
    case kCopyPresentationSpace: rc = copy_presentation_space(data, length); break;
    case kSetSessionParameters: rc = set_parameters(data, len); break;
    case kQuerySessions: rc = query_sessions(data, length); break;
    case kCopyStringToPresentationSpace: rc = copy_string(data, len, code ? *code : 0); break;
    case kPause: rc = pause(len); break;
    case kQuerySystem: rc = query_system(data, len); break;
    case kResetSystem:
      reset();
      rc = kOk;
      break;
    case kQuerySessionStatus: rc = query_session_status(data, len); break;
    case kSetCursor: rc = set_cursor(code ? *code : 0); break;
    case kConnectStructuredFields:
    case kDisconnectStructuredFields:
    case kQueryBufferSize:
    case kAllocateCommunicationsBuffer:
    case kFreeCommunicationsBuffer:
    case kGetRequestCompletion:
    case kReadStructuredFields:
    case kWriteStructuredFields: rc = structured_fields(function, data, len); break;
    default:
      rc = 301;  // the published code for an unknown function number
      break;
  }
  if (code) *code = rc;
}

int HllapiCore::set_parameters(const unsigned char* data, int length) {
  if (length == 0) return kOk;
  if (!data) return kParameterError;
  std::string_view text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  return parameters_.apply(text) ? kOk : kParameterError;
}

int HllapiCore::connect(const unsigned char* data) {
  if (!data) return kParameterError;
  char letter = static_cast<char>(std::toupper(data[0]));
  if (backend_ && line_.letter == letter) {
    Outcome o;
    int rc = keyboard_code(&o);
    return o == Outcome::Ok ? rc : fail(o, "connect");
  }
  if (backend_) disconnect();
  SessionTable table = sessions_();
  for (const std::string& p : table.problems) error(p);
  const SessionLine* line = table.find(letter);
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
    error(text);
    last_error_permanent_ = true;
    return kNotConnected;
  }
  std::string problem;
  std::unique_ptr<Backend> backend = factory_(*line, &problem);
  if (!backend) {
    error("session " + std::string(1, letter) + ": " + problem);
    last_error_permanent_ = true;
    return kSystemError;
  }
  line_ = *line;
  Outcome o = backend->open(call_deadline(), &problem);
  if (o != Outcome::Ok) {
    backend->close();
    error("session " + std::string(1, letter) + ": " + problem);
    last_error_permanent_ = backend->configuration_fault();
    return kSystemError;
  }
  backend_ = std::move(backend);
  pause_saw_change_ = false;
  sf_connected_ = false;
  sf_read_outstanding_ = false;
  int rc = keyboard_code(&o);
  return o == Outcome::Ok ? rc : fail(o, "connect");
}

int HllapiCore::disconnect() {
  if (!backend_) return kNotConnected;
  backend_->close();
  backend_.reset();
  sf_connected_ = false;
  sf_read_outstanding_ = false;
  return kOk;
}

int HllapiCore::send_key(const unsigned char* data, int length) {
  if (!backend_) return kNotConnected;
  if (!data || length <= 0 || length > kMaxKeyString) return kParameterError;
  std::vector<KeyStroke> strokes;
  std::size_t bad = 0;
  std::string_view keys(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  if (!ParseKeyString(keys, parameters_.escape, &strokes, &bad)) return kParameterError;
  Deadline deadline = call_deadline();
  Outcome o;
  int state = keyboard_code(&o);
  if (o != Outcome::Ok) return fail(o, "send key");
  if (state == kInhibited && parameters_.auto_reset) {
    o = backend_->press(Key::Reset, deadline);
    if (o != Outcome::Ok) return fail(o, "send key");
    state = kOk;
  }
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    const KeyStroke& s = strokes[i];
    if (s.is_key && s.key == Key::Reset) {
      o = backend_->press(Key::Reset, deadline);
      if (o != Outcome::Ok) return fail(o, "send key");
      state = kOk;
      continue;
    }
    if (state != kOk) return state;
    if (!s.is_key) {
      o = backend_->type(s.text, deadline);
    } else {
      o = backend_->press(s.key, deadline);
    }
    if (o == Outcome::Protected) return kInhibited;
    if (o == Outcome::Busy) return kHostBusy;
    if (o != Outcome::Ok) return fail(o, "send key");
    // Keys after an attention key wait for the host's answer.
    if (s.is_key && is_attention_key(s.key) && i + 1 < strokes.size()) {
      o = backend_->wait_unlock(deadline);
      if (o == Outcome::TimedOut) return kHostBusy;
      if (o != Outcome::Ok) return fail(o, "send key");
      state = keyboard_code(&o);
      if (o != Outcome::Ok) return fail(o, "send key");
    }
  }
  return kOk;
}

int HllapiCore::wait() {
  if (!backend_) return kNotConnected;
  Outcome o;
  int state = keyboard_code(&o);
  if (o != Outcome::Ok) return fail(o, "wait");
  if (state != kHostBusy || parameters_.wait == WaitMode::NoWait) return state;
  // Only a lock held for the host ends by itself; an operator error needs Reset.
  Deadline deadline = call_deadline();
  if (parameters_.wait == WaitMode::TimedWait)
    deadline = deadline.min(Deadline::in_ms(kTimedWaitMs));
  o = backend_->wait_unlock(deadline);
  if (o == Outcome::TimedOut) return kHostBusy;
  if (o != Outcome::Ok) return fail(o, "wait");
  state = keyboard_code(&o);
  return o == Outcome::Ok ? state : fail(o, "wait");
}

int HllapiCore::copy_presentation_space(unsigned char* data, int* length) {
  if (!backend_) return kNotConnected;
  if (!data || !length) return kParameterError;
  // The caller's length bounds what is written: its buffer is no larger.
  int n = std::min(std::max(*length, 0), backend_->size());
  std::string screen;
  Outcome o = n < backend_->size() ? backend_->read_start(&screen, std::max(n, 1), call_deadline())
                                   : backend_->read_screen(&screen, call_deadline());
  if (o != Outcome::Ok) return fail(o, "copy presentation space");
  pause_saw_change_ = false;
  n = std::min(n, static_cast<int>(screen.size()));
  std::memcpy(data, screen.data(), static_cast<std::size_t>(n));
  *length = n;
  int state = keyboard_code(&o);
  return o == Outcome::Ok ? state : fail(o, "copy presentation space");
}

int HllapiCore::query_sessions(unsigned char* data, int* length) {
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
    int size = (backend_ && s.letter == line_.letter)
                   ? backend_->max_rows() * backend_->max_columns()
                   : 24 * 80;
    PutWord(e + 10, size);
  }
  *length = count;
  return count <= room ? kOk : kParameterError;
}

int HllapiCore::copy_string(const unsigned char* data, int length, int position) {
  if (!backend_) return kNotConnected;
  if (!data || length <= 0) return kParameterError;
  int size = backend_->size();
  if (position < 1 || position > size) return kInvalidPosition;
  int room = size - (position - 1);
  int n = std::min(length, room);
  std::string_view text(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
  Outcome o;
  int state = keyboard_code(&o);
  if (o != Outcome::Ok) return fail(o, "copy string");
  if (state != kOk) return kInhibited;
  Deadline deadline = call_deadline();
  o = backend_->write_at(position - 1, text, deadline);
  if (o == Outcome::Protected) {
    // Leave the keyboard usable for the program's next step.
    Outcome r = backend_->press(Key::Reset, deadline);
    if (r != Outcome::Ok) return fail(r, "copy string");
    return kInhibited;
  }
  if (o == Outcome::Busy) return kInhibited;
  if (o != Outcome::Ok) return fail(o, "copy string");
  return n < length ? kTruncated : kOk;
}

int HllapiCore::pause(int half_seconds) {
  // Bounded like every call, by the session's time-out or, with no session,
  // by the default one.
  Deadline until =
      Deadline::in_ms(int64_t{half_seconds} * 500)
          .min(backend_ ? call_deadline() : Deadline::in_seconds(SessionLine{}.timeout_seconds));
  if (!backend_ || !parameters_.interruptible_pause || half_seconds == 0) {
    Sleep(until);
    return kOk;
  }
  // A change already reported by a pause must not end the next one at once:
  // read the screen to wait for a newer change.
  if (pause_saw_change_) {
    std::string ignored;
    Outcome o = backend_->read_start(&ignored, 1, until);
    if (o == Outcome::Failed) return fail(o, "pause");
    pause_saw_change_ = false;
  }
  Outcome o = backend_->wait_for_change(until);
  if (o == Outcome::Ok) {
    pause_saw_change_ = true;
    return kPauseInterrupted;
  }
  // The session is gone: say so at once, so the program can open a new one
  // (later pauses, with no session, sleep their time).
  if (o == Outcome::Failed) return fail(o, "pause");
  // The emulator's own wait ends a little early to answer in time.
  Sleep(until);
  return kOk;
}

int HllapiCore::query_system(unsigned char* data, int length) {
  if (!data || length < kQuerySystemSize) return kParameterError;
  std::memset(data, ' ', kQuerySystemSize);
  std::memcpy(data, "1", 1);           // HLLAPI version
  std::memcpy(data + 1, "01", 2);      // level
  std::memcpy(data + 3, "120126", 6);  // date of this level, MMDDYY
  data[12] = 'L';                      // hardware base: a Linux PC
  data[13] = 'X';                      // program type: an emulator driven by script
  return kOk;
}

int HllapiCore::query_session_status(unsigned char* data, int length) {
  int size = layout_ == StatusLayout::Wide ? 20 : 18;
  if (!data || length < size) return kParameterError;
  char letter = static_cast<char>(std::toupper(data[0]));
  SessionLine line;
  // The presentation space is as large as the largest screen the host may
  // switch to; Copy Presentation Space gives the current screen's count.
  int rows = 24, columns = 80, code_page = 37;
  if (backend_ && line_.letter == letter) {
    line = line_;
    rows = backend_->max_rows();
    columns = backend_->max_columns();
    code_page = backend_->code_page();
  } else {
    SessionTable table = sessions_();
    const SessionLine* found = table.find(letter);
    if (!found) return kNotConnected;
    line = *found;
    if (line.kind == SessionKind::S3270) {
      session_options::ModelSize(line.options.model, &rows, &columns);
      code_page = session_options::CodePageNumber(line.options.codepage);
    }
  }
  std::memset(data, 0, static_cast<std::size_t>(size));
  data[0] = static_cast<unsigned char>(letter);
  if (layout_ == StatusLayout::Wide) {
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

int HllapiCore::set_cursor(int position) {
  if (!backend_) return kNotConnected;
  if (position < 1 || position > backend_->size()) return kInvalidPosition;
  Outcome o;
  int state = keyboard_code(&o);
  if (o != Outcome::Ok) return fail(o, "set cursor");
  if (state != kOk) return state;
  o = backend_->set_cursor(position - 1, call_deadline());
  return o == Outcome::Ok ? kOk : fail(o, "set cursor");
}

// The hosts behind these sessions exchange no structured fields. A program
// may still register as an auxiliary device, post a read and disconnect
// again; nothing ever arrives.
int HllapiCore::structured_fields(int function, unsigned char* data, int length) {
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
