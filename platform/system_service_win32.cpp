// Registering with the service control manager, and the event log.
#include <cstdlib>

#include "platform/system_error.h"
#include "platform/system_service.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

class ManagerHandle {
 public:
  explicit ManagerHandle(SC_HANDLE handle) : handle_(handle) {}
  ~ManagerHandle() {
    if (handle_) CloseServiceHandle(handle_);
  }
  ManagerHandle(const ManagerHandle&) = delete;
  ManagerHandle& operator=(const ManagerHandle&) = delete;
  SC_HANDLE Get() const { return handle_; }

 private:
  SC_HANDLE handle_;
};

ServiceResult Failure(DWORD error) {
  ServiceResult result{ServiceResult::kFailed, SystemErrorText(static_cast<int>(error))};
  if (error == ERROR_ACCESS_DENIED) result.kind = ServiceResult::kDenied;
  if (error == ERROR_SERVICE_EXISTS || error == ERROR_DUPLICATE_SERVICE_NAME)
    result.kind = ServiceResult::kExists;
  if (error == ERROR_SERVICE_DOES_NOT_EXIST) result.kind = ServiceResult::kMissing;
  return result;
}

// The running program's path and the arguments, each quoted: a path with a
// blank left unquoted would let the manager run C:\Program.exe.
bool ServiceCommandLine(const std::vector<std::string>& arguments, std::string* command) {
  char path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return false;
  *command = QuoteWindowsArgument(std::string(path, n));
  for (const std::string& argument : arguments) *command += " " + QuoteWindowsArgument(argument);
  return true;
}

// Asks a running service to stop and waits for it, looking every 100 ms as
// the manager offers no wait of its own that every system has.
void StopAndWait(SC_HANDLE service, int wait_ms) {
  SERVICE_STATUS status{};
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) return;  // not running
  for (int waited = 0; status.dwCurrentState != SERVICE_STOPPED && waited < wait_ms;
       waited += 100) {
    Sleep(100);
    if (!QueryServiceStatus(service, &status)) return;
  }
}

}  // namespace

ServiceResult ServiceManagerPresent() { return {}; }

std::string ServiceLogDirectory() {
  const char* data = std::getenv("ProgramData");
  if (!data || !*data) data = std::getenv("LOCALAPPDATA");
  return data && *data ? std::string(data) + "\\qorprt\\" : "";
}

ServiceResult InstallService(const ServiceDefinition& definition) {
  std::string command;
  if (!ServiceCommandLine(definition.arguments, &command)) return Failure(GetLastError());
  ManagerHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (!manager.Get()) return Failure(GetLastError());
  ManagerHandle service(CreateServiceA(
      manager.Get(), definition.name.c_str(), definition.display_name.c_str(),
      SERVICE_CHANGE_CONFIG, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
      command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
  if (!service.Get()) return Failure(GetLastError());
  std::string text = definition.description;
  SERVICE_DESCRIPTIONA description{text.data()};
  ChangeServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, &description);  // a courtesy
  return {};
}

ServiceResult RemoveService(const std::string& name, int wait_ms) {
  ManagerHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager.Get()) return Failure(GetLastError());
  ManagerHandle service(
      OpenServiceA(manager.Get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service.Get()) return Failure(GetLastError());
  StopAndWait(service.Get(), wait_ms);
  // Still stopping: the manager removes it once it has.
  if (!DeleteService(service.Get())) return Failure(GetLastError());
  return {};
}

void ReportServiceEvent(const std::string& source, ServiceEvent kind, const std::string& text) {
  HANDLE log = RegisterEventSourceA(nullptr, source.c_str());
  if (!log) return;
  const char* strings[] = {text.c_str()};
  const bool error = kind == ServiceEvent::kError;
  ReportEventA(log, error ? EVENTLOG_ERROR_TYPE : EVENTLOG_INFORMATION_TYPE, 0, error ? 2 : 1,
               nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(log);
}

}  // namespace platform
