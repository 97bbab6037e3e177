// A window: frame, title, optional decorations and menu bar, and the
// controls it owns. Positions are screen cells; controls are placed
// relative to the client area (inside the border, below the menu bar).
//
// A program derives from Window and overrides HandleEvent to turn events
// into its own behaviour, calling Window::HandleEvent for everything it does
// not handle. The answer of HandleEvent is the window's code for the event;
// a modal loop ends when its window answers one of the loop's end codes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/commands.h"
#include "toolkit/control.h"
#include "toolkit/menu_bar.h"

namespace tk {

class WindowManager;

enum WindowFlags : unsigned {
  kBorder = 1,
  kSystemButton = 2,    // [■] at the left of the title bar: a click is a close request
  kMinimizeButton = 4,  // collapses the window to its title bar and back
  kMaximizeButton = 8,  // fills the screen and back
  kShadow = 16,
};

class Window {
 public:
  Window(Rect rect, std::string title, unsigned flags = kBorder | kShadow);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Default handling: keys navigate and press, mouse clicks focus and press,
  // a close request answers kCloseModal, a command answers its own code
  // (Cancel answers kCloseModal), F1 posts kHelp.
  virtual int HandleEvent(const Event& e);
  // Called by the window manager: open menus and pop-ups take keys and
  // clicks first, and OK/Yes/the default command are refused (answer 0)
  // while a control holds an invalid value. Then HandleEvent.
  int Deliver(const Event& e);

  int Id() const { return id_; }
  WindowManager* Manager() const { return manager_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string t) { title_ = std::move(t); }
  unsigned Flags() const { return flags_; }

  Rect GetRect() const;  // as shown (maximised or minimised)
  Rect NormalRect() const { return rect_; }
  void SetRect(Rect r) { rect_ = r; }
  void MoveTo(Point p) {
    rect_.left = p.x;
    rect_.top = p.y;
  }
  Rect ClientRect() const;  // screen coordinates
  bool Maximized() const { return maximized_; }
  bool Minimized() const { return minimized_; }
  void SetMaximized(bool on) {
    maximized_ = on;
    minimized_ = false;
  }
  void SetMinimized(bool on) { minimized_ = on; }
  // Place centred on the screen (CenterWindow rule) and stay centred when
  // the screen changes size.
  void Center(Size screen);
  bool Centered() const { return centered_; }

  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto c = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *c;
    Adopt(std::move(c));
    return ref;
  }
  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }

  MenuBar& GetMenuBar();  // created on first use
  bool HasMenuBar() const { return menu_ != nullptr; }

  Control* Focus() const { return focus_; }
  // False when the focused control refuses to give up focus (invalid value).
  bool SetFocus(Control* c);
  // Focus by a hot key: a control that has the focus already is entered
  // afresh (a text field selects its text again).
  bool EnterControl(Control* c);
  bool FocusNext(bool backward);
  // Every control valid? If not, focus goes to the first invalid one and the
  // window beeps.
  bool Validate();

  // Enter presses this command when no focused control takes Enter; set to
  // OK when an OK button is added. Esc presses cancel_command if set (set by
  // a Cancel button), else sends a close request when esc_closes is on.
  int default_command = 0;
  int cancel_command = 0;
  bool esc_closes = true;
  // Cancel answers kCloseModal by default; off, it answers kCancel like any
  // other button (a message box that reports which button was pressed).
  bool cancel_closes = true;

  void Post(Event e);  // into the queue, addressed to this window
  void Beep();
  const Theme& GetTheme() const;

  void Draw(CellGrid& screen, const Theme& theme, bool active) const;
  void DrawOverlays(CellGrid& screen, const Theme& theme) const;
  bool HasOverlay() const;
  std::optional<Point> CursorScreenPos() const;

 protected:
  bool DefaultKey(int code);
  bool DefaultMouse(const Event& e);

 private:
  friend class WindowManager;
  void Adopt(std::unique_ptr<Control> c);
  Control* ControlAt(Point screen) const;
  Control* OverlayControl() const;
  bool HotKey(char32_t key, bool with_alt);
  void PressDefault();
  void PressCancel();
  bool MouseOnFrame(const Event& e, const Rect& r);

  int id_ = 0;
  WindowManager* manager_ = nullptr;
  Rect rect_;
  std::string title_;
  unsigned flags_;
  bool maximized_ = false;
  bool minimized_ = false;
  bool centered_ = false;
  std::vector<std::unique_ptr<Control>> controls_;
  std::unique_ptr<MenuBar> menu_;
  Control* focus_ = nullptr;
};

}  // namespace tk
