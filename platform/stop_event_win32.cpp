#include "platform/stop_event.h"

#include "platform/win32/windows_api.h"

namespace platform {

// A manual-reset event: once set, every wait sees it.
StopEvent::StopEvent() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (event) read_ = write_ = reinterpret_cast<intptr_t>(event);
}

StopEvent::~StopEvent() {
  if (read_ != -1) CloseHandle(reinterpret_cast<HANDLE>(read_));
}

void StopEvent::Set() {
  if (write_ != -1) SetEvent(reinterpret_cast<HANDLE>(write_));
}

bool StopEvent::Wait(int timeout_ms) {
  DWORD wait = timeout_ms > 0 ? static_cast<DWORD>(timeout_ms) : 0;
  if (read_ == -1) {
    Sleep(wait);  // the stop never comes; the wait still takes its time
    return false;
  }
  return WaitForSingleObject(reinterpret_cast<HANDLE>(read_), wait) == WAIT_OBJECT_0;
}

}  // namespace platform
