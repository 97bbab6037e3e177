// On Windows the providers attach to an emulator the user runs with a script
// port. Starting one of their own would need a free port chosen and handed
// to it, and a way to stop it again when the process ends; a "script"
// session needs neither.
#include "emulator/emulator_backends.h"

#include "emulator/x3270_backend.h"

namespace emulator {

std::unique_ptr<Backend> StartEmulator(const std::string& host, int port,
                                       const common::session_options::Options&,
                                       std::string* problem) {
  *problem =
      "an \"s3270\" session starts an emulator of its own, which this system does not do: "
      "start ws3270 -scriptport 127.0.0.1:PORT " +
      host + ":" + std::to_string(port) +
      " and name it in the sessions file as \"script 127.0.0.1:PORT\"";
  return nullptr;
}

std::unique_ptr<Backend> AttachToEmulator(const std::string& host, int port, std::string*) {
  return X3270Backend::Attach(host, port);
}

}  // namespace emulator
