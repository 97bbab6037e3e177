// The terminal back-end on the Windows console: colours, mouse, function
// keys with modifiers, Alt+key, resize. Draws into a screen buffer of its
// own, so the user's console comes back as it was. Only this back-end's
// source files include <windows.h>. One instance at a time.
#pragma once

#include <memory>

#include "toolkit/display.h"

namespace tk {

class ConsoleDisplay : public Display {
 public:
  // Takes over the console; the destructor gives it back.
  ConsoleDisplay();
  ~ConsoleDisplay() override;
  ConsoleDisplay(const ConsoleDisplay&) = delete;
  ConsoleDisplay& operator=(const ConsoleDisplay&) = delete;

  // False when standard input or output is not a console.
  static bool Available();
  // False when the console could not be set up; the display then shows
  // nothing and reads nothing.
  bool Ready() const;

  Size GetSize() const override;
  void Show(const CellGrid& screen) override;
  void ForceRepaint() override;
  void SetCursor(Point p, bool visible) override;
  void Beep() override;
  bool ReadInput(Event& out) override;
  std::vector<int> InputFds() const override { return {}; }
  std::vector<void*> InputHandles() const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tk
