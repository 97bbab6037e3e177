// toolkit_demo: a main window with a menu and a dialog holding one of every
// control, to try the toolkit in a real terminal. Ctrl+X or Alt+F4 ends it.
#include <cstdio>
#include <string>

#include "toolkit/button.h"
#include "toolkit/canvas.h"
#include "toolkit/keys.h"
#include "toolkit/list_box.h"
#include "toolkit/static_text.h"
#include "toolkit/terminal_display.h"
#include "toolkit/text_field.h"
#include "toolkit/window_manager.h"

namespace {

using namespace tk;

constexpr int kCmdControls = 20001;
constexpr int kCmdMessage = 20002;
constexpr int kCmdAbout = 20003;
constexpr int kCmdExit = 20009;
constexpr int kCmdCount = 20101;
constexpr int kCmdPick = 20102;
constexpr int kCmdChoose = 20103;

int ShowMessage(WindowManager& wm, const std::string& title, const std::string& text) {
  int width = std::max(static_cast<int>(text.size()) + 4, 30);
  Window box({0, 0, width, 7}, title);
  box.Center(wm.ScreenSize());
  box.Add<Text>(Rect{1, 1, width - 4, 1}, text);
  box.Add<Button>(Rect{(width - 2 - 10) / 2, 3, 10, 1}, "&OK", cmd::kOk);
  wm.Beep();
  return wm.RunModal(box, {cmd::kOk, cmd::kCloseModal});
}

class ControlsDialog : public Window {
 public:
  explicit ControlsDialog(WindowManager& wm) : Window({0, 0, 64, 20}, "Every control"), wm_(wm) {
    Center(wm.ScreenSize());
    Add<Label>(Rect{0, 0, 11, 1}, "&Name:");
    Add<TextField>(Rect{11, 0, 20, 1}, 8, true);
    Add<Label>(Rect{0, 1, 11, 1}, "&Count:");
    count_ = &Add<IntField>(Rect{11, 1, 8, 1}, 1, 10, 4);
    count_->SetCommand(kCmdCount);
    Add<Label>(Rect{0, 2, 11, 1}, "Lines:");
    Add<NumberText>(Rect{11, 2, 10, 1}, 1234567);
    Add<Label>(Rect{0, 3, 11, 1}, "&Emulator:");
    auto& drop = Add<DropDownList>(Rect{11, 3, 16, 1}, kCmdPick);
    for (const char* e : {"IRMA", "NOVEL", "CUT", "ROF52", "ANY"}) drop.AddItem(e);
    drop.SetSelected(4);
    auto& dest = Add<RadioGroup>(Rect{0, 5, 32, 2}, "Destination");
    dest.AddButton({2, 1}, "&File", 11306);
    dest.AddButton({16, 1}, "&Printer", 11305);
    auto& dupl = Add<RadioGroup>(Rect{0, 8, 20, 4}, "If it exists");
    dupl.AddButton({2, 1}, "&Replace", 11301);
    dupl.AddButton({2, 2}, "Cance&l", 11302);
    dupl.AddButton({2, 3}, "Rena&me", 11303);
    Add<CheckBox>(Rect{22, 9, 12, 1}, "&ASCII", 11310, true);
    auto& list = Add<ListBox>(Rect{34, 0, 26, 9});
    for (int i = 1; i <= 30; ++i) list.AddItem("Entry number " + std::to_string(i));
    list.choose_command = kCmdChoose;
    Add<Canvas>(Rect{0, 13, 45, 1}, [this](Painter& p) { DrawBar(p); });
    Add<Button>(Rect{7, 15, 10, 1}, "OK", cmd::kOk);
    Add<Button>(Rect{19, 15, 10, 1}, "Cancel", cmd::kCancel);
    Add<Button>(Rect{31, 15, 10, 1}, "&Help", cmd::kHelp);
    status_ =
        &Add<StatusLine>(Rect{0, 16, 60, 1}, "Tab moves, Space toggles, Enter is OK, Esc cancels");
  }

  int HandleEvent(const Event& e) override {
    if (e.kind == EventKind::kCommand) {
      char line[128];
      std::snprintf(line, sizeof line, "command %d param %d %s", e.code, e.param, e.text.c_str());
      status_->SetText(line);
      if (e.code == cmd::kHelp) {
        ShowMessage(wm_, "Help", "Every control of the toolkit, in one window.");
        return 0;
      }
    }
    return Window::HandleEvent(e);
  }

 private:
  // A progress bar drawn from cells: filled part, unfilled part, centred percentage.
  void DrawBar(Painter& p) const {
    int width = p.ClipLocal().width;
    int percent = static_cast<int>(count_->Value()) * 10;
    int filled = width * percent / 100;
    p.Fill({0, 0, filled, 1}, U' ', p.GetTheme().highlight);
    p.Fill({filled, 0, width - filled, 1}, U'░', p.GetTheme().window);
    p.CenteredText(0, 0, width, std::to_string(percent) + "%",
                   percent > 50 ? p.GetTheme().highlight_text : p.GetTheme().window);
  }

  WindowManager& wm_;
  IntField* count_;
  StatusLine* status_;
};

class MainWindow : public Window {
 public:
  explicit MainWindow(WindowManager& wm)
      : Window({0, 0, 70, 6}, "Toolkit demo",
               kBorder | kShadow | kSystemButton | kMinimizeButton | kMaximizeButton),
        wm_(wm) {
    Center(wm.ScreenSize());
    esc_closes = false;
    GetMenuBar()
        .AddMenu("&File")
        .Item("&Controls...\tF2", kCmdControls)
        .Item("&Message...", kCmdMessage)
        .Separator()
        .Item("E&xit\tCtrl+X", kCmdExit);
    GetMenuBar().AddMenu("&Help").Item("&About", kCmdAbout);
    status_ =
        &Add<StatusLine>(Rect{1, 1, 66, 1}, "F10 opens the menu, F2 the controls, Ctrl+X ends");
  }

  int HandleEvent(const Event& e) override {
    if (e.kind == EventKind::kKey) {
      if (e.code == (key::F(4) | key::kAlt) || e.code == (key::kCtrl | 'x'))
        return Command(kCmdExit);
      if (e.code == key::F(2)) return Command(kCmdControls);
    }
    if (e.kind == EventKind::kClose) return Command(kCmdExit);
    if (e.kind == EventKind::kCommand) return Command(e.code);
    return Window::HandleEvent(e);
  }

 private:
  int Command(int code) {
    switch (code) {
      case kCmdExit: wm_.RequestEnd(); return 0;
      case kCmdControls: {
        ControlsDialog d(wm_);
        int r = wm_.RunModal(d, {cmd::kOk, cmd::kCloseModal});
        status_->SetText(r == cmd::kOk ? "Controls: OK" : "Controls: cancelled");
        return 0;
      }
      case kCmdMessage:
        ShowMessage(wm_, "Message", "A modal message over the main window.");
        return 0;
      case kCmdAbout: ShowMessage(wm_, "About", "Character-cell windowing toolkit demo"); return 0;
      default: return code;
    }
  }

  WindowManager& wm_;
  StatusLine* status_;
};

}  // namespace

int main() {
  if (!TerminalDisplay::Available()) {
    std::fprintf(stderr, "toolkit_demo: needs a terminal\n");
    return 1;
  }
  TerminalDisplay display;
  if (!display.Ready()) {
    std::fprintf(stderr, "toolkit_demo: cannot use this terminal (TERM)\n");
    return 1;
  }
  EventQueue queue(&display);
  WindowManager wm(display, queue);
  MainWindow main_window(wm);
  wm.Add(main_window);
  wm.Run();
  return 0;
}
