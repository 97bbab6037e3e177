#include "platform/paths.h"

#include "platform/win32/windows_api.h"

namespace platform {

std::string CurrentDirectory() {
  char buf[MAX_PATH + 1];
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : "";
}

std::string ProgramDirectory() {
  char buf[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return ".\\";
  return DirectoryPart(std::string_view(buf, n));
}

}  // namespace platform
