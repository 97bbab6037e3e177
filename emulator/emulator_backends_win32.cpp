// On Windows the providers attach to an emulator the user runs with a script
// port. Starting one of their own would need a free port chosen and handed
// to it, and a way to stop it again when the process ends; a "script"
// session needs neither.
#include "emulator/emulator_backends.h"

#include "common/sessions_line.h"
#include "emulator/x3270_backend.h"

namespace emulator {

std::unique_ptr<Backend> StartEmulator(const std::string& host, int port,
                                       const common::session_options::Options&,
                                       std::string* problem) {
  *problem = common::S3270Replacement(host + ":" + std::to_string(port));
  return nullptr;
}

std::unique_ptr<Backend> AttachToEmulator(const std::string& host, int port, std::string*) {
  return X3270Backend::Attach(host, port);
}

}  // namespace emulator
