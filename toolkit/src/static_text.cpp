#include "toolkit/static_text.h"

#include "toolkit/utf8.h"
#include "toolkit/window.h"

namespace tk {

void Label::Draw(Painter& p) const {
  const Theme& t = p.theme();
  p.Fill({0, 0, rect().width, rect().height}, U' ', t.window);
  p.HotText(0, 0, text_, t.window, t.hot, rect().width);
}

char32_t Label::hot_key() const { return ParseHotText(text_).hot_key; }

// A label's hot key focuses the control that follows it.
void Label::OnHotKey(char32_t) {
  Window* w = window();
  if (w == nullptr) return;
  bool after = false;
  for (const auto& c : w->controls()) {
    if (c.get() == this) {
      after = true;
    } else if (after && c->focusable() && c->visible() && c->enabled()) {
      w->SetFocus(c.get());
      return;
    }
  }
}

void Text::Draw(Painter& p) const {
  Attr a = attr(p.theme());
  p.Fill({0, 0, rect().width, rect().height}, U' ', a);
  p.Text(0, 0, text_, a, rect().width);
}

void NumberText::set_value(long v) {
  value_ = v;
  set_text(std::to_string(v));
}

}  // namespace tk
