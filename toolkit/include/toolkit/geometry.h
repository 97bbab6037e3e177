// Positions and sizes in character cells.
#pragma once

namespace tk {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int cols = 0;
  int rows = 0;
  bool operator==(const Size&) const = default;
};

// Left/top corner plus width/height; right and bottom are exclusive.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(Point p) const {
    return p.x >= left && p.x < Right() && p.y >= top && p.y < Bottom();
  }
  Rect Intersect(const Rect& o) const;
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, width, height}; }
  bool operator==(const Rect&) const = default;
};

// Where a window of the given size goes so that it sits centred on the
// screen: left = (cols - width) / 2 + 1, top = (rows - height) / 2 + 1, with
// C++ integer division (rounds toward zero, also for windows larger than
// the screen).
Point CenterWindow(Size screen, int width, int height);

}  // namespace tk
