// qorprtt's options, its --help text, and the trace the command line asks for.
#pragma once

#include <span>
#include <string>

#include "common/command_line.h"

namespace common {
class Tracer;
}  // namespace common

namespace client {

struct ClientState;

std::span<const common::OptionSpec> ClientOptions();

// The whole --help text: usage, options, operands, environment and files.
std::string ClientHelpText();

// Starts the trace the command line asks for: --trace FILE appends to FILE,
// else /D starts QORPRTW.TRC in the working directory afresh. Nothing when
// neither is given. False when FILE cannot be traced to (its path is too
// long for a trace file); the tracer is then left off.
bool StartCommandLineTrace(const ClientState& state, common::Tracer& trace);

}  // namespace client
