#include "platform/stop_signals.h"

#include <atomic>

#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The system calls the handler on a thread of its own.
std::atomic<StopEvent*> g_event{nullptr};
std::atomic<int> g_stops{0};
// Set once the program has let go of the handler: a close, logoff or
// shut-down waits for it, since the system ends the process as soon as the
// handler returns.
HANDLE g_released = nullptr;
constexpr DWORD kCloseGraceMs = 4500;  // the system allows about five seconds

BOOL WINAPI OnConsoleControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: break;
    default: return FALSE;
  }
  if (g_stops.fetch_add(1) > 0) ExitProcess(STATUS_CONTROL_C_EXIT);  // asked twice: at once
  if (StopEvent* event = g_event.load()) event->Set();
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && g_released)
    WaitForSingleObject(g_released, kCloseGraceMs);
  return TRUE;
}

}  // namespace

StopSignals::StopSignals() {
  // Lives as long as the process: a handler may still wait on it as the program ends.
  if (!g_released) g_released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (g_released) ResetEvent(g_released);
  g_stops = 0;
  g_event = &event_;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopSignals::~StopSignals() {
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  g_event = nullptr;
  if (g_released) SetEvent(g_released);
}

}  // namespace platform
