// The client as a service: unattended operation at once into the download
// directory, with no terminal; status, messages and log entries as stamped
// lines on out. Ends when stop is set (or at once when it is already): the
// job under way is kept as incomplete and the emulator session is ended.
// Refuses to start, with an error line, on a configuration that cannot work
// (see CheckStart; the download directory, the adapter). Returns the exit
// status: 0 after a stop, else exit_status's kUsage, kConfig or kFailure.
#pragma once

#include <cstdio>
#include <string>

#include "client/engine/headless_front_end.h"
#include "common/trace.h"

namespace platform {
class StopEvent;
}

namespace client {
struct ClientCore;

// Makes front the engine's front end and routes the host link's boxes, its
// waits and the transfer log's entries through it.
void AttachHeadless(ClientCore& core, HeadlessFrontEnd& front);

// program_dir replaces the program file's directory (tests). trace is the
// one the command line started (StartCommandLineTrace); the run writes to it.
// observer hears every line too.
int RunHeadlessClient(int argc, const char* const* argv, std::FILE* out, platform::StopEvent& stop,
                      const std::string& program_dir = "",
                      const common::Tracer& trace = common::Tracer(),
                      const HeadlessFrontEnd::Observer& observer = nullptr);

}  // namespace client
