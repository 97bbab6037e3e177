#include "hostlink/screen_transport.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/trace.h"
#include "hostlink/screen_codec.h"
#include "platform/clock.h"

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

const char* GetScreen(HostConnection* conn, ScreenMode mode) {
  char* work = conn->screen_work.data();
  if (!conn->EnsureOpen()) return nullptr;
  if (conn->request.screen_size > static_cast<int32_t>(kWorkSize) - 1) return nullptr;

  const uint64_t start = platform::MonotonicMs();
  const uint64_t limit = static_cast<uint64_t>(conn->timeout > 0 ? conn->timeout : 0) * 1000u;
  const char* text = nullptr;
  long trace_length = -1;
  conn->screen_problem.clear();
  for (;;) {
    int rc = Issue(conn, kRequestCopyScreen, work);
    if (rc < 1) {
      char line[640];
      std::snprintf(line, sizeof line, "EIFcopy error RC=%d %.600s", rc,
                    conn->request.error_text ? conn->request.error_text : "");
      if (conn->services && conn->services->add_status_text) conn->services->add_status_text(line);
      if (rc < 0) return nullptr;
    }
    conn->result.clear();
    bool accepted = rc >= 1;
    text = work;
    if (accepted && conn->length_prefix && work[0] >= '0' && work[0] <= '9') {
      std::string screen(work);
      long declared = 0;
      accepted = screen_codec::AcceptLengthPrefixed(screen, &declared);
      if (accepted) {
        // Apply the '{' replacements in place and step over the prefix.
        std::memcpy(work + 5, screen.data(), std::strlen(work + 5));
        text = work + 5;
        trace_length = declared;
        // The host never paints beyond what it declared: more is damage.
        size_t held = std::strlen(text);
        if (held != static_cast<size_t>(declared))
          conn->screen_problem = "a screen declared " + std::to_string(declared) +
                                 " characters and held " + std::to_string(held);
      }
    }
    // A screen accepted in the pass that used up the time is data: keep it.
    if (accepted) break;
    if (rc >= 1 && TracePath) TraceWrite(TracePath, -1, "GetScreen reject reason = 0", "QORCONCT");
    if (platform::MonotonicMs() - start > limit) {
      if (conn->services && conn->services->show_message)
        conn->services->show_message("Timeout in LU2 loop", "");
      conn->result = kLu2TimeoutText;
      return kLu2TimeoutText;
    }
    if (rc >= 1) {
      Wait(conn, 1);
      Issue(conn, kRequestWait, nullptr);
      if (!conn->connected) return nullptr;
    } else if (conn->services && conn->services->pump_event) {
      conn->services->pump_event(100);  // a soft copy failure: give the host a moment
    }
  }

  size_t text_length = std::strlen(text);
  if (TracePath)
    TraceWrite(TracePath,
               trace_length >= 0 && static_cast<size_t>(trace_length) <= text_length
                   ? trace_length
                   : static_cast<long>(text_length),
               text, "Get Screen");
  if (mode == ScreenMode::kRaw) {
    // The raw screen: up to the last non-zero byte among the first 1920
    // positions (the copied trailing blanks lie behind the terminating zero).
    size_t room = kWorkSize - 1 - static_cast<size_t>(text - work);
    size_t span = room < 1920 ? room : 1920;
    size_t length = 0;
    for (size_t i = 0; i < span; ++i)
      if (text[i] != '\0') length = i + 1;
    conn->result.assign(text, length);
    return conn->result.c_str();
  }
  std::string translated = screen_codec::ShiftTranslate(std::string_view(text, text_length));
  if (TracePath)
    TraceWrite(TracePath, static_cast<long>(translated.size()), translated.data(),
               "xlate from IND:");
  if (mode == ScreenMode::kDecoded) {
    conn->result = conn->expander.Expand(translated);
    if (TracePath)
      TraceWrite(TracePath, static_cast<long>(conn->result.size()), conn->result.data(),
                 "Runlength:");
  } else {
    conn->result = translated;
  }
  return conn->result.c_str();
}

int SendData(HostConnection* conn, const char* text) {
  if (!conn->EnsureOpen()) return -1;
  if (TracePath) TraceWrite(TracePath, -1, text ? text : "", "SendData:");
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
  if (TracePath) {
    char line[32];
    std::snprintf(line, sizeof line, "Wait(%d)", seconds);
    TraceWrite(TracePath, -1, line, "Connection");
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
