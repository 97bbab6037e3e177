// Window frame, placement, keyboard navigation and mouse on the frame.
#include <gtest/gtest.h>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

TEST(Window, DrawsFrameTitleDecorationsAndPlacesControlsInTheClientArea) {
  Desk d;
  Window w({0, 0, 70, 6}, "QORPRTW", kBorder | kSystemButton | kMinimizeButton | kMaximizeButton);
  w.Center(d.wm.ScreenSize());
  w.GetMenuBar().AddMenu("&Exit").Item("E&xit", 19000);
  w.Add<StatusLine>(Rect{1, 1, 66, 1}, "status text");
  d.wm.Add(w);
  d.wm.Redraw();
  EXPECT_EQ(w.GetRect(), (Rect{6, 10, 70, 6}));
  std::string top = d.display.Text(10);
  EXPECT_EQ(top.find("[\u25a0]"),
            std::string(6, ' ').size() + 3);  // after "╔" (3 bytes) at column 6
  EXPECT_NE(top.find(" QORPRTW "), std::string::npos);
  EXPECT_NE(top.find("[\u2193][\u2191]"), std::string::npos);
  EXPECT_EQ(d.display.Find(" Exit "), (Point{7, 11}));
  // Client area: inside the border, below the menu row.
  EXPECT_EQ(w.ClientRect(), (Rect{7, 12, 68, 3}));
  EXPECT_EQ(d.display.Find("status text"), (Point{8, 13}));
  EXPECT_EQ(d.display.CellAt(6, 15).ch, U'\u255a');  // active window: double frame
}

TEST(Window, LongTitleIsCutInsideTheFrame) {
  Desk d(40, 10);
  Window w({0, 0, 20, 5}, "A title far too long for this window");
  d.wm.Add(w);
  d.wm.Redraw();
  EXPECT_EQ(d.display.Text(0).substr(0, 3), "\u2554");
  EXPECT_EQ(d.display.CellAt(19, 0).ch, U'\u2557');
}

struct NavDesk : Desk {
  NavDesk() : w({2, 2, 60, 10}, "Nav") {
    w.Add<Label>(Rect{0, 0, 8, 1}, "&Name:");
    name = &w.Add<TextField>(Rect{10, 0, 20, 1}, 20);
    hidden = &w.Add<TextField>(Rect{10, 1, 20, 1}, 20);
    hidden->SetVisible(false);
    box = &w.Add<CheckBox>(Rect{10, 2, 20, 1}, "&Box", 1);
    ok = &w.Add<Button>(Rect{0, 5, 10, 1}, "OK", cmd::kOk);
    cancel = &w.Add<Button>(Rect{12, 5, 10, 1}, "Cancel", cmd::kCancel);
  }
  Recorder w;
  TextField* name;
  TextField* hidden;
  CheckBox* box;
  Button* ok;
  Button* cancel;
};

TEST(Window, TabAndShiftTabCycleThroughVisibleStops) {
  struct Case {
    std::vector<int> keys;
    int want;  // 0 name, 1 box, 2 ok, 3 cancel
  } cases[] = {
      {{}, 0},
      {{key::kTab}, 1},
      {{key::kTab, key::kTab, key::kTab}, 3},
      {{key::kTab, key::kTab, key::kTab, key::kTab}, 0},
      {{key::kTab | key::kShift}, 3},
      {{key::kTab, key::kTab, key::kRight}, 3},  // arrows walk a row of buttons
      {{key::kTab, key::kTab, key::kLeft}, 1},
  };
  for (const Case& c : cases) {
    NavDesk d;
    for (int k : c.keys) d.display.Key(k);
    test::RunScript(d, d.w);
    Control* want[] = {d.name, d.box, d.ok, d.cancel};
    EXPECT_EQ(d.w.Focus(), want[c.want]) << "case with " << c.keys.size() << " keys";
  }
}

