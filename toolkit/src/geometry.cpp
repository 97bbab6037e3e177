#include "toolkit/geometry.h"

#include <algorithm>

namespace tk {

Rect Rect::Intersect(const Rect& o) const {
  int l = std::max(left, o.left);
  int t = std::max(top, o.top);
  int r = std::min(Right(), o.Right());
  int b = std::min(Bottom(), o.Bottom());
  if (r <= l || b <= t) return {l, t, 0, 0};
  return {l, t, r - l, b - t};
}

Point CenterWindow(Size screen, int width, int height) {
  // One right of and below the middle, but never past the screen's edge.
  auto place = [](int room, int size) {
    return std::max(0, std::min((room - size) / 2 + 1, room - size));
  };
  return {place(screen.cols, width), place(screen.rows, height)};
}

}  // namespace tk
