// What is checked before the client starts, so that a configuration that
// cannot work says why and ends at once (and a service manager stops
// restarting it) instead of running quietly on something nobody chose.
#pragma once

#include <string>

#include "client/engine/exit_status.h"

namespace hostlink {
class HostConnection;
}  // namespace hostlink
namespace common {
class Tracer;
}  // namespace common

namespace client {

struct StartRefusal {
  int status = exit_status::kOk;  // kOk: nothing stops the start
  std::string text;               // why not, and how to put it right
  bool Refused() const { return status != exit_status::kOk; }
};

// Before anything is shown or started: the command line (a download directory
// longer than the client can hold: kUsage), the settings (a registry file that
// cannot be read, a value over its limit: kConfig), and unattended operation on
// the built-in demonstration host when neither the settings name an adapter nor
// --demo asks for it (kConfig). The registry's reports go to trace, which the
// command line has started.
StartRefusal CheckStart(int argc, const char* const* argv, const common::Tracer& trace);

// The headless service's checks once the core is up, before polling starts:
// the download directory exists, is a directory and may be written. kConfig.
StartRefusal CheckDownloadDirectory(const std::string& directory);

// Loads the connection's adapter once, so that one that cannot be loaded is
// reported with the loader's words at start rather than at every connect. The
// library stays loaded until UnloadAdapterCheck (the link's own load then
// shares it). kConfig when it cannot be loaded.
StartRefusal LoadAdapterCheck(const hostlink::HostConnection& connection, void** library);
void UnloadAdapterCheck(void* library);

// What the start line names for the host: "session A: <its line in the
// sessions file> (<file>)", or for the default adapter its built-in host.
std::string DescribeSession(const hostlink::HostConnection& connection);

}  // namespace client
