#include "toolkit/text_field.h"

#include <algorithm>
#include <limits>

#include "toolkit/keys.h"
#include "toolkit/utf8.h"

namespace tk {

TextField::TextField(Rect r, int max_length, bool upper_case)
    : Control(r), max_length_(std::max(max_length, 0)), upper_(upper_case) {}

std::string TextField::GetText() const { return EncodeUtf8(text_); }

void TextField::SetText(std::string_view utf8) {
  text_ = DecodeUtf8(utf8);
  if (static_cast<int>(text_.size()) > max_length_) text_.resize(max_length_);
  if (upper_)
    for (char32_t& c : text_) c = UpperCase(c);
  SetCursor(static_cast<int>(text_.size()));
}

int TextField::VisibleWidth() const { return std::max(GetRect().width, 1); }

// Keeps the cursor within the text and inside the visible part.
void TextField::SetCursor(int c) {
  cursor_ = std::clamp(c, 0, static_cast<int>(text_.size()));
  int w = VisibleWidth();
  // The cell after the last character is a cursor position too.
  if (cursor_ < scroll_) scroll_ = cursor_;
  if (cursor_ >= scroll_ + w) scroll_ = cursor_ - w + 1;
  scroll_ = std::max(scroll_, 0);
}

void TextField::Changed() {
  if (Command() != 0) Post(Command(), 0, GetText());
}

void TextField::Draw(Painter& p) const {
  const Theme& t = p.GetTheme();
  Attr a = !Enabled() ? t.disabled : Focused() ? t.field_focused : t.field;
  int w = VisibleWidth();
  p.Fill({0, 0, w, 1}, U' ', a);
  std::u32string_view view(text_);
  Attr shown = selected_ && Focused() && !read_only_ ? t.field_selected : a;
  if (scroll_ < static_cast<int>(view.size())) p.Text(0, 0, view.substr(scroll_), shown, w);
  // Marks that the text goes on beyond either edge.
  if (scroll_ > 0) p.Put(0, 0, U'◄', a);
  if (static_cast<int>(text_.size()) - scroll_ > w) p.Put(w - 1, 0, U'►', a);
}

std::optional<Point> TextField::CursorPos() const {
  if (read_only_) return std::nullopt;
  return Point{cursor_ - scroll_, 0};
}

void TextField::OnFocus(bool gained) {
  selected_ = gained;
  if (gained) SetCursor(static_cast<int>(text_.size()));
}

// A character typed over the selected text: the text becomes the character,
// or stays as it was (still selected) when the character is refused.
bool TextField::ReplaceSelection(char32_t c) {
  std::u32string before;
  before.swap(text_);
  SetCursor(0);
  if (max_length_ < 1 || !Accepts(c)) {
    text_.swap(before);
    SetCursor(static_cast<int>(text_.size()));
    Beep();
    return true;
  }
  selected_ = false;
  text_.assign(1, c);
  SetCursor(1);
  Changed();
  return true;
}

bool TextField::HandleKey(int code) {
  const int len = static_cast<int>(text_.size());
  if (selected_ && (code == key::kLeft || code == key::kRight)) {
    selected_ = false;  // to the selection's edge, as dialog boxes do
    SetCursor(code == key::kLeft ? 0 : len);
    return true;
  }
  if (selected_ && (code == key::kHome || code == key::kEnd)) selected_ = false;
  switch (code) {
    case key::kLeft: SetCursor(cursor_ - 1); return true;
    case key::kRight: SetCursor(cursor_ + 1); return true;
    case key::kHome: SetCursor(0); return true;
    case key::kEnd: SetCursor(len); return true;
    default: break;
  }
  if (read_only_) return false;
  if (selected_ && (code == key::kBackspace || code == key::kDelete)) {
    selected_ = false;
    text_.clear();
    SetCursor(0);
    Changed();
    return true;
  }
  if (code == key::kBackspace) {
    if (cursor_ == 0) return true;
    text_.erase(cursor_ - 1, 1);
    SetCursor(cursor_ - 1);
    Changed();
    return true;
  }
  if (code == key::kDelete) {
    if (cursor_ >= len) return true;
    text_.erase(cursor_, 1);
    SetCursor(cursor_);
    Changed();
    return true;
  }
  if (!key::IsPrintable(code)) return false;
  char32_t c = static_cast<char32_t>(code);
  if (upper_) c = UpperCase(c);
  if (selected_) return ReplaceSelection(c);
  if (len >= max_length_ || !Accepts(c)) {
    Beep();
    return true;
  }
  text_.insert(text_.begin() + cursor_, c);
  SetCursor(cursor_ + 1);
  Changed();
  return true;
}

bool TextField::HandleMouse(const Event& e, Point local) {
  if (e.code == kMousePress) {
    selected_ = false;
    SetCursor(scroll_ + local.x);
  }
  return true;
}

IntField::IntField(Rect r, long min, long max, long value)
    : TextField(r, 0, false), min_(min), max_(std::max(min, max)), last_valid_(min) {
  // Room for the longest value of the range, sign included.
  int digits = static_cast<int>(std::max(std::to_string(min_).size(), std::to_string(max_).size()));
  SetMaxLength(digits);
  SetValue(value);
}

bool IntField::Parse(long& out) const {
  const std::u32string& s = Buffer();
  if (s.empty()) return false;
  // long long: long is 32 bits on Windows, too short for the guard below.
  long long v = 0;
  size_t i = 0;
  bool neg = s[0] == U'-';
  if (neg) i = 1;
  if (i >= s.size()) return false;
  for (; i < s.size(); ++i) {
    if (s[i] < U'0' || s[i] > U'9') return false;
    v = v * 10 + static_cast<long long>(s[i] - U'0');
    if (v > 1000000000000LL) return false;  // far beyond any range; avoids overflow
  }
  if (v > std::numeric_limits<long>::max()) return false;
  out = static_cast<long>(neg ? -v : v);
  return true;
}

long IntField::Value() const { return last_valid_; }

void IntField::SetValue(long v) {
  SetText(std::to_string(v));
  long parsed;
  if (Parse(parsed) && parsed >= min_ && parsed <= max_) last_valid_ = parsed;
}

bool IntField::Valid() {
  long v;
  return Parse(v) && v >= min_ && v <= max_;
}

bool IntField::Accepts(char32_t c) const {
  if (c == U'-') return min_ < 0 && Cursor() == 0 && (Buffer().empty() || Buffer()[0] != U'-');
  if (c < U'0' || c > U'9') return false;
  // Refuse a digit that takes the value above the maximum: no further typing
  // could bring it back down.
  std::u32string next = Buffer();
  next.insert(next.begin() + Cursor(), c);
  long long v = 0;
  bool neg = !next.empty() && next[0] == U'-';
  for (size_t i = neg ? 1 : 0; i < next.size(); ++i) {
    v = v * 10 + static_cast<long long>(next[i] - U'0');
    if (v > 1000000000000LL) return neg;  // beyond any range in use
  }
  if (neg) v = -v;
  return v <= max_;
}

void IntField::Changed() {
  long v;
  if (Parse(v) && v >= min_ && v <= max_) last_valid_ = v;
  TextField::Changed();
}

void IntField::Step(long delta) {
  long v;
  if (!Parse(v)) v = last_valid_;
  long next = std::clamp(v + delta, min_, max_);
  if (next == v) {
    Beep();  // already at the end of the range
    return;
  }
  SetValue(next);
  TextField::Changed();
}

bool IntField::HandleKey(int code) {
  long delta = 0;
  switch (code) {
    case key::kUp: delta = 1; break;
    case key::kDown: delta = -1; break;
    case key::kPageUp: delta = 10; break;
    case key::kPageDown: delta = -10; break;
    default: return TextField::HandleKey(code);
  }
  Deselect();  // a digit typed after spinning goes on the value
  Step(delta);
  return true;
}

bool IntField::HandleMouse(const Event& e, Point local) {
  Deselect();
  int w = GetRect().width;
  if (e.code == kMousePress && local.x == w - 2) {
    Step(1);
    return true;
  }
  if (e.code == kMousePress && local.x == w - 1) {
    Step(-1);
    return true;
  }
  if (e.code == kMouseWheelUp || e.code == kMouseWheelDown) {
    Step(e.code == kMouseWheelUp ? 1 : -1);
    return true;
  }
  return TextField::HandleMouse(e, local);
}

void IntField::Draw(Painter& p) const {
  // The number in all but the last two cells, then the spin buttons.
  int w = GetRect().width;
  Painter number = p.Sub({0, 0, VisibleWidth(), 1});
  TextField::Draw(number);
  const Theme& t = p.GetTheme();
  p.Put(w - 2, 0, U'▲', t.button);
  p.Put(w - 1, 0, U'▼', t.button);
}

}  // namespace tk
