#include "toolkit/window_manager.h"

#include <algorithm>

namespace tk {

WindowManager::WindowManager(Display& display, EventQueue& queue, Theme theme)
    : display_(display), queue_(queue), theme_(theme) {
  screen_.Resize(display_.GetSize(), {U' ', theme_.desktop});
}

WindowManager::~WindowManager() {
  for (Window* w : stack_) w->manager_ = nullptr;
}

void WindowManager::Add(Window& w) {
  if (Contains(w)) Remove(w);
  if (w.id_ == 0) w.id_ = next_id_++;
  w.manager_ = this;
  stack_.push_back(&w);
}

void WindowManager::Remove(Window& w) {
  auto it = std::find(stack_.begin(), stack_.end(), &w);
  if (it == stack_.end()) return;
  stack_.erase(it);
  w.manager_ = nullptr;
}

bool WindowManager::Contains(const Window& w) const {
  return std::find(stack_.begin(), stack_.end(), &w) != stack_.end();
}

Window* WindowManager::Find(int id) const {
  for (Window* w : stack_)
    if (w->Id() == id) return w;
  return nullptr;
}

// An open menu or pop-up captures the mouse (a click elsewhere closes it);
// otherwise the topmost window under the pointer gets it.
Window* WindowManager::MouseTarget(Point p) const {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    if ((*it)->HasOverlay()) return *it;
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
    if ((*it)->GetRect().Contains(p)) return *it;
  return nullptr;
}

void WindowManager::AdjustToScreen() {
  Size s = display_.GetSize();
  screen_.Resize(s, {U' ', theme_.desktop});
  for (Window* w : stack_)
    if (w->Centered()) w->Center(s);
}

DispatchResult WindowManager::Dispatch(const Event& e) {
  Window* target = nullptr;
  switch (e.kind) {
    case EventKind::kQuit: end_requested_ = true; return {};
    case EventKind::kRedisplay: {
      if (e.code == kResized) AdjustToScreen();
      std::vector<Window*> all = stack_;  // a handler may change the stack
      for (Window* w : all)
        if (Contains(*w)) w->Deliver(e);
      display_.ForceRepaint();
      return {};
    }
    case EventKind::kKey:
      for (auto it = stack_.rbegin(); it != stack_.rend() && target == nullptr; ++it)
        if ((*it)->HasOverlay()) target = *it;
      if (target == nullptr) target = Front();
      break;
    case EventKind::kMouse: target = MouseTarget({e.x, e.y}); break;
    case EventKind::kCommand:
    case EventKind::kClose:
      // Addressed to a window that is gone: dropped.
      target = e.target != 0 ? Find(e.target) : Front();
      break;
    default: return {};
  }
  if (target == nullptr) return {};
  return {target, target->Deliver(e)};
}

void WindowManager::Redraw() {
  if (display_.GetSize() != screen_.GetSize()) AdjustToScreen();
  screen_.Fill({U' ', theme_.desktop});
  for (Window* w : stack_) w->Draw(screen_, theme_, w == Front());
  for (Window* w : stack_) w->DrawOverlays(screen_, theme_);
  std::optional<Point> cursor;
  if (Window* f = Front()) cursor = f->CursorScreenPos();
  display_.SetCursor(cursor.value_or(Point{0, 0}), cursor.has_value());
  display_.Show(screen_);
}

int WindowManager::RunModal(Window& w, std::initializer_list<int> end_codes) {
  std::vector<int> codes(end_codes);
  return RunModal(
      w, [&codes](int code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); });
}

int WindowManager::RunModal(Window& w, const std::function<bool(int)>& ends) {
  bool added = !Contains(w);
  if (Front() != &w) Add(w);
  Redraw();
  int result = 0;
  for (;;) {
    if (Front() != &w) break;  // closed or covered by other means
    Event e;
    if (!queue_.Wait(e, -1)) continue;
    if (e.kind == EventKind::kQuit) {
      // Every loop on the stack ends; the main loop sees the request last.
      queue_.Put(e);
      result = cmd::kCancel;
      break;
    }
    DispatchResult r = Dispatch(e);
    if (r.window == &w && ends(r.code)) {
      result = r.code;
      break;
    }
    Redraw();
  }
  if (added) Remove(w);
  Redraw();
  return result;
}

void WindowManager::Run() {
  Redraw();
  while (!end_requested_) {
    Event e;
    if (!queue_.Wait(e, -1)) continue;
    Dispatch(e);
    if (!end_requested_) Redraw();
  }
}

bool WindowManager::PumpOne(int timeout_ms, Event* taken) {
  Event e;
  if (!queue_.Wait(e, timeout_ms)) return false;
  Dispatch(e);
  Redraw();
  if (taken != nullptr) *taken = std::move(e);
  return true;
}

}  // namespace tk
