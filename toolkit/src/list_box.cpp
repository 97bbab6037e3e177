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

int ListBox::MaxTop() const { return std::max(Count() - Rows(), 0); }

void ListBox::SetTop(int t) { top_ = std::clamp(t, 0, MaxTop()); }

void ListBox::SetSelected(int i) {
  selected_ = (i >= 0 && i < Count()) ? i : -1;
  if (selected_ < 0) return;
  if (selected_ < top_) SetTop(selected_);
  if (selected_ >= top_ + Rows()) SetTop(selected_ - Rows() + 1);
}

void ListBox::Notify(int code) {
  if (code == 0 || selected_ < 0) return;
  Post(add_index ? code + selected_ : code, selected_, items_[selected_]);
}

void ListBox::MoveTo(int index) {
  if (Count() == 0) return;
  index = std::clamp(index, 0, Count() - 1);
  if (index == selected_) return;
  SetSelected(index);
  Notify(select_command);
}

void ListBox::Choose() { Notify(choose_command); }

bool ListBox::HandleKey(int code) {
  if (!selectable) {
    switch (code) {
      case key::kUp: SetTop(top_ - 1); return true;
      case key::kDown: SetTop(top_ + 1); return true;
      case key::kPageUp: SetTop(top_ - Rows()); return true;
      case key::kPageDown: SetTop(top_ + Rows()); return true;
      case key::kHome: SetTop(0); return true;
      case key::kEnd: SetTop(MaxTop()); return true;
      default: return false;
    }
  }
  int page = std::max(Rows() - 1, 1);
  switch (code) {
    case key::kUp: MoveTo(selected_ < 0 ? 0 : selected_ - 1); return true;
    case key::kDown: MoveTo(selected_ + 1); return true;
    case key::kPageUp: MoveTo(selected_ - page); return true;
    case key::kPageDown: MoveTo(selected_ < 0 ? page : selected_ + page); return true;
    case key::kHome: MoveTo(0); return true;
    case key::kEnd: MoveTo(Count() - 1); return true;
    case key::kEnter:
      if (choose_command == 0 || selected_ < 0) return false;
      Choose();
      return true;
    default: break;
  }
  if (key::IsPrintable(code) && code != U' ') {
    // The next row, after the selected one, that starts with the letter.
    char32_t want = FoldCase(static_cast<char32_t>(code));
    for (int k = 1; k <= Count(); ++k) {
      int i = (std::max(selected_, -1) + k) % Count();
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
  int h = Rows();
  if (y == 0) {
    SetTop(top_ - 1);
  } else if (y == h - 1) {
    SetTop(top_ + 1);
  } else {
    int track = h - 2;
    int thumb = MaxTop() == 0 ? 0 : (top_ * (track - 1) + MaxTop() / 2) / MaxTop();
    SetTop(y - 1 < thumb ? top_ - h : top_ + h);
  }
  return true;
}

bool ListBox::HandleMouse(const Event& e, Point local) {
  if (e.code == kMouseWheelUp || e.code == kMouseWheelDown) {
    SetTop(top_ + (e.code == kMouseWheelUp ? -3 : 3));
    return true;
  }
  if (scroll_bar_ && local.x == GetRect().width - 1) {
    if (e.code == kMousePress || e.code == kMouseDoubleClick) ScrollBarClick(local.y);
    return true;
  }
  int index = top_ + local.y;
  if (!selectable || index >= Count()) return true;
  if (e.code == kMousePress) {
    MoveTo(index);
  } else if (e.code == kMouseDoubleClick) {
    MoveTo(index);
    Choose();
  }
  return true;
}

void ListBox::DrawScrollBar(Painter& p) const {
  const Theme& t = p.GetTheme();
  int x = GetRect().width - 1, h = Rows();
  if (h < 2) return;
  p.Put(x, 0, U'▲', t.scroll_bar);
  p.Put(x, h - 1, U'▼', t.scroll_bar);
  int track = h - 2;
  for (int y = 1; y <= track; ++y) p.Put(x, y, U'░', t.scroll_bar);
  if (track > 0 && MaxTop() > 0) {
    int thumb = (top_ * (track - 1) + MaxTop() / 2) / MaxTop();
    p.Put(x, 1 + thumb, U'█', t.scroll_bar);
  }
}

void ListBox::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  int w = TextWidth();
  p.Fill({0, 0, w, Rows()}, U' ', t.list);
  for (int y = 0; y < Rows() && top_ + y < Count(); ++y) {
    int i = top_ + y;
    Attr a = t.list;
    if (selectable && i == selected_) a = Focused() ? t.list_selected : t.list_selected_unfocused;
    p.Fill({0, y, w, 1}, U' ', a);
    p.Text(0, y, items_[i], a, w);
  }
  if (scroll_bar_) DrawScrollBar(p);
}

DropDownList::DropDownList(Rect r, int command, int list_rows)
    : Control({r.left, r.top, r.width, 1}), list_rows_(std::max(list_rows, 1)) {
  SetCommand(command);
}

void DropDownList::SetSelected(int i) { selected_ = (i >= 0 && i < Count()) ? i : -1; }

bool DropDownList::SelectText(const std::string& text) {
  for (int i = 0; i < Count(); ++i) {
    if (items_[i] == text) {
      selected_ = i;
      return true;
    }
  }
  return false;
}

void DropDownList::Choose(int index) {
  if (index < 0 || index >= Count()) return;
  bool changed = index != selected_;
  selected_ = index;
  if (changed && Command() != 0) Post(Command(), index, items_[index]);
}

void DropDownList::ShowHighlight() {
  int rows = std::min(list_rows_, Count());
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
      case key::kDown: highlight_ = std::min(highlight_ + 1, Count() - 1); break;
      case key::kPageUp: highlight_ = std::max(highlight_ - list_rows_, 0); break;
      case key::kPageDown: highlight_ = std::min(highlight_ + list_rows_, Count() - 1); break;
      case key::kHome: highlight_ = 0; break;
      case key::kEnd: highlight_ = Count() - 1; break;
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
    case key::kDown: Choose(std::min(selected_ + 1, Count() - 1)); return true;
    case key::kEnter:
    case U' ':
    case key::kDown | key::kAlt:
    case key::F(4):
      if (Count() == 0) return code != key::kEnter;
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
  int rows = std::min(list_rows_, Count());
  Window* w = GetWindow();
  if (w != nullptr && w->Manager() != nullptr) {
    int screen_y = w->ClientRect().top + GetRect().top;
    if (screen_y + 1 + rows > w->Manager()->ScreenSize().rows && screen_y - rows >= 0)
      return {0, -rows, GetRect().width, rows};
  }
  return {0, 1, GetRect().width, rows};
}

bool DropDownList::HandleMouse(const Event& e, Point local) {
  if (e.code == kMouseWheelUp || e.code == kMouseWheelDown) {
    if (!open_ && Count() > 0)
      Choose(std::clamp(selected_ + (e.code == kMouseWheelUp ? -1 : 1), 0, Count() - 1));
    return true;
  }
  if (e.code != kMousePress && e.code != kMouseDoubleClick) return true;
  if (local.y == 0) {  // the closed row toggles the list
    open_ = !open_ && Count() > 0;
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
  const Theme& t = p.GetTheme();
  int w = GetRect().width;
  Attr a = !Enabled() ? t.disabled : Focused() ? t.field_focused : t.field;
  p.Fill({0, 0, w, 1}, U' ', a);
  if (selected_ >= 0) p.Text(0, 0, items_[selected_], a, w - 1);
  p.Put(w - 1, 0, U'▼', t.button);
}

void DropDownList::DrawOverlay(Painter& p) const {
  const Theme& t = p.GetTheme();
  Rect r = OverlayRect();
  for (int y = 0; y < r.height; ++y) {
    int i = top_ + y;
    Attr a = i == highlight_ ? t.list_selected : t.list;
    p.Fill({0, r.top + y, r.width, 1}, U' ', a);
    if (i < Count()) p.Text(0, r.top + y, items_[i], a, r.width);
  }
}

}  // namespace tk
