#include "platform/config_file.h"

namespace platform {

// Without XDG directories and a home there is nowhere of the system's own.
std::string SystemConfigDirectory() { return ""; }
std::string SystemStateDirectory() { return ""; }

}  // namespace platform
