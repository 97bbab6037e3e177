#include "platform/system_error.h"

#include "platform/win32/windows_api.h"

namespace platform {

// The numbers callers pass are Win32 error codes (GetLastError, registry
// results); the system words them in the user's language.
std::string SystemErrorText(int error_number) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(error_number), 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(error_number);
  return std::string(buf, n);
}

}  // namespace platform
