#include "toolkit/static_text.h"

#include "toolkit/utf8.h"
#include "toolkit/window.h"

namespace tk {

void Label::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  p.Fill({0, 0, GetRect().width, GetRect().height}, U' ', t.window);
  p.HotText(0, 0, text_, t.window, t.hot, GetRect().width);
}

char32_t Label::HotKey() const { return ParseHotText(text_).hot_key; }

// A label's hot key focuses the control that follows it.
void Label::OnHotKey(char32_t) {
  Window* w = GetWindow();
  if (w == nullptr) return;
  bool after = false;
  for (const auto& c : w->Controls()) {
    if (c.get() == this) {
      after = true;
    } else if (after && c->Focusable() && c->Visible() && c->Enabled()) {
      w->EnterControl(c.get());
      return;
    }
  }
}

void Text::Draw(Painter& p) const {
  Attr a = GetAttr(p.GetTheme());
  p.Fill({0, 0, GetRect().width, GetRect().height}, U' ', a);
  p.Text(0, 0, text_, a, GetRect().width);
}

void NumberText::SetValue(long v) {
  value_ = v;
  SetText(std::to_string(v));
}

}  // namespace tk
