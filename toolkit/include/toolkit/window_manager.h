// The window stack of one screen: the front window, dispatch, redraw, modal
// loops and the program-end request. Windows are owned by their callers; the
// manager only keeps them in order (last added is the front window).
//
// Dispatch rules: keys go to the front window (or to a window whose menu or
// pop-up is open); mouse events go to the topmost window holding the cell,
// without raising it, so a background window's menu stays usable while a
// modal window runs; commands and close requests go to the window named by
// event.target, else the front window; a program-end request is recorded
// (end_requested) and given to no window; redisplay events are given to
// every window after the manager has adjusted to a new screen size.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "toolkit/commands.h"
#include "toolkit/display.h"
#include "toolkit/event_queue.h"
#include "toolkit/window.h"

namespace tk {

struct DispatchResult {
  Window* window = nullptr;  // who handled it
  int code = 0;              // its answer
};

class WindowManager {
 public:
  WindowManager(Display& display, EventQueue& queue, Theme theme = {});
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  Display& GetDisplay() { return display_; }
  EventQueue& Queue() { return queue_; }
  const Theme& GetTheme() const { return theme_; }
  Size ScreenSize() const { return screen_.GetSize(); }
  const CellGrid& GetScreen() const { return screen_; }

  void Add(Window& w);  // on top: becomes the front window
  void Remove(Window& w);
  bool Contains(const Window& w) const;
  Window* Front() const { return stack_.empty() ? nullptr : stack_.back(); }
  Window* Find(int id) const;
  const std::vector<Window*>& Windows() const { return stack_; }

  DispatchResult Dispatch(const Event& e);
  // Compose every window into the screen grid and show it.
  void Redraw();
  void Beep() { display_.Beep(); }

  void RequestEnd() { queue_.Put(Event::Quit()); }
  bool EndRequested() const { return end_requested_; }

  // Runs w modally: adds it if needed, then takes events one by one (blocking)
  // and dispatches them until w answers one of end_codes (returned), or w is
  // no longer the front window (returns 0). A program-end request ends the
  // loop with kCancel and is put back for the loops below. A window the loop
  // added is removed again (one already on the stack is raised and stays);
  // the caller owns it.
  int RunModal(Window& w, std::initializer_list<int> end_codes = {cmd::kCloseModal});
  // The same, ending when ends(code) holds for an answer of w (for example
  // any button code from 10010 to 10098).
  int RunModal(Window& w, const std::function<bool(int)>& ends);
  // The main loop: dispatch until the program-end request.
  void Run();
  // Waits up to timeout_ms for one event, dispatches it and redraws.
  // Returns false on time-out. Lets long-running work keep windows alive;
  // a program-end request taken here only sets end_requested.
  bool PumpOne(int timeout_ms, Event* taken = nullptr);

 private:
  void AdjustToScreen();
  Window* MouseTarget(Point p) const;

  Display& display_;
  EventQueue& queue_;
  Theme theme_;
  CellGrid screen_;
  std::vector<Window*> stack_;
  int next_id_ = 1;
  bool end_requested_ = false;
};

}  // namespace tk
