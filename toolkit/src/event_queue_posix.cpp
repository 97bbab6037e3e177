// The queue's sleep on POSIX: poll() on the display's descriptors, the wake
// pipe and the watched descriptors.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "toolkit/display.h"
#include "toolkit/event_queue.h"

namespace tk {

EventQueue::EventQueue(Display* display) : display_(display) {
  if (pipe2(wake_pipe_, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe_[0] = wake_pipe_[1] = -1;
}

EventQueue::~EventQueue() {
  for (int fd : wake_pipe_)
    if (fd >= 0) close(fd);
}

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

}  // namespace tk
