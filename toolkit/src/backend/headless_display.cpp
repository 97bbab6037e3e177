#include "toolkit/headless_display.h"

#include "toolkit/keys.h"
#include "toolkit/utf8.h"

namespace tk {

HeadlessDisplay::HeadlessDisplay(int cols, int rows) : size_{cols, rows}, shown_(size_) {}

void HeadlessDisplay::Show(const CellGrid& screen) {
  shown_ = screen;
  ++shows_;
}

void HeadlessDisplay::SetCursor(Point p, bool visible) {
  cursor_ = p;
  cursor_visible_ = visible;
}

bool HeadlessDisplay::ReadInput(Event& out) {
  while (!script_.empty()) {
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.action) {
      step.action();
      continue;
    }
    if (step.event.kind == EventKind::kRedisplay && step.event.code == kResized)
      size_ = step.resize;
    out = std::move(step.event);
    return true;
  }
  if (!fallback_) return false;
  out = *fallback_;
  return true;
}

HeadlessDisplay& HeadlessDisplay::Send(Event e) {
  script_.push_back({std::move(e), nullptr, {}});
  return *this;
}

HeadlessDisplay& HeadlessDisplay::Key(int code) { return Send(Event::Key(code)); }

HeadlessDisplay& HeadlessDisplay::Keys(std::initializer_list<int> codes) {
  for (int c : codes) Key(c);
  return *this;
}

HeadlessDisplay& HeadlessDisplay::Type(std::string_view utf8) {
  for (char32_t c : DecodeUtf8(utf8)) Key(c == U'\n' ? key::kEnter : static_cast<int>(c));
  return *this;
}

HeadlessDisplay& HeadlessDisplay::Click(int x, int y, int button) {
  Send(Event::Mouse(kMousePress, x, y, button));
  return Send(Event::Mouse(kMouseRelease, x, y, button));
}

HeadlessDisplay& HeadlessDisplay::DoubleClick(int x, int y) {
  Click(x, y);
  Send(Event::Mouse(kMouseDoubleClick, x, y));
  return Send(Event::Mouse(kMouseRelease, x, y));
}

HeadlessDisplay& HeadlessDisplay::Wheel(int x, int y, bool up) {
  return Send(Event::Mouse(up ? kMouseWheelUp : kMouseWheelDown, x, y));
}

HeadlessDisplay& HeadlessDisplay::Resize(int cols, int rows) {
  script_.push_back({Event::Redisplay(kResized), nullptr, {cols, rows}});
  return *this;
}

HeadlessDisplay& HeadlessDisplay::Then(std::function<void()> fn) {
  script_.push_back({Event{}, std::move(fn), {}});
  return *this;
}

std::string HeadlessDisplay::Text(int row) const {
  std::string s = shown_.RowText(row);
  size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string HeadlessDisplay::TextAt(int x, int y, int cells) const {
  std::string out;
  for (int i = 0; i < cells; ++i) AppendUtf8(out, shown_.At(x + i, y).ch);
  return out;
}

std::string HeadlessDisplay::Dump() const {
  std::string out;
  for (int y = 0; y < shown_.GetSize().rows; ++y) out += Text(y) + "\n";
  return out;
}

Point HeadlessDisplay::Find(std::string_view utf8) const {
  std::u32string want = DecodeUtf8(utf8);
  if (want.empty()) return {-1, -1};
  Size s = shown_.GetSize();
  for (int y = 0; y < s.rows; ++y) {
    for (int x = 0; x + static_cast<int>(want.size()) <= s.cols; ++x) {
      bool match = true;
      for (size_t k = 0; k < want.size() && match; ++k)
        match = shown_.At(x + static_cast<int>(k), y).ch == want[k];
      if (match) return {x, y};
    }
  }
  return {-1, -1};
}

}  // namespace tk
