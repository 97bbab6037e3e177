#include "emulator/emulator_backends.h"

#include "emulator/x3270_backend.h"

namespace emulator {

std::unique_ptr<Backend> StartEmulator(const std::string& host, int port,
                                       const common::session_options::Options& options,
                                       std::string*) {
  return X3270Backend::OwnChild(host, port, options);
}

std::unique_ptr<Backend> AttachToEmulator(const std::string& host, int port, std::string*) {
  return X3270Backend::Attach(host, port);
}

}  // namespace emulator
