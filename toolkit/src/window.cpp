#include "toolkit/window.h"

#include <algorithm>

#include "toolkit/button.h"
#include "toolkit/keys.h"
#include "toolkit/utf8.h"
#include "toolkit/window_manager.h"

namespace tk {

Window::Window(Rect rect, std::string title, unsigned flags)
    : rect_(rect), title_(std::move(title)), flags_(flags) {}

Window::~Window() {
  if (manager_ != nullptr) manager_->Remove(*this);
}

Rect Window::GetRect() const {
  if (maximized_ && manager_ != nullptr) {
    Size s = manager_->ScreenSize();
    return {0, 0, s.cols, s.rows};
  }
  if (minimized_) return {rect_.left, rect_.top, rect_.width, 1};
  return rect_;
}

Rect Window::ClientRect() const {
  Rect r = GetRect();
  int inset = (flags_ & kBorder) ? 1 : 0;
  int menu = menu_ ? 1 : 0;
  Rect c{r.left + inset, r.top + inset + menu, r.width - 2 * inset, r.height - 2 * inset - menu};
  if (minimized_ || c.width < 0 || c.height < 0) c.width = c.height = 0;
  return c;
}

void Window::Center(Size screen) {
  Point p = CenterWindow(screen, rect_.width, rect_.height);
  MoveTo(p);
  centered_ = true;
}

MenuBar& Window::GetMenuBar() {
  if (!menu_) menu_ = std::make_unique<MenuBar>(*this);
  return *menu_;
}

void Window::Adopt(std::unique_ptr<Control> c) {
  c->window_ = this;
  if (auto* b = dynamic_cast<Button*>(c.get())) {
    if (b->Command() == cmd::kOk && default_command == 0) default_command = cmd::kOk;
    if (b->Command() == cmd::kCancel && cancel_command == 0) cancel_command = cmd::kCancel;
  }
  Control* raw = c.get();
  controls_.push_back(std::move(c));
  if (focus_ == nullptr && raw->Focusable() && raw->Visible() && raw->Enabled()) {
    focus_ = raw;
    raw->OnFocus(true);
  }
}

bool Window::SetFocus(Control* c) {
  if (c == focus_) return true;
  if (focus_ != nullptr) {
    if (!focus_->Valid()) {
      Beep();
      return false;
    }
    focus_->CloseOverlay();
    focus_->OnFocus(false);
  }
  focus_ = c;
  if (c != nullptr) c->OnFocus(true);
  return true;
}

bool Window::EnterControl(Control* c) {
  if (c != focus_) return SetFocus(c);
  if (c != nullptr) c->OnFocus(true);
  return true;
}

bool Window::FocusNext(bool backward) {
  std::vector<Control*> stops;
  for (const auto& c : controls_)
    if (c->Focusable() && c->Visible() && c->Enabled()) stops.push_back(c.get());
  if (stops.empty()) return false;
  auto it = std::find(stops.begin(), stops.end(), focus_);
  int n = static_cast<int>(stops.size());
  int i = it == stops.end() ? (backward ? n - 1 : 0)
                            : (static_cast<int>(it - stops.begin()) + (backward ? n - 1 : 1)) % n;
  return SetFocus(stops[i]);
}

bool Window::Validate() {
  for (const auto& c : controls_) {
    if (!c->Visible() || !c->Enabled() || c->Valid()) continue;
    if (focus_ != c.get()) {
      if (focus_ != nullptr) focus_->OnFocus(false);
      focus_ = c.get();
      focus_->OnFocus(true);
    }
    Beep();
    return false;
  }
  return true;
}

void Window::Post(Event e) {
  e.target = id_;
  if (manager_ != nullptr) manager_->Queue().Put(std::move(e));
}

void Window::Beep() {
  if (manager_ != nullptr) manager_->Beep();
}

Control* Window::OverlayControl() const {
  return focus_ != nullptr && focus_->OverlayOpen() ? focus_ : nullptr;
}

bool Window::HasOverlay() const { return (menu_ && menu_->Open()) || OverlayControl() != nullptr; }

Control* Window::ControlAt(Point p) const {
  Rect client = ClientRect();
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    const Control& c = **it;
    if (!c.Visible()) continue;
    Rect r = c.GetRect().Offset(client.left, client.top).Intersect(client);
    if (r.Contains(p)) return it->get();
  }
  return nullptr;
}

