// A control the program paints itself (a progress bar, a banner): the
// callback gets a painter whose origin is the control's corner and which is
// clipped to it. Painter::Fill and CenteredText with theme().highlight /
// window / highlight_text draw a bar of filled and unfilled cells with a
// centred text.
#pragma once

#include <functional>

#include "toolkit/control.h"

namespace tk {

class Canvas : public Control {
 public:
  using DrawFn = std::function<void(Painter&)>;
  Canvas(Rect r, DrawFn draw) : Control(r), draw_(std::move(draw)) {}
  void SetDraw(DrawFn d) { draw_ = std::move(d); }
  void Draw(Painter& p) const override {
    if (draw_) draw_(p);
  }

 private:
  DrawFn draw_;
};

}  // namespace tk