TEST(Window, EnterPressesOkFromAFieldAndEscPressesCancel) {
  NavDesk d;
  d.display.Type("abc").Key(key::kEnter);
  EXPECT_EQ(test::RunScript(d, d.w), cmd::kOk);

  NavDesk e;
  e.display.Key(key::kEscape);
  EXPECT_EQ(test::RunScript(e, e.w), cmd::kCloseModal);
  EXPECT_EQ(e.w.codes(), (std::vector<int>{cmd::kCancel}));
}

TEST(Window, EscWithoutCancelIsACloseRequestUnlessSwitchedOff) {
  Desk d;
  Recorder w({0, 0, 30, 5}, "Plain");
  d.display.Key(key::kEscape);
  EXPECT_EQ(test::RunScript(d, w), cmd::kCloseModal);
  EXPECT_TRUE(w.codes().empty());

  Desk d2;
  Recorder main({0, 0, 30, 5}, "Main");
  main.esc_closes = false;
  d2.display.Key(key::kEscape);
  EXPECT_EQ(test::RunScript(d2, main), cmd::kCancel);  // only the end of the script ended it
}

TEST(Window, F1AsksForHelp) {
  NavDesk d;
  d.display.Key(key::F(1));
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{cmd::kHelp}));
}

TEST(Window, CursorFollowsTheFocusedFieldAndHidesOnButtons) {
  NavDesk d;
  Rect c = d.w.ClientRect();
  d.display.Type("ab").Then([&] {
    EXPECT_TRUE(d.display.CursorVisible());
    EXPECT_EQ(d.display.Cursor(), (Point{c.left + 12, c.top}));
  });
  d.display.Key(key::kTab).Then([&] { EXPECT_FALSE(d.display.CursorVisible()); });
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.display.ScriptDone());
}

TEST(Window, SystemButtonClickIsACloseRequest) {
  Desk d;
  Recorder w({10, 5, 30, 6}, "Sys", kBorder | kSystemButton);
  d.display.Click(12, 5);
  EXPECT_EQ(test::RunScript(d, w), cmd::kCloseModal);
}

TEST(Window, MaximiseAndMinimiseToggle) {
  Desk d;
  Window w({10, 5, 30, 6}, "Max", kBorder | kMinimizeButton | kMaximizeButton);
  auto& b = w.Add<Button>(Rect{0, 0, 10, 1}, "OK", cmd::kOk);
  (void)b;
  d.display.Click(10 + 30 - 3, 5).Then([&] {
    EXPECT_TRUE(w.Maximized());
    EXPECT_EQ(w.GetRect(), (Rect{0, 0, 80, 25}));
    EXPECT_EQ(d.display.CellAt(79, 24).ch, U'\u255d');
  });
  d.display.Click(80 - 3, 0).Then([&] { EXPECT_EQ(w.GetRect(), (Rect{10, 5, 30, 6})); });
  d.display.Click(10 + 30 - 6, 5).Then([&] {
    EXPECT_TRUE(w.Minimized());
    EXPECT_EQ(d.display.Find("OK"), (Point{-1, -1}));
    EXPECT_EQ(w.ClientRect().height, 0);
  });
  d.display.Click(10 + 30 - 6, 5).Then([&] { EXPECT_NE(d.display.Find("OK"), (Point{-1, -1})); });
  test::RunScript(d, w);
  EXPECT_TRUE(d.display.ScriptDone());
}

TEST(Window, ClickOnAButtonFocusesAndPressesIt) {
  NavDesk d;
  Rect c = d.w.ClientRect();
  d.display.Click(c.left + 14, c.top + 5);
  EXPECT_EQ(test::RunScript(d, d.w), cmd::kCloseModal);
  EXPECT_EQ(d.w.Focus(), d.cancel);
}

TEST(Window, ClicksOutsideEveryControlDoNothing) {
  NavDesk d;
  Rect c = d.w.ClientRect();
  d.display.Click(c.left + 50, c.top + 7).Click(0, 0);
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.w.codes().empty());
  EXPECT_EQ(d.w.Focus(), d.name);
}

}  // namespace
}  // namespace tk
