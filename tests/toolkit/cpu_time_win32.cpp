#include "platform/win32/windows_api.h"
#include "tests/toolkit/cpu_time.h"

long CpuMicros() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](FILETIME f) {
    return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
  };
  return static_cast<long>((ticks(kernel) + ticks(user)) / 10);  // 100 ns ticks
}
