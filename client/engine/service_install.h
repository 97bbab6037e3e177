// qorprtt as a Windows service: --install-service registers the headless
// client with the service control manager, --remove-service takes it away,
// and --service NAME (which the registration puts on the command line) runs
// it under the manager. On Linux the systemd units do this; there the options
// say so.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/trace.h"

namespace common {
struct CommandLine;
}

namespace client {

constexpr const char kDefaultServiceName[] = "qorprt";

// The arguments the service runs with: --service NAME --headless, the other
// options as given with their paths made absolute (the manager starts it in
// the system's directory), --instance NAME and --log-file default_log unless
// given, the /CUT and /PDM switches, and the download directory made
// absolute, last.
std::vector<std::string> ServiceArguments(const common::CommandLine& line, const std::string& name,
                                          const std::string& default_log);

// --install-service and --remove-service: do it, say what happened on out
// (errors on err), and return the exit status: 0 done, 64 usage, 78 a
// configuration that cannot work (a missing download directory), 1 the
// manager refused or failed.
int InstallServiceCommand(int argc, char** argv, std::FILE* out, std::FILE* err);
int RemoveServiceCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

// --service NAME: the headless client under the service manager, its lines
// appended to --log-file, its start, stop and failures also in the event
// log. Returns the exit status.
int RunAsService(int argc, char** argv, const common::Tracer& trace, std::FILE* err);

}  // namespace client
