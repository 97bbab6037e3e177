// Radio groups, check boxes and buttons.
#include <gtest/gtest.h>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

struct ChoiceDesk : Desk {
  ChoiceDesk() : w({5, 3, 50, 14}, "Choices") {
    dest = &w.Add<RadioGroup>(Rect{1, 0, 40, 2}, "Destination");
    // The current destination goes first, so it starts checked.
    dest->AddButton({21, 1}, "&Printer", 11305);
    dest->AddButton({2, 1}, "&File", 11306);
    dupl = &w.Add<RadioGroup>(Rect{1, 3, 20, 4}, "Duplicate");
    dupl->AddButton({2, 1}, "&Replace", 11301);
    dupl->AddButton({2, 2}, "&Cancel", 11302);
    dupl->AddButton({2, 3}, "Re&name", 11303);
    ascii = &w.Add<CheckBox>(Rect{26, 4, 12, 1}, "&ASCII", 11310, true);
    w.Add<Button>(Rect{1, 9, 10, 1}, "OK", cmd::kOk);
    w.Add<Button>(Rect{13, 9, 10, 1}, "&Help", cmd::kHelp);
  }
  Point Cell(int x, int y) const { return {w.ClientRect().left + x, w.ClientRect().top + y}; }
  Recorder w;
  RadioGroup* dest;
  RadioGroup* dupl;
  CheckBox* ascii;
};

TEST(RadioGroup, FirstButtonAddedStartsCheckedAndIsDrawnSo) {
  ChoiceDesk d;
  d.wm.Add(d.w);
  d.wm.Redraw();
  EXPECT_EQ(d.dest->Checked(), 0);
  Point p = d.Cell(1 + 21, 1);
  EXPECT_EQ(d.display.CellAt(p.x + 1, p.y).ch, U'\u2022');
  EXPECT_EQ(d.display.CellAt(d.Cell(1 + 2, 1).x + 1, p.y).ch, U' ');
  EXPECT_NE(d.display.Find("Destination"), (Point{-1, -1}));
}

TEST(RadioGroup, ArrowsWalkTheAddedOrderAndPostEachChoice) {
  ChoiceDesk d;
  d.display.Keys({key::kDown, key::kDown, key::kTab, key::kUp});
  test::RunScript(d, d.w);
  EXPECT_EQ(d.dest->Checked(), 0);  // wrapped round
  EXPECT_EQ(d.dupl->Checked(), 2);  // Up from the first wraps to the last
  EXPECT_EQ(d.w.codes(), (std::vector<int>{11306, 11305, 11303}));
}

TEST(RadioGroup, HotKeysAndClicksChoose) {
  ChoiceDesk d;
  Point cancel = d.Cell(1 + 2 + 5, 3 + 2);
  d.display.Key('n').Key(key::kAlt | 'f').Click(cancel.x, cancel.y);
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{11303, 11306, 11302}));
  EXPECT_EQ(d.dest->Checked(), 1);
  EXPECT_EQ(d.dupl->Checked(), 1);
  EXPECT_EQ(d.w.Focus(), d.dupl);
}

TEST(RadioGroup, FullFrameOnlyWhenButtonsLeaveTheBottomRowFree) {
  ChoiceDesk d;
  d.wm.Add(d.w);
  d.wm.Redraw();
  // Buttons on rows 1..3 of a 4-row group: no bottom border over "Rename".
  EXPECT_NE(d.display.Find("( ) Rename"), (Point{-1, -1}));
}

TEST(CheckBox, SpaceClickAndHotKeyToggle) {
  ChoiceDesk d;
  Point box = d.Cell(26, 4);
  d.display.Key(key::kAlt | 'a').Key(' ').Click(box.x, box.y);
  test::RunScript(d, d.w);
  EXPECT_FALSE(d.ascii->Checked());
  ASSERT_EQ(d.w.commands.size(), 3u);
  EXPECT_EQ(d.w.commands[0].param, 0);
  EXPECT_EQ(d.w.commands[1].param, 1);
  EXPECT_EQ(d.w.commands[2].param, 0);
}

TEST(Button, FocusedButtonTakesEnterOverTheDefault) {
  ChoiceDesk d;
  d.display.Keys({key::kTab, key::kTab, key::kTab, key::kTab, key::kEnter});
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{cmd::kHelp}));
}

TEST(Button, PlainLetterPressesAButtonUnlessAFieldTakesIt) {
  ChoiceDesk d;
  d.display.Key('h');
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{cmd::kHelp}));
}

TEST(Button, DisabledButtonIsSkippedAndIgnoresClicks) {
  Desk d;
  Recorder w({0, 0, 40, 6}, "Disabled");
  auto& first = w.Add<Button>(Rect{0, 0, 10, 1}, "&One", 1001);
  auto& off = w.Add<Button>(Rect{12, 0, 10, 1}, "&Two", 1002);
  w.Add<Button>(Rect{24, 0, 10, 1}, "T&hree", 1003);
  off.SetEnabled(false);
  Point two{w.ClientRect().left + 14, w.ClientRect().top};
  d.display.Key(key::kTab).Key(key::kEnter).Click(two.x, two.y).Key('t');
  test::RunScript(d, w);
  EXPECT_EQ(w.codes(), (std::vector<int>{1003}));
  EXPECT_NE(w.Focus(), &first);
}

TEST(Label, HotKeyFocusesTheControlAfterIt) {
  Desk d;
  Recorder w({0, 0, 40, 6}, "Label");
  w.Add<Button>(Rect{0, 2, 10, 1}, "OK", cmd::kOk);
  w.Add<Label>(Rect{0, 0, 8, 1}, "&Second:");
  auto& second = w.Add<CheckBox>(Rect{10, 0, 10, 1}, "box", 1);
  d.display.Key(key::kAlt | 's');
  test::RunScript(d, w);
  EXPECT_EQ(w.Focus(), &second);
  EXPECT_TRUE(w.codes().empty());
}

}  // namespace
}  // namespace tk
