// A service's side of the service control manager: the dispatcher on the
// calling thread, the service's main on the thread the manager gives it.
#include <atomic>

#include "platform/stop_event.h"
#include "platform/system_error.h"
#include "platform/system_service.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

constexpr DWORD kStartHintMs = 10000;
constexpr DWORD kStopHintMs = 5000;

struct ServiceRun {
  std::string name;
  const std::function<int(StopEvent&)>* body = nullptr;
  StopEvent stop;
  SERVICE_STATUS_HANDLE handle = nullptr;
  SRWLOCK lock = SRWLOCK_INIT;  // a stop's report and the last one do not cross
  bool stopped = false;
  DWORD check_point = 0;
  int status = 0;
};

// The manager calls the service's main without a context: the one service
// this process runs.
std::atomic<ServiceRun*> g_run{nullptr};

void Report(ServiceRun& run, DWORD state, int exit_status = 0) {
  AcquireSRWLockExclusive(&run.lock);
  if (!run.stopped) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    if (exit_status != 0) {
      status.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
      status.dwServiceSpecificExitCode = static_cast<DWORD>(exit_status);
    }
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    status.dwCheckPoint = pending ? ++run.check_point : 0;
    status.dwWaitHint = state == SERVICE_START_PENDING  ? kStartHintMs
                        : state == SERVICE_STOP_PENDING ? kStopHintMs
                                                        : 0;
    SetServiceStatus(run.handle, &status);
    run.stopped = state == SERVICE_STOPPED;
  }
  ReleaseSRWLockExclusive(&run.lock);
}

// On the dispatcher's thread: a stop only sets the event the client waits on.
DWORD WINAPI OnControl(DWORD control, DWORD, void*, void* context) {
  auto* run = static_cast<ServiceRun*>(context);
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      Report(*run, SERVICE_STOP_PENDING);
      run->stop.Set();
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    default: return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
  ServiceRun* run = g_run.load();
  if (!run) return;
  run->handle = RegisterServiceCtrlHandlerExA(run->name.c_str(), OnControl, run);
  if (!run->handle) {
    run->status = 1;
    return;
  }
  Report(*run, SERVICE_START_PENDING);
  Report(*run, SERVICE_RUNNING);
  run->status = (*run->body)(run->stop);
  Report(*run, SERVICE_STOPPED, run->status);
}

}  // namespace

int RunService(const std::string& name, const std::function<int(StopEvent&)>& body,
               std::string* error) {
  ServiceRun run;
  run.name = name;
  run.body = &body;
  g_run = &run;
  SERVICE_TABLE_ENTRYA table[] = {{run.name.data(), ServiceMain}, {nullptr, nullptr}};
  const BOOL served = StartServiceCtrlDispatcherA(table);
  const DWORD failure = served ? 0 : GetLastError();
  g_run = nullptr;
  if (served) return run.status;
  *error = failure == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT
               ? "this process was not started by the service control manager"
               : SystemErrorText(static_cast<int>(failure));
  return -1;
}

}  // namespace platform
