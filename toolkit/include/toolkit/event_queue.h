// The one event queue of a program.
//
// Put appends (also from inside a handler); Poll never blocks; Wait blocks
// until an event is there or the time-out has passed. While it waits, the
// queue sleeps on the display's input, its own wake-up and every descriptor
// registered with Watch, so an idle program uses no CPU: in poll() on
// descriptors on POSIX, in WaitForMultipleObjects on the display's input
// handles on Windows. Order of delivery: events already put, then the
// display's input, then FdReady events for watched descriptors that are ready.
//
// Waiting on something besides the user (an emulator's pipe or socket):
//   int id = queue.Watch(fd, POLLIN);
//   while (...) {
//     Event e;
//     if (!queue.Wait(e, ms_left_until_my_deadline)) { /* deadline */ }
//     else if (e.kind == EventKind::kFdReady && e.code == fd) { /* read fd */ }
//     else { manager.Dispatch(e); manager.Redraw(); }
//   }
//   queue.Unwatch(id);
// A watched descriptor is level-triggered: as long as it stays ready every
// Wait reports it again, so the caller must read it (or Unwatch it).
// Windows has no descriptors to wait on beside the console's handles: there
// Watch refuses with -1 and nothing is watched.
#pragma once

#include <deque>
#include <vector>

#include "toolkit/event.h"

namespace tk {

class Display;

class EventQueue {
 public:
  explicit EventQueue(Display* display = nullptr);
  ~EventQueue();
  EventQueue(const EventQueue&) = delete;
  EventQueue& operator=(const EventQueue&) = delete;

  void Put(Event e);
  bool Poll(Event& out);
  // timeout_ms < 0 waits without limit. The remaining time is rounded up to
  // whole milliseconds, so a wait never ends early and then spins on zero.
  bool Wait(Event& out, int timeout_ms);
  bool Pending() const { return !pending_.empty(); }

  // The id for Unwatch; -1 when the system cannot wait on descriptors.
  int Watch(int fd, short events);
  void Unwatch(int id);

  // Makes a blocked Wait return to look at the queue. Async-signal-safe on
  // POSIX; callable from any thread (a console control handler) on Windows.
  void Wake();

 private:
  bool TakeReady(Event& out);
  // The system's half (event_queue_posix.cpp, event_queue_win32.cpp): one
  // sleep on everything that can bring an event; false on time-out.
  bool PollOnce(int timeout_ms);

  struct Watched {
    int id;
    int fd;
    short events;
  };
  Display* display_;
  std::deque<Event> pending_;
  std::vector<Watched> watched_;
  int next_watch_id_ = 1;
#ifdef _WIN32
  void* wake_event_ = nullptr;  // an auto-reset event
#else
  int wake_pipe_[2] = {-1, -1};
#endif
};

}  // namespace tk
