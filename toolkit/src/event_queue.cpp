// What the queue does on every system; its sleep lives in
// event_queue_posix.cpp and event_queue_win32.cpp.
#include "toolkit/event_queue.h"

#include <algorithm>
#include <chrono>

#include "toolkit/display.h"

namespace tk {

namespace {
using Clock = std::chrono::steady_clock;
}

const char* EventKindName(EventKind k) {
  switch (k) {
    case EventKind::kNone: return "none";
    case EventKind::kKey: return "key";
    case EventKind::kMouse: return "mouse";
    case EventKind::kCommand: return "command";
    case EventKind::kClose: return "close";
    case EventKind::kQuit: return "quit";
    case EventKind::kRedisplay: return "redisplay";
    case EventKind::kFdReady: return "fd-ready";
  }
  return "?";
}

void EventQueue::Put(Event e) { pending_.push_back(std::move(e)); }

bool EventQueue::TakeReady(Event& out) {
  if (!pending_.empty()) {
    out = std::move(pending_.front());
    pending_.pop_front();
    return true;
  }
  if (display_ != nullptr && display_->ReadInput(out)) return true;
  // Reading input may have run code that put events (a test script step).
  if (!pending_.empty()) {
    out = std::move(pending_.front());
    pending_.pop_front();
    return true;
  }
  return false;
}

bool EventQueue::Poll(Event& out) {
  if (TakeReady(out)) return true;
  PollOnce(0);
  return TakeReady(out);
}

bool EventQueue::Wait(Event& out, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
  for (;;) {
    if (TakeReady(out)) return true;
    int wait_ms = -1;
    if (timeout_ms >= 0) {
      auto left = deadline - Clock::now();
      if (left <= Clock::duration::zero()) {
        // Time is up, but descriptors that are ready now still count.
        PollOnce(0);
        return TakeReady(out);
      }
      // Round up so the wait never ends a fraction of a millisecond early.
      wait_ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    }
    PollOnce(wait_ms);
  }
}

}  // namespace tk
