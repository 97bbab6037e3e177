#include "platform/clock.h"

#include "platform/win32/windows_api.h"

namespace platform {

LocalTime LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// The 64-bit tick count never wraps, unlike GetTickCount's 49.7 days.
uint64_t MonotonicMs() { return GetTickCount64(); }

}  // namespace platform
