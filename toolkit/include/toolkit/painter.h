// Drawing into the composed screen, relative to an origin and clipped to a
// rectangle. Controls get a painter whose origin is their own top-left cell.
#pragma once

#include <string_view>

#include "toolkit/cell.h"

namespace tk {

class Painter {
 public:
  Painter(CellGrid& grid, const Theme& theme, Point origin, Rect clip);

  const Theme& GetTheme() const { return theme_; }
  // A painter for a part of this one: origin moves by r's corner, clip shrinks to r.
  Painter Sub(Rect r) const;
  Rect ClipLocal() const;  // the visible area in local coordinates

  void Put(int x, int y, char32_t ch, Attr a);
  void SetAttr(int x, int y, Attr a);  // keeps the character
  void Fill(Rect r, char32_t ch, Attr a);
  // Writes at most max_cells cells (-1: no limit); returns cells written.
  int Text(int x, int y, std::u32string_view s, Attr a, int max_cells = -1);
  int Text(int x, int y, std::string_view utf8, Attr a, int max_cells = -1);
  // A label with "&" hot key marking; the hot key character gets hot_attr.
  int HotText(int x, int y, std::string_view label, Attr a, Attr hot_attr, int max_cells = -1);
  // Text centred in a span of width cells starting at x (left half rounds down).
  void CenteredText(int x, int y, int width, std::string_view utf8, Attr a);
  void Box(Rect r, Attr a, bool double_line = false);
  void HLine(int x, int y, int width, char32_t ch, Attr a);

 private:
  CellGrid& grid_;
  const Theme& theme_;
  Point origin_;
  Rect clip_;  // screen coordinates
};

}  // namespace tk
