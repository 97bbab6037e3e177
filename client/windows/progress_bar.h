// ProgressBar: a one-row bar that fills from the left and shows "%d%%" in
// its middle. Drawn in cells: the filled part in the highlight colours, the
// unfilled part in the window colours, the text in the unfilled scheme up to
// 50 % and white on black above.
#pragma once

#include "toolkit/control.h"

namespace client::windows {

class ProgressBar : public tk::Control {
 public:
  ProgressBar(int left, int top, int width, int percent);
  // Stores min(percent, 100). From 1 up the bar is redrawn at once; 0 or
  // less shows at the next ordinary repaint.
  void SetPercent(int percent);
  int Percent() const { return percent_; }
  void Draw(tk::Painter& p) const override;

  // The filled cells' count for a width and percent (0 when none).
  static int FilledCells(int width, int percent);

 private:
  short percent_ = 0;
};

}  // namespace client::windows
