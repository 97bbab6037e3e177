#include "hostlink/screen_transport.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/trace.h"
#include "hostlink/screen_codec.h"
#include "platform/clock.h"

namespace hostlink {

const char* const kLu2TimeoutText = "IV,Timeout in LU2 loop";

namespace {

constexpr size_t kWorkSize = HostConnection::kScreenWorkSize;

// One request; a session found gone is closed on our side too, so that the
// next operation opens it afresh.
int Issue(HostConnection* conn, int32_t code, const char* data) {
  conn->request.request_code = code;
  int rc = conn->layer.Dispatch(&conn->request, data);
  if (conn->layer.TakeSessionLost()) conn->SessionLost();
  return rc;
}

}  // namespace

namespace {

// A screen the host let us have, inside the connection's copy buffer: its text
// (NUL-terminated; raw screens may go on behind the NUL for room bytes) and how
// much of it the trace shows.
struct CopiedScreen {
  const char* text = nullptr;
  size_t room = 0;
  long trace_length = -1;
  bool timed_out = false;  // no screen in time (text is null)
};

enum class CopyOutcome { kAccepted, kRejected, kFailed };

// A length-prefixed screen ("/CUT"): the '{' replacements applied in place and
// the prefix stepped over. Damage (more than declared) goes to screen_problem.
bool AcceptLengthPrefixed(HostConnection* conn, CopiedScreen* screen) {
  char* work = conn->screen_work.data();
  std::string text(work);
  long declared = 0;
  if (!screen_codec::AcceptLengthPrefixed(text, &declared)) return false;
  std::memcpy(work + 5, text.data(), std::strlen(work + 5));
  screen->text = work + 5;
  screen->room -= 5;
  screen->trace_length = declared;
  // The host never paints beyond what it declared: more is damage.
  size_t held = std::strlen(screen->text);
  if (held != static_cast<size_t>(declared))
    conn->screen_problem = "a screen declared " + std::to_string(declared) +
                           " characters and held " + std::to_string(held);
  return true;
}

// One copy of the screen into the work buffer; rc is the copy's return code.
CopyOutcome CopyOnce(HostConnection* conn, CopiedScreen* screen, int* rc) {
  char* work = conn->screen_work.data();
  *rc = Issue(conn, kRequestCopyScreen, work);
  if (*rc < 1) {
    char line[640];
    std::snprintf(line, sizeof line, "EIFcopy error RC=%d %.600s", *rc,
                  conn->request.error_text ? conn->request.error_text : "");
    if (conn->services && conn->services->add_status_text) conn->services->add_status_text(line);
    if (*rc < 0) return CopyOutcome::kFailed;
  }
  conn->result.clear();
  *screen = CopiedScreen{work, kWorkSize - 1, -1, false};
  bool accepted = *rc >= 1;
  if (accepted && conn->length_prefix && work[0] >= '0' && work[0] <= '9')
    accepted = AcceptLengthPrefixed(conn, screen);
  return accepted ? CopyOutcome::kAccepted : CopyOutcome::kRejected;
}

// Copies until the host lets us have a screen or the time-out passes. Null
// text: the link failed or the time ran out.
CopiedScreen CopyAcceptedScreen(HostConnection* conn) {
  const uint64_t start = platform::MonotonicMs();
  const uint64_t limit = static_cast<uint64_t>(conn->timeout > 0 ? conn->timeout : 0) * 1000u;
  for (;;) {
    CopiedScreen screen;
    int rc = 0;
    CopyOutcome outcome = CopyOnce(conn, &screen, &rc);
    if (outcome == CopyOutcome::kFailed) return {};
    // A screen accepted in the pass that used up the time is data: keep it.
    if (outcome == CopyOutcome::kAccepted) return screen;
    if (rc >= 1) conn->trace.Write("QORCONCT", "GetScreen reject reason = 0");
    if (platform::MonotonicMs() - start > limit) {
      if (conn->services && conn->services->show_message)
        conn->services->show_message("Timeout in LU2 loop", "");
      conn->result = kLu2TimeoutText;
      CopiedScreen none;
      none.timed_out = true;
      return none;
    }
    if (rc >= 1) {
      Wait(conn, 1);
      Issue(conn, kRequestWait, nullptr);
      if (!conn->connected) return {};
    } else if (conn->services && conn->services->pump_event) {
      conn->services->pump_event(100);  // a soft copy failure: give the host a moment
    }
  }
}

// The raw screen: up to the last non-zero byte among the first 1920 positions
// (the copied trailing blanks lie behind the terminating zero).
std::string RawScreen(const CopiedScreen& screen) {
  size_t span = screen.room < 1920 ? screen.room : 1920;
  size_t length = 0;
  for (size_t i = 0; i < span; ++i)
    if (screen.text[i] != '\0') length = i + 1;
  return std::string(screen.text, length);
}

std::string ShapedScreen(HostConnection* conn, const CopiedScreen& screen, ScreenMode mode) {
  if (mode == ScreenMode::kRaw) return RawScreen(screen);
  std::string translated = screen_codec::ShiftTranslate(screen.text);
  if (conn->trace.On())
    conn->trace.Write("xlate from IND:", translated.data(), static_cast<long>(translated.size()));
  if (mode != ScreenMode::kDecoded) return translated;
  std::string expanded = conn->expander.Expand(translated);
  if (conn->trace.On())
    conn->trace.Write("Runlength:", expanded.data(), static_cast<long>(expanded.size()));
  return expanded;
}

}  // namespace

const char* GetScreen(HostConnection* conn, ScreenMode mode) {
  if (!conn->EnsureOpen()) return nullptr;
  if (conn->request.screen_size > static_cast<int32_t>(kWorkSize) - 1) return nullptr;
  conn->screen_problem.clear();
  CopiedScreen screen = CopyAcceptedScreen(conn);
  if (!screen.text) return screen.timed_out ? kLu2TimeoutText : nullptr;
  size_t text_length = std::strlen(screen.text);
  if (conn->trace.On())
    conn->trace.Write(
        "Get Screen", screen.text,
        screen.trace_length >= 0 && static_cast<size_t>(screen.trace_length) <= text_length
            ? screen.trace_length
            : static_cast<long>(text_length));
  conn->result = ShapedScreen(conn, screen, mode);
  return conn->result.c_str();
}

int SendData(HostConnection* conn, const char* text) {
  if (!conn->EnsureOpen()) return -1;
  conn->trace.Write("SendData:", text ? text : "");
  int result = Issue(conn, kRequestWriteText, text);
  for (int retries = conn->timeout; result == 0 && retries > 0; --retries) {
    ResetKeyboard(conn);
    Wait(conn, 2);
    result = Issue(conn, kRequestWriteText, text);
  }
  return result;
}

int SendKeys(HostConnection* conn, const char* keys) {
  int opened;
  if (!conn->EnsureOpen(&opened)) return opened < 1 ? opened : -1;
  return Issue(conn, kRequestSendKeys, keys);
}

int WaitForHostReply(HostConnection* conn) {
  conn->EnsureOpen();
  Issue(conn, kRequestWaitForReply, nullptr);
  return 0;
}

int PauseForHost(HostConnection* conn, int half_seconds) {
  if (!conn->connected) return -1;
  int rc = conn->layer.Pause(&conn->request, half_seconds);
  if (conn->layer.TakeSessionLost()) conn->SessionLost();
  return rc;
}

int Wait(HostConnection* conn, int seconds) {
  if (conn->session_type == 'I') conn->layer.RegisterMessageLoop(MsgLoopProc);
  if (conn->trace.On()) {
    char line[32];
    std::snprintf(line, sizeof line, "Wait(%d)", seconds);
    conn->trace.Write("Connection", line);
  }
  int result = 0;
  const uint64_t end =
      platform::MonotonicMs() + static_cast<uint64_t>(seconds > 0 ? seconds : 0) * 1000u;
  for (uint64_t now = platform::MonotonicMs(); now < end; now = platform::MonotonicMs()) {
    // Block on the event queue for the time left instead of spinning.
    int code = conn->services && conn->services->pump_event
                   ? conn->services->pump_event(static_cast<int>(end - now))
                   : 0;
    if (code == HostServices::kCancel) result = -1;
    if (code == HostServices::kStop) return -1;
    if (!conn->services || !conn->services->pump_event) break;
  }
  return result;
}

void ResetKeyboard(HostConnection* conn) {
  static constexpr char kReset[] = {'~', 42, 0};
  if (SendKeys(conn, kReset) != 1 && conn->services && conn->services->show_message)
    conn->services->show_message(conn->ErrorText(), "Bad reset");
}

}  // namespace hostlink
