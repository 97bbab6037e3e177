#include "platform/process.h"

#include "platform/win32/windows_api.h"

namespace platform {

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessMayBeRunning(long pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  DWORD code = 0;
  bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

}  // namespace platform
