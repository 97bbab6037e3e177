#include "client/windows/progress_bar.h"

#include <cstdio>
#include <cstring>

#include "toolkit/window.h"
#include "toolkit/window_manager.h"

namespace client::windows {

ProgressBar::ProgressBar(int left, int top, int width, int percent)
    : tk::Control(tk::Rect{left, top, width, 1}) {
  SetPercent(percent);
}

void ProgressBar::SetPercent(int percent) {
  if (percent > 100) percent = 100;
  if (percent < -1) percent = -1;  // any negative value draws the same
  percent_ = static_cast<short>(percent);
  if (percent_ >= 1 && GetWindow() && GetWindow()->Manager()) GetWindow()->Manager()->Redraw();
}

int ProgressBar::FilledCells(int width, int percent) {
  if (percent < 0) return 0;
  int w = width * percent / 100 - 1;  // the last filled column, counted from 0
  if (w < 0) w = 0;
  return w + 1;
}

void ProgressBar::Draw(tk::Painter& p) const {
  const tk::Theme& theme = p.GetTheme();
  const int width = GetRect().width;
  const tk::Attr filled = theme.highlight;
  const tk::Attr unfilled{theme.highlight.fg, theme.window.bg};
  const tk::Attr white{tk::Color::kWhite, tk::Color::kBlack, true};
  int start = 0;
  if (percent_ >= 0) {
    start = FilledCells(width, percent_);
    p.Fill(tk::Rect{0, 0, start, 1}, U' ', filled);
  }
  if (percent_ < 100 && start < width) p.Fill(tk::Rect{start, 0, width - start, 1}, U' ', unfilled);
  if (percent_ >= 0) {
    char text[8];
    std::snprintf(text, sizeof text, "%d%%", static_cast<int>(percent_));
    int len = static_cast<int>(std::strlen(text));
    int x = (width - 1 - len) / 2;  // (left + right - text width) / 2 in cells
    if (x < 0) x = 0;
    p.Text(x, 0, text, percent_ <= 50 ? unfilled : white);
  }
}

}  // namespace client::windows
