// Commands after each job are a service's tool on Linux; on Windows the
// client refuses to start them and says so in its log.
#include "platform/child_process.h"
#include "platform/win32/windows_api.h"

namespace platform {

ChildProcess::~ChildProcess() = default;

std::string ChildProcess::Start(const std::vector<std::string>&, const std::vector<std::string>&,
                                const std::string&) {
  return "commands after a job are not run on Windows";
}

// Nothing was started, so there is nothing to wait for.
bool ChildProcess::Ended(ChildEnd*) { return reaped_ = true; }

void ChildProcess::Kill() {}

bool WaitForAny(std::span<const intptr_t> waitables, int timeout_ms) {
  std::vector<HANDLE> handles;
  for (intptr_t w : waitables)
    if (w != -1) handles.push_back(reinterpret_cast<HANDLE>(w));
  DWORD wait = timeout_ms > 0 ? static_cast<DWORD>(timeout_ms) : 0;
  if (handles.empty()) {
    Sleep(wait);
    return false;
  }
  DWORD got =
      WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, wait);
  return got < WAIT_OBJECT_0 + handles.size();
}

}  // namespace platform
