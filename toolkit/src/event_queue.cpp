#include "toolkit/event_queue.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

EventQueue::EventQueue(Display* display) : display_(display) {
  if (pipe2(wake_pipe_, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
}

EventQueue::~EventQueue() {
  for (int fd : wake_pipe_)
    if (fd >= 0) close(fd);
}

void EventQueue::Put(Event e) { pending_.push_back(std::move(e)); }

void EventQueue::Wake() {
  if (wake_pipe_[1] < 0) return;
  char c = 1;
  // A full pipe already guarantees a wake-up; nothing to do on failure.
  [[maybe_unused]] ssize_t n = write(wake_pipe_[1], &c, 1);
}

int EventQueue::Watch(int fd, short events) {
  watched_.push_back({next_watch_id_, fd, events});
  return next_watch_id_++;
}

void EventQueue::Unwatch(int id) {
  std::erase_if(watched_, [id](const Watched& w) { return w.id == id; });
}

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

// One poll() over the display, the wake pipe and the watched descriptors.
// Ready watched descriptors become FdReady events in the queue.
bool EventQueue::PollOnce(int timeout_ms) {
  std::vector<pollfd> fds;
  if (display_ != nullptr)
    for (int fd : display_->InputFds()) fds.push_back({fd, POLLIN, 0});
  size_t first_watched = fds.size();
  for (const Watched& w : watched_) fds.push_back({w.fd, w.events, 0});
  if (wake_pipe_[0] >= 0) fds.push_back({wake_pipe_[0], POLLIN, 0});

  int n = poll(fds.data(), fds.size(), timeout_ms);
  if (n < 0) return errno == EINTR;  // a signal: let the caller look again
  if (n == 0) return false;
  if (wake_pipe_[0] >= 0 && fds.back().revents != 0) {
    char buf[64];
    while (read(wake_pipe_[0], buf, sizeof buf) > 0) {
    }
  }
  for (size_t i = 0; i < watched_.size(); ++i)
    if (fds[first_watched + i].revents != 0) pending_.push_back(Event::FdReady(watched_[i].fd));
  return true;
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
