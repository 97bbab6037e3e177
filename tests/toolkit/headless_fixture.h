// A screen with the headless back-end, its queue and window manager, and a
// window that records the commands it is given.
#pragma once

#include <vector>

#include "toolkit/headless_display.h"
#include "toolkit/keys.h"
#include "toolkit/window_manager.h"

namespace tk::test {

struct Desk {
  explicit Desk(int cols = 80, int rows = 25)
      : display(cols, rows), queue(&display), wm(display, queue) {}
  HeadlessDisplay display;
  EventQueue queue;
  WindowManager wm;
};

class Recorder : public Window {
 public:
  using Window::Window;
  int HandleEvent(const Event& e) override {
    if (e.kind == EventKind::kCommand) commands.push_back(e);
    return Window::HandleEvent(e);
  }
  std::vector<int> codes() const {
    std::vector<int> out;
    for (const Event& e : commands) out.push_back(e.code);
    return out;
  }
  std::vector<Event> commands;
};

// Runs w modally until the script is used up (the fallback program-end
// request then ends the loop); returns the loop's result.
inline int RunScript(Desk& d, Window& w) { return d.wm.RunModal(w, {cmd::kCloseModal, cmd::kOk}); }

}  // namespace tk::test
