#include "toolkit/painter.h"

#include "toolkit/utf8.h"

namespace tk {

Painter::Painter(CellGrid& grid, const Theme& theme, Point origin, Rect clip)
    : grid_(grid),
      theme_(theme),
      origin_(origin),
      clip_(clip.Intersect({0, 0, grid.GetSize().cols, grid.GetSize().rows})) {}

Painter Painter::Sub(Rect r) const {
  Rect screen = r.Offset(origin_.x, origin_.y);
  return Painter(grid_, theme_, {screen.left, screen.top}, clip_.Intersect(screen));
}

Rect Painter::ClipLocal() const { return clip_.Offset(-origin_.x, -origin_.y); }

void Painter::Put(int x, int y, char32_t ch, Attr a) {
  Point p{origin_.x + x, origin_.y + y};
  if (clip_.Contains(p)) grid_.Set(p.x, p.y, {ch, a});
}

void Painter::SetAttr(int x, int y, Attr a) {
  Point p{origin_.x + x, origin_.y + y};
  if (clip_.Contains(p)) grid_.Set(p.x, p.y, {grid_.At(p.x, p.y).ch, a});
}

void Painter::Fill(Rect r, char32_t ch, Attr a) {
  for (int y = r.top; y < r.Bottom(); ++y)
    for (int x = r.left; x < r.Right(); ++x) Put(x, y, ch, a);
}

int Painter::Text(int x, int y, std::u32string_view s, Attr a, int max_cells) {
  int n = 0;
  for (char32_t c : s) {
    if (max_cells >= 0 && n >= max_cells) break;
    // Control characters would upset a terminal: show them as blanks.
    Put(x + n, y, c < 0x20 || c == 0x7f ? U' ' : c, a);
    ++n;
  }
  return n;
}

int Painter::Text(int x, int y, std::string_view utf8, Attr a, int max_cells) {
  return Text(x, y, DecodeUtf8(utf8), a, max_cells);
}

int Painter::HotText(int x, int y, std::string_view label, Attr a, Attr hot_attr, int max_cells) {
  tk::HotText h = ParseHotText(label);
  int n = Text(x, y, h.text, a, max_cells);
  if (h.hot_index >= 0 && h.hot_index < n) Put(x + h.hot_index, y, h.text[h.hot_index], hot_attr);
  return n;
}

void Painter::CenteredText(int x, int y, int width, std::string_view utf8, Attr a) {
  std::u32string s = DecodeUtf8(utf8);
  int len = static_cast<int>(s.size());
  int start = len >= width ? 0 : (width - len) / 2;
  Text(x + start, y, s, a, width);
}

void Painter::HLine(int x, int y, int width, char32_t ch, Attr a) {
  for (int i = 0; i < width; ++i) Put(x + i, y, ch, a);
}

void Painter::Box(Rect r, Attr a, bool dbl) {
  if (r.width < 2 || r.height < 2) return;
  const char32_t h = dbl ? U'═' : U'─', v = dbl ? U'║' : U'│';
  HLine(r.left + 1, r.top, r.width - 2, h, a);
  HLine(r.left + 1, r.Bottom() - 1, r.width - 2, h, a);
  for (int y = r.top + 1; y < r.Bottom() - 1; ++y) {
    Put(r.left, y, v, a);
    Put(r.Right() - 1, y, v, a);
  }
  Put(r.left, r.top, dbl ? U'╔' : U'┌', a);
  Put(r.Right() - 1, r.top, dbl ? U'╗' : U'┐', a);
  Put(r.left, r.Bottom() - 1, dbl ? U'╚' : U'└', a);
  Put(r.Right() - 1, r.Bottom() - 1, dbl ? U'╝' : U'┘', a);
}

}  // namespace tk
