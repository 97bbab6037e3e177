// Sessions with a real x3270-family emulator: one the library starts and
// owns, or one already running with a script port.
#pragma once

#include <memory>
#include <string>

#include "common/session_options.h"
#include "emulator/backend.h"

namespace emulator {

// Null with *problem set when this system cannot have such a session.
std::unique_ptr<Backend> StartEmulator(const std::string& host, int port,
                                       const common::session_options::Options& options,
                                       std::string* problem);
std::unique_ptr<Backend> AttachToEmulator(const std::string& host, int port, std::string* problem);

}  // namespace emulator
