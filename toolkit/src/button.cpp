#include "toolkit/button.h"

#include "toolkit/commands.h"
#include "toolkit/keys.h"
#include "toolkit/utf8.h"
#include "toolkit/window.h"

namespace tk {

Button::Button(Rect r, std::string text, int command) : Control(r), text_(std::move(text)) {
  SetCommand(command);
}

void Button::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  int w = GetRect().width;
  Attr a = !Enabled() ? t.disabled : Focused() ? t.button_focused : t.button;
  p.Fill({0, 0, w, 1}, U' ', a);
  HotText h = ParseHotText(text_);
  int len = static_cast<int>(h.text.size());
  int inner = w - 2;
  int start = 1 + (len >= inner ? 0 : (inner - len) / 2);
  p.Text(start, 0, h.text, a, inner);
  if (h.hot_index >= 0 && h.hot_index < inner && Enabled())
    p.Put(start + h.hot_index, 0, h.text[h.hot_index], t.button_hot);
  bool is_default = GetWindow() != nullptr && GetWindow()->default_command == Command();
  p.Put(0, 0, Focused() ? U'►' : is_default ? U'[' : U' ', a);
  p.Put(w - 1, 0, Focused() ? U'◄' : is_default ? U']' : U' ', a);
}

bool Button::HandleKey(int code) {
  if (code == key::kEnter || code == U' ') {
    Press();
    return true;
  }
  return false;
}

bool Button::HandleMouse(const Event& e, Point) {
  if (e.code == kMousePress || e.code == kMouseDoubleClick) Press();
  return true;
}

char32_t Button::HotKey() const { return ParseHotText(text_).hot_key; }

void Button::Press() {
  if (Enabled()) Post(Command());
}

CheckBox::CheckBox(Rect r, std::string text, int command, bool checked)
    : Control(r), text_(std::move(text)), checked_(checked) {
  SetCommand(command);
}

void CheckBox::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  p.Fill({0, 0, GetRect().width, 1}, U' ', t.window);
  Attr mark = Focused() ? t.focus_mark : t.window;
  p.Text(0, 0, checked_ ? U"[X]" : U"[ ]", mark);
  p.HotText(4, 0, text_, Enabled() ? t.window : t.disabled, t.hot, GetRect().width - 4);
}

bool CheckBox::HandleKey(int code) {
  if (code == U' ') {
    Toggle();
    return true;
  }
  return false;
}

bool CheckBox::HandleMouse(const Event& e, Point) {
  if (e.code == kMousePress || e.code == kMouseDoubleClick) Toggle();
  return true;
}

char32_t CheckBox::HotKey() const { return ParseHotText(text_).hot_key; }

void CheckBox::Toggle() {
  if (!Enabled()) return;
  checked_ = !checked_;
  if (Command() != 0) Post(Command(), checked_ ? 1 : 0);
}

int RadioGroup::AddButton(Point pos, std::string text, int command) {
  buttons_.push_back({pos, std::move(text), command});
  if (checked_ < 0) checked_ = 0;
  return Count() - 1;
}

void RadioGroup::SetChecked(int index) {
  if (index >= 0 && index < Count()) checked_ = index;
}

void RadioGroup::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  int w = GetRect().width;
  p.Fill({0, 0, w, GetRect().height}, U' ', t.window);
  // Title on a rule along the top; a full frame only when no button sits on
  // the bottom row.
  bool room = GetRect().height >= 3;
  for (const RadioButton& b : buttons_) room = room && b.pos.y < GetRect().height - 1;
  if (room) {
    p.Box({0, 0, w, GetRect().height}, t.border);
  } else {
    p.HLine(0, 0, w, U'─', t.border);
  }
  if (!title_.empty()) {
    p.Put(1, 0, U' ', t.window);
    int n = p.HotText(2, 0, title_, t.window, t.hot, w - 4);
    p.Put(2 + n, 0, U' ', t.window);
  }
  for (int i = 0; i < Count(); ++i) {
    const RadioButton& b = buttons_[i];
    Attr mark = Focused() && i == checked_ ? t.focus_mark : t.window;
    p.Text(b.pos.x, b.pos.y, i == checked_ ? U"(•)" : U"( )", mark);
    p.HotText(b.pos.x + 4, b.pos.y, b.text, Enabled() ? t.window : t.disabled, t.hot,
              w - b.pos.x - 4);
  }
}

void RadioGroup::Choose(int index) {
  if (index < 0 || index >= Count() || !Enabled()) return;
  checked_ = index;
  if (buttons_[index].command != 0) Post(buttons_[index].command, index);
}

bool RadioGroup::HandleKey(int code) {
  if (buttons_.empty()) return false;
  switch (code) {
    case key::kUp:
    case key::kLeft: Choose((checked_ + Count() - 1) % Count()); return true;
    case key::kDown:
    case key::kRight: Choose((checked_ + 1) % Count()); return true;
    case U' ': Choose(checked_); return true;
    default: return false;
  }
}

bool RadioGroup::HandleMouse(const Event& e, Point local) {
  if (e.code != kMousePress && e.code != kMouseDoubleClick) return true;
  for (int i = 0; i < Count(); ++i) {
    const RadioButton& b = buttons_[i];
    int width = 4 + static_cast<int>(ParseHotText(b.text).text.size());
    if (local.y == b.pos.y && local.x >= b.pos.x && local.x < b.pos.x + width) {
      Choose(i);
      break;
    }
  }
  return true;
}

int RadioGroup::HotKeyIndex(char32_t key) const {
  for (int i = 0; i < Count(); ++i)
    if (key != 0 && ParseHotText(buttons_[i].text).hot_key == key) return i;
  return -1;
}

void RadioGroup::OnHotKey(char32_t key) { Choose(HotKeyIndex(key)); }

}  // namespace tk
