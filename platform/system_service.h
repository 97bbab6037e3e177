// A program run by the system's service manager. On Windows that is the
// service control manager: programs are registered with it and, once
// started, talk to it through a dispatcher. Linux's service manager (systemd)
// starts programs as they are, from unit files: there these calls answer
// kUnsupported.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

class StopEvent;

struct ServiceDefinition {
  std::string name;          // the key name (sc start NAME)
  std::string display_name;  // what the services list shows
  std::string description;
  std::vector<std::string> arguments;  // after the running program's own path
};

struct ServiceResult {
  enum Kind { kDone, kDenied, kExists, kMissing, kUnsupported, kFailed };
  Kind kind = kDone;
  std::string error;  // the system's text when not kDone
};

// kDone where there is a service manager these calls reach, else
// kUnsupported with the reason.
ServiceResult ServiceManagerPresent();

// Where services keep their logs: the machine's program data folder's
// qorprt\ (ending in a separator); "" where there is none.
std::string ServiceLogDirectory();

// Registers the running program with arguments as a service that starts
// with the system.
ServiceResult InstallService(const ServiceDefinition& service);
// Removes the service, stopping it first when it runs and waiting up to
// wait_ms for it to stop.
ServiceResult RemoveService(const std::string& name, int wait_ms);

// Serves the service manager as service name: body runs on the service's
// own thread with an event that the manager's stop and shut-down controls
// set, while the calling thread dispatches them. Returns body's status, or
// -1 with *error when the manager did not start this process.
int RunService(const std::string& name, const std::function<int(StopEvent&)>& body,
               std::string* error);

// A line in the system's event log under source (nothing on Linux, where the
// journal takes standard error).
enum class ServiceEvent { kInformation, kError };
void ReportServiceEvent(const std::string& source, ServiceEvent kind, const std::string& text);

// word quoted for a Windows command line so that the C run-time's parser
// (and CommandLineToArgvW) reads it back unchanged: in double quotes when it
// holds a blank or a quote or is empty, with backslashes doubled only where
// they precede a quote.
std::string QuoteWindowsArgument(const std::string& word);

}  // namespace platform