int Window::Deliver(const Event& e) {
  Control* oc = OverlayControl();
  if (e.kind == EventKind::kKey) {
    if (menu_ && menu_->Open()) {
      menu_->HandleKey(e.code);
      return 0;
    }
    if (oc != nullptr && oc->HandleKey(e.code)) return 0;
  } else if (e.kind == EventKind::kMouse) {
    if (menu_ && menu_->Open()) {
      menu_->HandleMouse(e);
      return 0;
    }
    if (oc != nullptr) {
      Rect client = ClientRect();
      Point origin{client.left + oc->GetRect().left, client.top + oc->GetRect().top};
      Point local{e.x - origin.x, e.y - origin.y};
      Rect own{0, 0, oc->GetRect().width, oc->GetRect().height};
      if (oc->OverlayRect().Contains(local) || own.Contains(local)) {
        oc->HandleMouse(e, local);
        return 0;
      }
      if (e.code == kMousePress || e.code == kMouseDoubleClick) oc->CloseOverlay();
    }
  } else if (e.kind == EventKind::kCommand) {
    bool confirms = e.code == cmd::kOk || e.code == cmd::kYes ||
                    (default_command != 0 && e.code == default_command);
    if (confirms && !Validate()) return 0;
  }
  return HandleEvent(e);
}

int Window::HandleEvent(const Event& e) {
  switch (e.kind) {
    case EventKind::kKey: DefaultKey(e.code); return 0;
    case EventKind::kMouse: DefaultMouse(e); return 0;
    case EventKind::kClose: return cmd::kCloseModal;
    case EventKind::kCommand:
      return e.code == cmd::kCancel && cancel_closes ? cmd::kCloseModal : e.code;
    default: return 0;
  }
}

void Window::PressDefault() {
  if (default_command != 0) Post(Event::Command(default_command));
}

void Window::PressCancel() {
  if (cancel_command != 0) {
    Post(Event::Command(cancel_command));
  } else if (esc_closes) {
    Post(Event::Close());
  }
}

bool Window::HotKey(char32_t key, bool) {
  if (key == 0) return false;
  for (const auto& c : controls_) {
    if (!c->Visible() || !c->Enabled() || !c->AnswersHotKey(key)) continue;
    if (c->Focusable() && !EnterControl(c.get())) return true;
    c->OnHotKey(key);
    return true;
  }
  return false;
}

bool Window::DefaultKey(int code) {
  if (menu_ && menu_->HandleKey(code)) return true;
  if (focus_ != nullptr && focus_->Visible() && focus_->Enabled() && focus_->HandleKey(code))
    return true;
  switch (code) {
    case key::kTab: return FocusNext(false);
    case key::kTab | key::kShift: return FocusNext(true);
    case key::kEnter: PressDefault(); return true;
    case key::kEscape: PressCancel(); return true;
    case key::F(1): Post(Event::Command(cmd::kHelp)); return true;
    default: break;
  }
  // Arrows walk between buttons and check boxes, as in a row of buttons.
  bool simple =
      dynamic_cast<Button*>(focus_) != nullptr || dynamic_cast<CheckBox*>(focus_) != nullptr;
  if (simple && (code == key::kRight || code == key::kDown)) return FocusNext(false);
  if (simple && (code == key::kLeft || code == key::kUp)) return FocusNext(true);
  if (key::Mods(code) == key::kAlt)
    return HotKey(FoldCase(static_cast<char32_t>(key::Base(code))), true);
  if (key::IsPrintable(code)) return HotKey(FoldCase(static_cast<char32_t>(code)), false);
  return false;
}

bool Window::MouseOnFrame(const Event& e, const Rect& r) {
  if (e.code != kMousePress) return true;
  int x = e.x - r.left;
  if ((flags_ & kSystemButton) && x >= 1 && x <= 3) {
    Post(Event::Close());
    return true;
  }
  int right = r.width - 4;  // the rightmost button starts here
  if (flags_ & kMaximizeButton) {
    if (x >= right && x <= right + 2) {
      SetMaximized(!maximized_);
      return true;
    }
    right -= 3;
  }
  if ((flags_ & kMinimizeButton) && x >= right && x <= right + 2) {
    SetMinimized(!minimized_);
    return true;
  }
  return true;
}

