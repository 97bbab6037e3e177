#include "config/text_dialogs.h"

#include <algorithm>
#include <vector>

#include "config/config_texts.h"
#include "config/configurator.h"
#include "toolkit/button.h"
#include "toolkit/canvas.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"

namespace config {

namespace {

constexpr int kRowWidth = 80;
constexpr int kMaxRows = 15;
constexpr int kMinWidth = 50;

// The information and yes/no dialogs share their frame: the rows in a
// read-only list, the buttons centred under it.
class TextDialog : public tk::Window {
 public:
  TextDialog(tk::Size screen, const std::string& text, bool yes_no)
      : Window({0, 0, 10, 5}, kConfigCaption) {
    // A window one cell narrower than the screen still sits whole on it.
    int room = std::max(screen.cols - 3, 20);  // inside the borders
    int shown_limit = std::clamp(screen.rows - 6, 1, kMaxRows);
    // Rows are as wide as the screen allows, 80 characters at most, and one
    // narrower when the list needs its scroll bar.
    std::vector<std::string> rows =
        DialogRows(text, static_cast<size_t>(std::min(room, kRowWidth)));
    bool scrolls = static_cast<int>(rows.size()) > shown_limit;
    if (scrolls && room <= kRowWidth) rows = DialogRows(text, static_cast<size_t>(room - 1));
    if (rows.empty()) rows.emplace_back();
    int longest = 0;
    for (const std::string& r : rows) longest = std::max(longest, static_cast<int>(r.size()));
    int shown = std::min(static_cast<int>(rows.size()), shown_limit);
    int list_width = std::min(std::max(longest, kMinWidth) + (scrolls ? 1 : 0), room);
    int margin = room - list_width >= 2 ? 1 : 0;  // a blank column inside each border
    SetRect({0, 0, list_width + 2 * margin + 2, shown + 4});
    Center(screen);

    auto& list = Add<tk::ListBox>(tk::Rect{margin, 0, list_width, shown}, scrolls);
    list.selectable = false;
    for (std::string& r : rows) list.AddItem(std::move(r));

    int buttons_row = shown + 1;
    if (yes_no) {
      int gap = 4;
      int left = margin + (list_width - (10 + gap + 10)) / 2;
      Add<tk::Button>(tk::Rect{left, buttons_row, 10, 1}, "&Yes", tk::cmd::kYes);
      Add<tk::Button>(tk::Rect{left + 10 + gap, buttons_row, 10, 1}, "&No", tk::cmd::kNo);
      default_command = tk::cmd::kYes;
      cancel_command = tk::cmd::kNo;
    } else {
      Add<tk::Button>(tk::Rect{margin + (list_width - 10) / 2, buttons_row, 10, 1}, "OK",
                      tk::cmd::kOk);
    }
  }
};

}  // namespace

void ShowMessageBox(tk::WindowManager& wm, const std::string& text) {
  tk::Size screen = wm.ScreenSize();
  int width = std::clamp(static_cast<int>(text.size()) + 6, 30, std::max(screen.cols - 1, 30));
  tk::Window box({0, 0, width, 7}, kConfigCaption);
  box.Center(screen);
  box.Add<tk::Text>(tk::Rect{2, 1, width - 6, 1}, text);
  box.Add<tk::Button>(tk::Rect{(width - 2 - 10) / 2, 3, 10, 1}, "OK", tk::cmd::kOk);
  wm.Beep();
  wm.RunModal(box, {tk::cmd::kOk, tk::cmd::kCloseModal});
}

void ShowInformation(tk::WindowManager& wm, const std::string& text) {
  TextDialog dialog(wm.ScreenSize(), text, false);
  wm.RunModal(dialog, {tk::cmd::kOk, tk::cmd::kCloseModal});
}

int AskYesNo(tk::WindowManager& wm, const std::string& text) {
  TextDialog dialog(wm.ScreenSize(), text, true);
  int code = wm.RunModal(dialog, {tk::cmd::kYes, tk::cmd::kNo, tk::cmd::kCloseModal});
  return code == tk::cmd::kYes ? kAnswerYes : kAnswerNo;
}

void ShowAboutBox(tk::WindowManager& wm) {
  constexpr int kWidth = 44;
  tk::Window box({0, 0, kWidth, 10}, "About");
  box.Center(wm.ScreenSize());
  // In place of the start-up bitmap: the product name on a coloured plate.
  box.Add<tk::Canvas>(tk::Rect{2, 1, kWidth - 8, 3}, [](tk::Painter& p) {
    int w = p.ClipLocal().width;
    p.Fill({0, 0, w, 3}, U' ', p.GetTheme().highlight);
    p.CenteredText(0, 1, w, "QORPRINT", p.GetTheme().highlight);
  });
  box.Add<tk::Text>(tk::Rect{2, 5, kWidth - 6, 1}, "QORCNFIG - Configuration Assistant");
  box.Add<tk::Button>(tk::Rect{(kWidth - 2 - 10) / 2, 7, 10, 1}, "OK", tk::cmd::kOk);
  wm.RunModal(box, {tk::cmd::kOk, tk::cmd::kCloseModal});
}

}  // namespace config
