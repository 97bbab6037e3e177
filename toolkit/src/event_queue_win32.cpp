// The queue's sleep on Windows: WaitForMultipleObjects on the display's
// input handles and the wake event. The console's input is a handle, not a
// descriptor, so there are no descriptors to watch here.
#include <algorithm>

#include "platform/win32/windows_api.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"

namespace tk {

EventQueue::EventQueue(Display* display) : display_(display) {
  // Auto-reset: one wake-up is used up by the wait it ends.
  wake_event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

EventQueue::~EventQueue() {
  if (wake_event_ != nullptr) CloseHandle(wake_event_);
}

void EventQueue::Wake() {
  if (wake_event_ != nullptr) SetEvent(wake_event_);
}

int EventQueue::Watch(int, short) { return -1; }

void EventQueue::Unwatch(int id) {
  std::erase_if(watched_, [id](const Watched& w) { return w.id == id; });
}

bool EventQueue::PollOnce(int timeout_ms) {
  std::vector<HANDLE> handles;
  if (display_ != nullptr)
    for (void* h : display_->InputHandles())
      if (h != nullptr && h != INVALID_HANDLE_VALUE) handles.push_back(h);
  if (wake_event_ != nullptr) handles.push_back(wake_event_);
  DWORD wait = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (handles.empty()) {
    Sleep(wait);
    return false;
  }
  handles.resize(std::min<size_t>(handles.size(), MAXIMUM_WAIT_OBJECTS));
  DWORD r = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, wait);
  if (r == WAIT_FAILED && wake_event_ != nullptr) {
    // A display handle that went bad must not turn the wait into a spin:
    // sleep on the wake event alone for the time asked.
    r = WaitForSingleObject(wake_event_, wait);
  }
  return r != WAIT_TIMEOUT && r != WAIT_FAILED;
}

}  // namespace tk
