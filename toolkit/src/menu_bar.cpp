#include "toolkit/menu_bar.h"

#include <algorithm>

#include "toolkit/keys.h"
#include "toolkit/utf8.h"
#include "toolkit/window.h"

namespace tk {

namespace {

int Cells(std::string_view label) { return static_cast<int>(ParseHotText(label).text.size()); }

// "text\thint": the label and the right-aligned hint (a key name).
std::pair<std::string_view, std::string_view> SplitHint(std::string_view s) {
  size_t tab = s.find('\t');
  if (tab == std::string_view::npos) return {s, {}};
  return {s.substr(0, tab), s.substr(tab + 1)};
}

bool Selectable(const MenuItem& it) { return !it.separator && it.enabled; }

}  // namespace

Menu& Menu::Item(std::string item_text, int item_command) {
  MenuItem it;
  it.text = std::move(item_text);
  it.command = item_command;
  items.push_back(std::move(it));
  return *this;
}

Menu& Menu::Separator() {
  MenuItem sep;
  sep.separator = true;
  items.push_back(sep);
  return *this;
}

Menu& MenuBar::AddMenu(std::string text) {
  Menu m;
  m.text = std::move(text);
  menus_.push_back(std::move(m));
  return menus_.back();
}

void MenuBar::AddCommand(std::string text, int command) {
  Menu m;
  m.text = std::move(text);
  m.command = command;
  menus_.push_back(std::move(m));
}

void MenuBar::SetEnabled(int command, bool enabled) {
  for (Menu& m : menus_) {
    if (m.items.empty() && m.command == command) m.enabled = enabled;
    for (MenuItem& it : m.items)
      if (!it.separator && it.command == command) it.enabled = enabled;
  }
}

int MenuBar::TitleX(int index) const {
  int x = 1;
  for (int i = 0; i < index && i < static_cast<int>(menus_.size()); ++i)
    x += Cells(menus_[i].text) + 2;
  return x;
}

int MenuBar::DropDownWidth(const Menu& m) const {
  int w = 0;
  for (const MenuItem& it : m.items) {
    auto [label, hint] = SplitHint(it.text);
    int cells = Cells(label) + (hint.empty() ? 0 : 2 + static_cast<int>(DecodeUtf8(hint).size()));
    w = std::max(w, cells);
  }
  return w + 4;
}

Rect MenuBar::DropDownRect() const {
  if (open_ < 0 || menus_[open_].items.empty()) return {};
  Rect wr = owner_.GetRect();
  int inset = (owner_.Flags() & kBorder) ? 1 : 0;
  const Menu& m = menus_[open_];
  return {wr.left + inset + TitleX(open_) - 1, wr.top + inset + 1, DropDownWidth(m),
          static_cast<int>(m.items.size()) + 2};
}

void MenuBar::Open(int index) {
  if (index < 0 || index >= static_cast<int>(menus_.size())) return;
  open_ = index;
  item_ = -1;
  const Menu& m = menus_[index];
  for (int i = 0; i < static_cast<int>(m.items.size()); ++i) {
    if (Selectable(m.items[i])) {
      item_ = i;
      break;
    }
  }
}

void MenuBar::Close() {
  open_ = -1;
  item_ = -1;
}

void MenuBar::Choose(int menu, int item) {
  const Menu& m = menus_[menu];
  int command = 0;
  if (m.items.empty()) {
    if (m.enabled) command = m.command;
  } else if (item >= 0 && item < static_cast<int>(m.items.size()) && Selectable(m.items[item])) {
    command = m.items[item].command;
  }
  Close();
  if (command != 0) owner_.Post(Event::Command(command));
}

void MenuBar::MoveItem(int step) {
  const Menu& m = menus_[open_];
  int n = static_cast<int>(m.items.size());
  int start = item_ >= 0 ? item_ : (step > 0 ? -1 : n);
  for (int k = 1; k <= n; ++k) {
    int i = ((start + step * k) % n + n) % n;
    if (Selectable(m.items[i])) {
      item_ = i;
      return;
    }
  }
}

bool MenuBar::HandleKey(int code) {
  int n = static_cast<int>(menus_.size());
  if (n == 0) return false;
  if (key::Mods(code) == key::kAlt) {
    char32_t want = FoldCase(static_cast<char32_t>(key::Base(code)));
    for (int i = 0; i < n; ++i) {
      if (menus_[i].enabled && ParseHotText(menus_[i].text).hot_key == want && want != 0) {
        if (menus_[i].items.empty()) {
          Choose(i, -1);
        } else {
          Open(i);
        }
        return true;
      }
    }
    return Open();  // an open menu swallows other keys
  }
  if (!Open()) {
    if (code != key::F(10)) return false;
    Open(0);
    return true;
  }
  const Menu& m = menus_[open_];
  switch (code) {
    case key::kLeft: Open((open_ + n - 1) % n); return true;
    case key::kRight: Open((open_ + 1) % n); return true;
    case key::kUp:
      if (!m.items.empty()) MoveItem(-1);
      return true;
    case key::kDown:
      if (!m.items.empty()) MoveItem(1);
      return true;
    case key::kEnter: Choose(open_, item_); return true;
    case key::kEscape:
    case key::F(10): Close(); return true;
    default: break;
  }
  if (key::IsPrintable(code)) {
    char32_t want = FoldCase(static_cast<char32_t>(code));
    for (int i = 0; i < static_cast<int>(m.items.size()); ++i) {
      if (Selectable(m.items[i]) &&
          ParseHotText(SplitHint(m.items[i].text).first).hot_key == want) {
        Choose(open_, i);
        return true;
      }
    }
  }
  return true;  // everything else is swallowed while a menu is open
}

bool MenuBar::HandleMouse(const Event& e) {
  Rect wr = owner_.GetRect();
  int inset = (owner_.Flags() & kBorder) ? 1 : 0;
  int row_y = wr.top + inset, row_x = wr.left + inset;
  bool press = e.code == kMousePress || e.code == kMouseDoubleClick;
  if (e.y == row_y && e.x >= row_x && e.x < wr.Right() - inset) {
    if (!press) return true;
    for (int i = 0; i < static_cast<int>(menus_.size()); ++i) {
      int x0 = row_x + TitleX(i) - 1, x1 = x0 + Cells(menus_[i].text) + 2;
      if (e.x >= x0 && e.x < x1) {
        if (!menus_[i].enabled) return true;
        if (menus_[i].items.empty()) {
          Choose(i, -1);
        } else if (open_ == i) {
          Close();
        } else {
          Open(i);
        }
        return true;
      }
    }
    Close();
    return true;
  }
  if (!Open()) return false;
  Rect dd = DropDownRect();
  if (dd.Contains({e.x, e.y})) {
    int i = e.y - dd.top - 1;
    if (press && i >= 0 && i < static_cast<int>(menus_[open_].items.size()) &&
        Selectable(menus_[open_].items[i]))
      Choose(open_, i);
    return true;
  }
  if (press) Close();  // a click elsewhere only closes the menu
  return true;
}

void MenuBar::Draw(Painter& row) const {
  const Theme& t = row.GetTheme();
  row.Fill({0, 0, row.ClipLocal().Right(), 1}, U' ', t.menu);
  for (int i = 0; i < static_cast<int>(menus_.size()); ++i) {
    int x = TitleX(i);
    bool sel = i == open_;
    Attr a = !menus_[i].enabled ? t.menu_disabled : sel ? t.menu_selected : t.menu;
    int n = Cells(menus_[i].text);
    row.Fill({x - 1, 0, n + 2, 1}, U' ', a);
    row.HotText(x, 0, menus_[i].text, a, sel || !menus_[i].enabled ? a : t.menu_hot);
  }
}

void MenuBar::DrawDropDown(Painter& screen) const {
  if (open_ < 0 || menus_[open_].items.empty()) return;
  const Theme& t = screen.GetTheme();
  Rect r = DropDownRect();
  screen.Fill(r, U' ', t.menu);
  screen.Box(r, t.menu);
  const Menu& m = menus_[open_];
  for (int i = 0; i < static_cast<int>(m.items.size()); ++i) {
    int y = r.top + 1 + i;
    const MenuItem& it = m.items[i];
    if (it.separator) {
      screen.HLine(r.left + 1, y, r.width - 2, U'─', t.menu);
      screen.Put(r.left, y, U'├', t.menu);
      screen.Put(r.Right() - 1, y, U'┤', t.menu);
      continue;
    }
    Attr a = !it.enabled ? t.menu_disabled : i == item_ ? t.menu_selected : t.menu;
    screen.Fill({r.left + 1, y, r.width - 2, 1}, U' ', a);
    auto [label, hint] = SplitHint(it.text);
    screen.HotText(r.left + 2, y, label, a, it.enabled && i != item_ ? t.menu_hot : a, r.width - 4);
    if (!hint.empty()) {
      int hw = static_cast<int>(DecodeUtf8(hint).size());
      screen.Text(r.Right() - 2 - hw, y, hint, a);
    }
  }
  // Shadow under and to the right of the drop-down.
  for (int y = r.top + 1; y <= r.Bottom(); ++y) screen.SetAttr(r.Right(), y, t.shadow);
  for (int x = r.left + 1; x <= r.Right(); ++x) screen.SetAttr(x, r.Bottom(), t.shadow);
}

}  // namespace tk
