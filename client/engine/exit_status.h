// What the client's exit status tells whoever started it (a service manager,
// a script): the values of <sysexits.h>, which Windows lacks.
#pragma once

namespace client {

namespace exit_status {
constexpr int kOk = 0;       // ended as asked (a stop, the user's exit)
constexpr int kFailure = 1;  // anything else that went wrong
constexpr int kUsage = 64;   // the command line cannot be understood
constexpr int kConfig = 78;  // the configuration cannot work: retrying will not help
}  // namespace exit_status

}  // namespace client
