#include "platform/console.h"

#include <unistd.h>

#include <cstdlib>

namespace platform {

bool InteractiveTerminal() {
  const char* term = std::getenv("TERM");
  return isatty(STDIN_FILENO) && term && *term;
}

}  // namespace platform
