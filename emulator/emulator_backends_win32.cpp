// The Windows build has no emulator sessions yet: its providers serve the
// in-process host only.
#include "emulator/emulator_backends.h"

namespace emulator {

std::unique_ptr<Backend> StartEmulator(const std::string&, int, const session_options::Options&,
                                       std::string* problem) {
  *problem = "this system cannot start an emulator for the session";
  return nullptr;
}

std::unique_ptr<Backend> AttachToEmulator(const std::string&, int, std::string* problem) {
  *problem = "this system cannot attach to an emulator's script port yet";
  return nullptr;
}

}  // namespace emulator
