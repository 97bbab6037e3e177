// The terminal back-end on ncursesw: colours, mouse, function keys with
// modifiers, Alt+key, resize. Only this back-end's source files include
// curses. One instance at a time (curses has one screen).
#pragma once

#include <memory>

#include "toolkit/display.h"

namespace tk {

class CursesDisplay : public Display {
 public:
  // Takes over the terminal; the destructor gives it back.
  CursesDisplay();
  // Reads keys from in_fd and draws to out_fd as terminal type term (tests
  // feed raw sequences through a pipe).
  CursesDisplay(int in_fd, int out_fd, const char* term);
  ~CursesDisplay() override;
  CursesDisplay(const CursesDisplay&) = delete;
  CursesDisplay& operator=(const CursesDisplay&) = delete;

  // False when standard input or output is not a terminal.
  static bool Available();
  // False when curses could not set the terminal up (unknown TERM); the
  // display then shows nothing and reads nothing.
  bool Ready() const;

  Size GetSize() const override;
  void Show(const CellGrid& screen) override;
  void ForceRepaint() override;
  void SetCursor(Point p, bool visible) override;
  void Beep() override;
  bool ReadInput(Event& out) override;
  std::vector<int> InputFds() const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Turns one result of get_wch (is_key_code: it returned KEY_CODE_YES) into a
// key code of keys.h; 0 when it is not a key (mouse, resize, unknown).
// name is keyname() of the code, used for modified keys terminfo has no
// fixed constant for (kUP3 and friends). Exposed for tests.
int TranslateCursesKey(int ch, bool is_key_code, const char* name);

// Teaches curses the other common sequence of each editing and function key,
// so a TERM that does not match the terminal (xterm-256color inside tmux, a
// Linux console's F1 to F5) still gives keys and never types the sequence.
void DefineCommonKeySequences();

}  // namespace tk
