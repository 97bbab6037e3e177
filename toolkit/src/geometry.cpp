#include "toolkit/geometry.h"

#include <algorithm>

namespace tk {

Rect Rect::Intersect(const Rect& o) const {
  int l = std::max(left, o.left);
  int t = std::max(top, o.top);
  int r = std::min(right(), o.right());
  int b = std::min(bottom(), o.bottom());
  if (r <= l || b <= t) return {l, t, 0, 0};
  return {l, t, r - l, b - t};
}

Point CenterWindow(Size screen, int width, int height) {
  return {(screen.cols - width) / 2 + 1, (screen.rows - height) / 2 + 1};
}

}  // namespace tk
