// A display without a terminal: the screen is a cell grid in memory and the
// input is a script. Tests drive windows through it and read what they show.
//
//   HeadlessDisplay d(80, 25);
//   d.Key(key::kTab).Type("abc").Click(10, 5).Then([&] { EXPECT_...(d.Text(5)); });
//
// Script steps are handed out one per ReadInput in order; a Then step runs
// its callback when reached (with the screen as drawn after everything
// before it) and goes on to the next step. A Resize step changes the size
// and yields a resize event. When the script runs out, ReadInput hands out
// the fallback event on every call (by default the program-end request), so
// every loop still running comes to an end.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/display.h"

namespace tk {

class HeadlessDisplay : public Display {
 public:
  HeadlessDisplay(int cols, int rows);

  Size GetSize() const override { return size_; }
  void Show(const CellGrid& screen) override;
  void SetCursor(Point p, bool visible) override;
  void Beep() override { ++beeps_; }
  bool ReadInput(Event& out) override;
  std::vector<int> InputFds() const override { return {}; }

  // Script building; each returns *this.
  HeadlessDisplay& Key(int code);
  HeadlessDisplay& Keys(std::initializer_list<int> codes);
  HeadlessDisplay& Type(std::string_view utf8);  // one key event per character
  HeadlessDisplay& Click(int x, int y, int button = 1);
  HeadlessDisplay& DoubleClick(int x, int y);
  HeadlessDisplay& Wheel(int x, int y, bool up);
  HeadlessDisplay& Send(Event e);
  HeadlessDisplay& Resize(int cols, int rows);
  HeadlessDisplay& Then(std::function<void()> fn);
  bool ScriptDone() const { return script_.empty(); }
  void SetFallback(Event e) { fallback_ = std::move(e); }
  void ClearFallback() { fallback_.reset(); }

  // What the screen shows (as of the last Show).
  std::string Text(int row) const;                    // UTF-8, trailing blanks removed
  std::string Dump() const;                           // all rows, '\n' after each
  std::string TextAt(int x, int y, int cells) const;  // UTF-8 of cells from (x, y)
  const Cell& CellAt(int x, int y) const { return shown_.At(x, y); }
  // First position of text on screen (top to bottom, left to right); {-1,-1} if absent.
  Point Find(std::string_view utf8) const;
  Point Cursor() const { return cursor_; }
  bool CursorVisible() const { return cursor_visible_; }
  int Beeps() const { return beeps_; }
  int Shows() const { return shows_; }

 private:
  struct Step {
    Event event;
    std::function<void()> action;
    Size resize;
  };
  Size size_;
  CellGrid shown_;
  std::deque<Step> script_;
  std::optional<Event> fallback_ = Event::Quit();
  Point cursor_;
  bool cursor_visible_ = false;
  int beeps_ = 0;
  int shows_ = 0;
};

}  // namespace tk
