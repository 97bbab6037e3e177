#include "platform/console.h"

#include "platform/win32/windows_api.h"

namespace platform {

bool InteractiveTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace platform
