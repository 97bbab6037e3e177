#include "toolkit/list_box.h"

#include <algorithm>

#include "toolkit/keys.h"
#include "toolkit/utf8.h"
#include "toolkit/window.h"
#include "toolkit/window_manager.h"

namespace tk {

void ListBox::Clear() {
  items_.clear();
  selected_ = -1;
  top_ = 0;
}

int ListBox::max_top() const { return std::max(count() - rows(), 0); }

void ListBox::set_top(int t) { top_ = std::clamp(t, 0, max_top()); }

void ListBox::set_selected(int i) {
  selected_ = (i >= 0 && i < count()) ? i : -1;
  if (selected_ < 0) return;
  if (selected_ < top_) set_top(selected_);
  if (selected_ >= top_ + rows()) set_top(selected_ - rows() + 1);
}

void ListBox::Notify(int code) {
  if (code == 0 || selected_ < 0) return;
  Post(add_index ? code + selected_ : code, selected_, items_[selected_]);
}

void ListBox::MoveTo(int index) {
  if (count() == 0) return;
  index = std::clamp(index, 0, count() - 1);
  if (index == selected_) return;
  set_selected(index);
  Notify(select_command);
}

void ListBox::Choose() { Notify(choose_command); }

bool ListBox::HandleKey(int code) {
  if (!selectable) {
    switch (code) {
      case key::kUp: set_top(top_ - 1); return true;
      case key::kDown: set_top(top_ + 1); return true;
      case key::kPageUp: set_top(top_ - rows()); return true;
      case key::kPageDown: set_top(top_ + rows()); return true;
      case key::kHome: set_top(0); return true;
      case key::kEnd: set_top(max_top()); return true;
      default: return false;
    }
  }
  int page = std::max(rows() - 1, 1);
  switch (code) {
    case key::kUp: MoveTo(selected_ < 0 ? 0 : selected_ - 1); return true;
    case key::kDown: MoveTo(selected_ + 1); return true;
    case key::kPageUp: MoveTo(selected_ - page); return true;
    case key::kPageDown: MoveTo(selected_ < 0 ? page : selected_ + page); return true;
    case key::kHome: MoveTo(0); return true;
    case key::kEnd: MoveTo(count() - 1); return true;
    case key::kEnter:
      if (choose_command == 0 || selected_ < 0) return false;
      Choose();
      return true;
    default: break;
  }
  if (key::IsPrintable(code) && code != U' ') {
    // The next row, after the selected one, that starts with the letter.
    char32_t want = FoldCase(static_cast<char32_t>(code));
    for (int k = 1; k <= count(); ++k) {
      int i = (std::max(selected_, -1) + k) % count();
      std::u32string s = DecodeUtf8(items_[i]);
      if (!s.empty() && FoldCase(s[0]) == want) {
        MoveTo(i);
        return true;
      }
    }
    return false;
  }
  return false;
}

// The scroll bar: arrow cells at both ends move one row, the track above or
// below the thumb moves a page.
bool ListBox::ScrollBarClick(int y) {
  int h = rows();
  if (y == 0) {
    set_top(top_ - 1);
  } else if (y == h - 1) {
    set_top(top_ + 1);
  } else {
    int track = h - 2;
    int thumb = max_top() == 0 ? 0 : (top_ * (track - 1) + max_top() / 2) / max_top();
    set_top(y - 1 < thumb ? top_ - h : top_ + h);
  }
  return true;
}

bool ListBox::HandleMouse(const Event& e, Point local) {
  if (e.code == kMouseWheelUp || e.code == kMouseWheelDown) {
    set_top(top_ + (e.code == kMouseWheelUp ? -3 : 3));
    return true;
  }
  if (scroll_bar_ && local.x == rect().width - 1) {
    if (e.code == kMousePress || e.code == kMouseDoubleClick) ScrollBarClick(local.y);
    return true;
  }
  int index = top_ + local.y;
  if (!selectable || index >= count()) return true;
  if (e.code == kMousePress) {
    MoveTo(index);
  } else if (e.code == kMouseDoubleClick) {
    MoveTo(index);
    Choose();
  }
  return true;
}

void ListBox::DrawScrollBar(Painter& p) const {
  const Theme& t = p.theme();
  int x = rect().width - 1, h = rows();
  if (h < 2) return;
  p.Put(x, 0, U'▲', t.scroll_bar);
  p.Put(x, h - 1, U'▼', t.scroll_bar);
  int track = h - 2;
  for (int y = 1; y <= track; ++y) p.Put(x, y, U'░', t.scroll_bar);
  if (track > 0 && max_top() > 0) {
    int thumb = (top_ * (track - 1) + max_top() / 2) / max_top();
    p.Put(x, 1 + thumb, U'█', t.scroll_bar);
  }
}

void ListBox::Draw(Painter& p) const {
  const Theme& t = p.theme();
  int w = text_width();
  p.Fill({0, 0, w, rows()}, U' ', t.list);
  for (int y = 0; y < rows() && top_ + y < count(); ++y) {
    int i = top_ + y;
    Attr a = t.list;
    if (selectable && i == selected_) a = focused() ? t.list_selected : t.list_selected_unfocused;
    p.Fill({0, y, w, 1}, U' ', a);
    p.Text(0, y, items_[i], a, w);
  }
  if (scroll_bar_) DrawScrollBar(p);
}

DropDownList::DropDownList(Rect r, int command, int list_rows)
    : Control({r.left, r.top, r.width, 1}), list_rows_(std::max(list_rows, 1)) {
  set_command(command);
}

void DropDownList::set_selected(int i) { selected_ = (i >= 0 && i < count()) ? i : -1; }

bool DropDownList::SelectText(const std::string& text) {
  for (int i = 0; i < count(); ++i) {
    if (items_[i] == text) {
      selected_ = i;
      return true;
    }
  }
  return false;
}

void DropDownList::Choose(int index) {
  if (index < 0 || index >= count()) return;
  bool changed = index != selected_;
  selected_ = index;
  if (changed && command() != 0) Post(command(), index, items_[index]);
}

void DropDownList::ShowHighlight() {
  int rows = std::min(list_rows_, count());
  if (highlight_ < top_) top_ = highlight_;
  if (highlight_ >= top_ + rows) top_ = highlight_ - rows + 1;
}

void DropDownList::OnFocus(bool gained) {
  if (!gained) open_ = false;
}

bool DropDownList::HandleKey(int code) {
  if (open_) {
    switch (code) {
      case key::kUp: highlight_ = std::max(highlight_ - 1, 0); break;
      case key::kDown: highlight_ = std::min(highlight_ + 1, count() - 1); break;
      case key::kPageUp: highlight_ = std::max(highlight_ - list_rows_, 0); break;
      case key::kPageDown: highlight_ = std::min(highlight_ + list_rows_, count() - 1); break;
      case key::kHome: highlight_ = 0; break;
      case key::kEnd: highlight_ = count() - 1; break;
      case key::kEnter:
      case U' ':
        open_ = false;
        Choose(highlight_);
        return true;
      case key::kEscape:
      case key::kTab:
      case key::kTab | key::kShift: open_ = false; return code == key::kEscape;
      default: return true;  // an open list keeps the keys to itself
    }
    ShowHighlight();
    return true;
  }
  switch (code) {
    case key::kUp: Choose(std::max(selected_ - 1, 0)); return true;
    case key::kDown: Choose(std::min(selected_ + 1, count() - 1)); return true;
    case key::kEnter:
    case U' ':
    case key::kDown | key::kAlt:
    case key::F(4):
      if (count() == 0) return code != key::kEnter;
      open_ = true;
      highlight_ = std::max(selected_, 0);
      top_ = 0;
      ShowHighlight();
      return true;
    default: return false;
  }
}

// Below the row, or above it when the screen ends first.
Rect DropDownList::OverlayRect() const {
  int rows = std::min(list_rows_, count());
  Window* w = window();
  if (w != nullptr && w->manager() != nullptr) {
    int screen_y = w->client_rect().top + rect().top;
    if (screen_y + 1 + rows > w->manager()->screen_size().rows && screen_y - rows >= 0)
      return {0, -rows, rect().width, rows};
  }
  return {0, 1, rect().width, rows};
}

bool DropDownList::HandleMouse(const Event& e, Point local) {
  if (e.code == kMouseWheelUp || e.code == kMouseWheelDown) {
    if (!open_ && count() > 0)
      Choose(std::clamp(selected_ + (e.code == kMouseWheelUp ? -1 : 1), 0, count() - 1));
    return true;
  }
  if (e.code != kMousePress && e.code != kMouseDoubleClick) return true;
  if (local.y == 0) {  // the closed row toggles the list
    open_ = !open_ && count() > 0;
    highlight_ = std::max(selected_, 0);
    top_ = 0;
    ShowHighlight();
    return true;
  }
  Rect list = OverlayRect();
  if (open_ && list.Contains(local)) {
    open_ = false;
    Choose(top_ + local.y - list.top);
  }
  return true;
}

void DropDownList::Draw(Painter& p) const {
  const Theme& t = p.theme();
  int w = rect().width;
  Attr a = !enabled() ? t.disabled : focused() ? t.field_focused : t.field;
  p.Fill({0, 0, w, 1}, U' ', a);
  if (selected_ >= 0) p.Text(0, 0, items_[selected_], a, w - 1);
  p.Put(w - 1, 0, U'▼', t.button);
}

void DropDownList::DrawOverlay(Painter& p) const {
  const Theme& t = p.theme();
  Rect r = OverlayRect();
  for (int y = 0; y < r.height; ++y) {
    int i = top_ + y;
    Attr a = i == highlight_ ? t.list_selected : t.list;
    p.Fill({0, r.top + y, r.width, 1}, U' ', a);
    if (i < count()) p.Text(0, r.top + y, items_[i], a, r.width);
  }
}

}  // namespace tk