bool Window::DefaultMouse(const Event& e) {
  Rect r = GetRect();
  if (e.y == r.top && (flags_ & kBorder)) return MouseOnFrame(e, r);
  if (menu_ && menu_->HandleMouse(e)) return true;
  Control* c = ControlAt({e.x, e.y});
  if (c == nullptr || !c->Enabled()) return false;
  bool press = e.code == kMousePress || e.code == kMouseDoubleClick;
  if (press && c->Focusable() && !SetFocus(c)) return true;
  Rect client = ClientRect();
  return c->HandleMouse(
      e, {e.x - client.left - c->GetRect().left, e.y - client.top - c->GetRect().top});
}

void Window::Draw(CellGrid& screen, const Theme& t, bool active) const {
  Rect r = GetRect();
  Painter p(screen, t, {r.left, r.top}, r);
  p.Fill({0, 0, r.width, r.height}, U' ', t.window);
  Attr frame = active ? t.border_active : t.border;
  if (flags_ & kBorder) {
    if (r.height >= 2) {
      p.Box({0, 0, r.width, r.height}, frame, active);
    } else {
      p.HLine(0, 0, r.width, active ? U'═' : U'─', frame);
    }
  }
  // Title centred in the top row, between the decorations.
  int deco_left = (flags_ & kSystemButton) ? 4 : 1;
  int deco_right = 1 + ((flags_ & kMaximizeButton) ? 3 : 0) + ((flags_ & kMinimizeButton) ? 3 : 0);
  int span = r.width - deco_left - deco_right;
  if (!title_.empty() && span > 2) {
    std::u32string title = DecodeUtf8(title_);
    if (static_cast<int>(title.size()) > span - 2) title.resize(span - 2);
    int len = static_cast<int>(title.size()) + 2;
    int x = deco_left + (span - len) / 2;
    p.Put(x, 0, U' ', t.title);
    p.Text(x + 1, 0, title, t.title);
    p.Put(x + len - 1, 0, U' ', t.title);
  }
  if (flags_ & kSystemButton) p.Text(1, 0, U"[■]", t.decoration);
  int right = r.width - 4;
  if (flags_ & kMaximizeButton) {
    p.Text(right, 0, maximized_ ? U"[↕]" : U"[↑]", t.decoration);
    right -= 3;
  }
  if (flags_ & kMinimizeButton) p.Text(right, 0, U"[↓]", t.decoration);
  if (minimized_) return;

  int inset = (flags_ & kBorder) ? 1 : 0;
  if (menu_) {
    Painter row = p.Sub({inset, inset, r.width - 2 * inset, 1});
    menu_->Draw(row);
  }
  Rect client = ClientRect();
  for (const auto& c : controls_) {
    if (!c->Visible()) continue;
    Rect cr = c->GetRect().Offset(client.left, client.top);
    Painter cp(screen, t, {cr.left, cr.top}, cr.Intersect(client));
    c->Draw(cp);
  }
  if ((flags_ & kShadow) && !maximized_) {
    Painter s(screen, t, {0, 0}, {0, 0, screen.GetSize().cols, screen.GetSize().rows});
    for (int y = r.top + 1; y <= r.Bottom(); ++y) {
      s.SetAttr(r.Right(), y, t.shadow);
      s.SetAttr(r.Right() + 1, y, t.shadow);
    }
    for (int x = r.left + 2; x < r.Right(); ++x) s.SetAttr(x, r.Bottom(), t.shadow);
  }
}

void Window::DrawOverlays(CellGrid& screen, const Theme& t) const {
  Rect all{0, 0, screen.GetSize().cols, screen.GetSize().rows};
  if (menu_ && menu_->Open()) {
    Painter p(screen, t, {0, 0}, all);
    menu_->DrawDropDown(p);
  }
  if (Control* oc = OverlayControl()) {
    Rect client = ClientRect();
    Painter p(screen, t, {client.left + oc->GetRect().left, client.top + oc->GetRect().top}, all);
    oc->DrawOverlay(p);
  }
}

std::optional<Point> Window::CursorScreenPos() const {
  if (focus_ == nullptr || !focus_->Visible() || !focus_->Enabled() || HasOverlay() || minimized_)
    return std::nullopt;
  std::optional<Point> local = focus_->CursorPos();
  if (!local) return std::nullopt;
  Rect client = ClientRect();
  Point p{client.left + focus_->GetRect().left + local->x,
          client.top + focus_->GetRect().top + local->y};
  if (!client.Contains(p)) return std::nullopt;
  return p;
}

}  // namespace tk
