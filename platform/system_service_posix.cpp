// Linux's service manager runs the program from a unit file as it is.
#include "platform/system_service.h"

namespace platform {

namespace {

ServiceResult Unsupported() {
  return {ServiceResult::kUnsupported, "Windows services exist only on Windows"};
}

}  // namespace

ServiceResult ServiceManagerPresent() { return Unsupported(); }

std::string ServiceLogDirectory() { return ""; }

ServiceResult InstallService(const ServiceDefinition&) { return Unsupported(); }

ServiceResult RemoveService(const std::string&, int) { return Unsupported(); }

int RunService(const std::string&, const std::function<int(StopEvent&)>&, std::string* error) {
  *error = Unsupported().error;
  return -1;
}

void ReportServiceEvent(const std::string&, ServiceEvent, const std::string&) {}

}  // namespace platform
