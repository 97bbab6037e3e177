// Menu bar: opening with F10 and Alt, walking, choosing, mouse.
#include <gtest/gtest.h>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/text_field.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

struct MenuDesk : Desk {
  MenuDesk() : w({5, 5, 70, 6}, "Main", kBorder | kSystemButton) {
    w.esc_closes = false;
    MenuBar& bar = w.GetMenuBar();
    bar.AddMenu("&Exit").Item("E&xit", 19000);
    bar.AddMenu("&Transfer")
        .Item("&Immediate\tF6", 11120)
        .Item("&Unattended", 11110)
        .Separator()
        .Item("&Log", 11130);
    bar.AddMenu("&Options")
        .Item("&3270 interface", 11220)
        .Item("&Parameters", 11210)
        .Separator()
        .Item("&Debug Trace", 11250);
    bar.AddMenu("&Help")
        .Item("&General", 19110)
        .Item("&Index", 19120)
        .Separator()
        .Item("&About", 19130);
  }
  // Screen column of a menu title's first letter.
  int TitleX(int i) { return w.GetRect().left + 1 + w.GetMenuBar().TitleX(i); }
  int row() const { return w.GetRect().top + 1; }
  Recorder w;
};

TEST(MenuBar, KeysOpenWalkAndChoose) {
  struct Case {
    std::vector<int> keys;
    int want;
  } cases[] = {
      {{key::F(10), key::kEnter}, 19000},
      {{key::kAlt | 't', key::kEnter}, 11120},
      {{key::kAlt | 'T', key::kDown, key::kDown, key::kEnter}, 11130},  // skips the separator
      {{key::kAlt | 't', key::kUp, key::kEnter}, 11130},                // wraps upwards
      {{key::F(10), key::kLeft, key::kDown, key::kEnter}, 19120},       // wraps to the last menu
      {{key::F(10), key::kRight, key::kRight, 'd'}, 11250},             // item hot key
      {{key::kAlt | 'o', key::kAlt | 'h', 'a'}, 19130},                 // Alt switches menus
  };
  for (const Case& c : cases) {
    MenuDesk d;
    for (int k : c.keys) d.display.Key(k);
    test::RunScript(d, d.w);
    EXPECT_EQ(d.w.codes(), std::vector<int>{c.want}) << "case ending in " << c.want;
    EXPECT_FALSE(d.w.GetMenuBar().Open());
  }
}

TEST(MenuBar, EscAndF10CloseWithoutChoosing) {
  MenuDesk d;
  d.display.Keys({key::F(10), key::kEscape, key::kAlt | 'h', key::F(10)});
  d.display.Then([&] { EXPECT_FALSE(d.w.GetMenuBar().Open()); });
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.w.codes().empty());
}

TEST(MenuBar, OpenMenuTakesKeysAwayFromControls) {
  MenuDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 20, 1}, 20);
  d.display.Keys({key::F(10), 'q', 'z', key::kEscape}).Type("ok");
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "ok");
}

TEST(MenuBar, DropDownIsDrawnUnderItsTitleWithSeparatorsAndHints) {
  MenuDesk d;
  d.display.Key(key::kAlt | 't').Then([&] {
    int x = d.TitleX(1) - 1;
    EXPECT_EQ(d.display.CellAt(x, d.row() + 1).ch, U'\u250c');
    EXPECT_EQ(d.display.Find("Immediate"), (Point{x + 2, d.row() + 2}));
    EXPECT_NE(d.display.Text(d.row() + 2).find("F6"), std::string::npos);
    EXPECT_EQ(d.display.CellAt(x, d.row() + 4).ch, U'\u251c');  // separator row
    EXPECT_EQ(d.display.CellAt(x + 2, d.row() + 2).attr, d.wm.GetTheme().menu_selected);
    EXPECT_FALSE(d.display.CursorVisible());
  });
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.display.ScriptDone());
}

TEST(MenuBar, DisabledItemsAreSkippedAndCannotBeChosen) {
  MenuDesk d;
  d.w.GetMenuBar().SetEnabled(11120, false);
  d.display.Keys({key::kAlt | 't', key::kEnter, key::kAlt | 't', 'i', key::kEscape});
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{11110}));
}

TEST(MenuBar, TitleWithoutItemsActsAtOnce) {
  MenuDesk d;
  Recorder& w = d.w;
  w.GetMenuBar().AddCommand("&Index", 19120);
  d.display.Key(key::kAlt | 'i');
  d.display.Click(d.TitleX(4), d.row());
  test::RunScript(d, w);
  EXPECT_EQ(w.codes(), (std::vector<int>{19120, 19120}));
}

TEST(MenuBar, MouseOpensChoosesAndClickElsewhereCloses) {
  MenuDesk d;
  int hx = d.TitleX(3);
  d.display.Click(hx, d.row()).Then([&] { EXPECT_EQ(d.w.GetMenuBar().OpenIndex(), 3); });
  d.display.Click(hx + 1, d.row() + 3);                     // second item: Index
  d.display.Click(hx, d.row()).Click(hx + 1, d.row() + 4);  // the separator: nothing
  d.display.Click(0, 0).Then([&] { EXPECT_FALSE(d.w.GetMenuBar().Open()); });
  d.display.Click(hx, d.row()).Click(hx, d.row()).Then([&] {
    EXPECT_FALSE(d.w.GetMenuBar().Open());
  });
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{19120}));
}

}  // namespace
}  // namespace tk
