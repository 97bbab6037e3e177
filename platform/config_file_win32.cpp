#include "platform/config_file.h"

#include <cstdlib>

namespace platform {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

// Settings roam with the user; logs stay on the machine.
std::string SystemConfigDirectory() { return Variable("APPDATA"); }
std::string SystemStateDirectory() { return Variable("LOCALAPPDATA"); }

}  // namespace platform
