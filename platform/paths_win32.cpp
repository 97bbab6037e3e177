#include "platform/paths.h"

#include <cctype>
#include <cstring>
#include <string>

#include "platform/win32/windows_api.h"

namespace platform {

bool IsDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (base == device) return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  char buf[27 * 4 + 1];
  DWORD n = GetLogicalDriveStringsA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return {"C:\\"};
  for (const char* p = buf; *p; p += std::strlen(p) + 1) roots.emplace_back(p);
  return roots;
}

void ChangeDrive(const std::string& root) {
  // "C:" alone is the drive's own current directory.
  if (root.size() >= 2 && root[1] == ':') SetCurrentDirectoryA(root.substr(0, 2).c_str());
}

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
