// Base of every control. A control sits at a rectangle relative to its
// window's client area, draws itself through a Painter whose origin is its
// own top-left cell, and reports to its window by posting command events.
#pragma once

#include <optional>
#include <string>

#include "toolkit/event.h"
#include "toolkit/painter.h"

namespace tk {

class Window;

class Control {
 public:
  explicit Control(Rect rect) : rect_(rect) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Rect GetRect() const { return rect_; }
  void SetRect(Rect r) { rect_ = r; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e) { enabled_ = e; }
  int Command() const { return command_; }
  void SetCommand(int c) { command_ = c; }
  Window* GetWindow() const { return window_; }
  bool Focused() const;

  // A tab stop, when visible and enabled.
  virtual bool Focusable() const { return false; }
  virtual void Draw(Painter& p) const = 0;
  // Keys reach the focused control first; true means consumed.
  virtual bool HandleKey(int code) {
    (void)code;
    return false;
  }
  // Mouse events on the control; local is relative to its corner.
  virtual bool HandleMouse(const Event& e, Point local) {
    (void)e;
    (void)local;
    return false;
  }
  // The hot key marked with "&" in the control's text (lower case), 0: none.
  virtual char32_t HotKey() const { return 0; }
  virtual bool AnswersHotKey(char32_t key) const { return key != 0 && HotKey() == key; }
  // The hot key was pressed (the window has already tried to focus it).
  virtual void OnHotKey(char32_t key) { (void)key; }
  // Asked before focus leaves the control and before OK is accepted.
  virtual bool Valid() { return true; }
  virtual void OnFocus(bool gained) { (void)gained; }
  // Where the terminal cursor goes while the control has focus (local).
  virtual std::optional<Point> CursorPos() const { return std::nullopt; }

  // A pop-up part (an open drop-down list) drawn above all windows.
  virtual bool OverlayOpen() const { return false; }
  virtual Rect OverlayRect() const { return {}; }  // local coordinates
  virtual void DrawOverlay(Painter& p) const { (void)p; }
  virtual void CloseOverlay() {}

 protected:
  // Posts a command event addressed to this control's window.
  void Post(int code, int param = 0, std::string text = {});
  void Beep();

 private:
  friend class Window;
  Window* window_ = nullptr;
  Rect rect_;
  int command_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
};

}  // namespace tk
