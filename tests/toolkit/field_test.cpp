// Text and integer fields, driven by keys and clicks through the headless screen.
#include <gtest/gtest.h>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"
#include "toolkit/text_field.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

constexpr int kChanged = 20500;

struct FieldDesk : Desk {
  FieldDesk() : w({10, 5, 40, 8}, "Fields") {}
  Recorder w;
};

TEST(TextField, RefusesCharactersBeyondItsMaximumLength) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 10, 1}, 5);
  f.SetCommand(kChanged);
  d.display.Type("abcdefg");
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "abcde");
  EXPECT_EQ(d.display.Beeps(), 2);
  // One change notice per accepted character, carrying the text.
  ASSERT_EQ(d.w.commands.size(), 5u);
  EXPECT_EQ(d.w.commands.back().text, "abcde");
}

TEST(TextField, ForcesUpperCaseOnTypedAndSetText) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 10, 1}, 8, true);
  f.SetText("ab");
  d.display.Key(key::kEnd).Type("c1\xc3\xa9");
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "ABC1\xc3\x89");
}

TEST(TextField, SetTextLongerThanTheMaximumIsCut) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 10, 1}, 255);
  std::string long_text(300, 'x');
  f.SetText(long_text);
  EXPECT_EQ(f.GetText().size(), 255u);
  f.SetText(std::string(255, 'y'));
  EXPECT_EQ(f.GetText(), std::string(255, 'y'));
}

TEST(TextField, EditingKeysMoveAndDelete) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 10, 1}, 20);
  d.display.Type("abc")
      .Keys({key::kHome, key::kDelete, key::kEnd, key::kBackspace, key::kLeft})
      .Type("X")
      .Keys({key::kHome, key::kBackspace, key::kEnd, key::kDelete});
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "Xb");
  EXPECT_EQ(f.Cursor(), 2);
}

TEST(TextField, LongTextScrollsAndTheCursorStaysInTheField) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 6, 1}, 40);
  d.display.Type("0123456789").Then([&] {
    Rect c = d.w.ClientRect();
    Point cur = d.display.Cursor();
    EXPECT_TRUE(d.display.CursorVisible());
    EXPECT_EQ(cur.y, c.top + 1);
    EXPECT_EQ(cur.x, c.left + 1 + 5);  // after the last character, in the last cell
    EXPECT_NE(d.display.Find("\u25c46789"), (Point{-1, -1}));
  });
  d.display.Key(key::kHome).Then([&] {
    EXPECT_EQ(d.display.Cursor().x, d.w.ClientRect().left + 1);
    EXPECT_NE(d.display.Find("01234\u25ba"), (Point{-1, -1}));
  });
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "0123456789");
  EXPECT_TRUE(d.display.ScriptDone());
}

// Entered by Tab or a hot key, a field's text is selected: typing replaces
// it, Backspace empties it, an arrow or a click drops the selection.
TEST(TextField, EnteredFromTheKeyboardItsTextIsSelected) {
  FieldDesk d;
  d.w.Add<Label>(Rect{1, 0, 6, 1}, "&Name:");
  auto& name = d.w.Add<TextField>(Rect{8, 0, 10, 1}, 20);
  auto& other = d.w.Add<TextField>(Rect{8, 1, 10, 1}, 20);
  auto& digits = d.w.Add<TextField>(Rect{8, 2, 10, 1}, 3, true);
  name.SetText("old name");
  other.SetText("keep");
  digits.SetText("ABC");
  Rect c = d.w.ClientRect();
  d.display.Key(key::kTab)
      .Then([&] { EXPECT_TRUE(other.TextSelected()); })
      .Key(key::kLeft)
      .Type("<")  // at the start: the selection is gone
      .Key(key::kAlt | 'n')
      .Then([&] {
        EXPECT_EQ(d.w.Focus(), &name);
        EXPECT_EQ(d.display.CellAt(c.left + 8, c.top).attr, d.wm.GetTheme().field_selected);
      })
      .Type("new")
      .Key(key::kAlt | 'n')  // again while there: selected anew
      .Key(key::kBackspace)
      .Type("x")
      .Click(c.left + 8, c.top + 2)  // a click: the cursor there, nothing selected
      .Type("z");
  test::RunScript(d, d.w);
  EXPECT_EQ(name.GetText(), "x");
  EXPECT_EQ(other.GetText(), "<keep");
  EXPECT_EQ(digits.GetText(), "ABC");  // full: the typed character is refused
  EXPECT_FALSE(digits.TextSelected());
}

TEST(TextField, ReadOnlyFieldIgnoresTyping) {
  FieldDesk d;
  auto& f = d.w.Add<TextField>(Rect{1, 1, 10, 1}, 20);
  f.SetText("keep");
  f.SetReadOnly(true);
  d.display.Type("zz").Key(key::kBackspace);
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "keep");
}

TEST(IntField, RefusesADigitThatGoesAboveTheMaximum) {
  FieldDesk d;
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 10, 5);
  d.display.Key(key::kBackspace).Type("15");
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "1");
  EXPECT_EQ(f.Value(), 1);
  EXPECT_EQ(d.display.Beeps(), 1);
}

TEST(IntField, SpinsWithinTheRangeAndBeepsAtItsEnds) {
  FieldDesk d;
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 10, 9);
  d.display.Keys({key::kUp, key::kUp, key::kUp});
  test::RunScript(d, d.w);
  EXPECT_EQ(f.Value(), 10);
  EXPECT_EQ(d.display.Beeps(), 2);

  FieldDesk d2;
  auto& g = d2.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 14400, 30);
  d2.display.Keys({key::kDown, key::kPageUp});
  test::RunScript(d2, d2.w);
  EXPECT_EQ(g.Value(), 39);
  EXPECT_EQ(g.GetText(), "39");
}

TEST(IntField, SpinButtonsRespondToClicks) {
  FieldDesk d;
  d.w.Add<Button>(Rect{1, 3, 10, 1}, "OK", cmd::kOk);  // has the focus at first
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 10, 5);
  d.wm.Add(d.w);
  d.wm.Redraw();
  Rect c = d.w.ClientRect();
  EXPECT_EQ(d.display.CellAt(c.left + 1 + 6, c.top + 1).ch, U'\u25b2');
  d.display.Click(c.left + 1 + 6, c.top + 1)
      .Click(c.left + 1 + 6, c.top + 1)
      .Click(c.left + 1 + 7, c.top + 1);
  test::RunScript(d, d.w);
  EXPECT_EQ(f.Value(), 6);
  EXPECT_EQ(d.w.Focus(), &f);
}

// A value below the minimum cannot be left, and OK is refused, until corrected.
TEST(IntField, BelowMinimumKeepsFocusAndRefusesOk) {
  FieldDesk d;
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 10, 100, 50);
  d.w.Add<Button>(Rect{1, 3, 10, 1}, "OK", cmd::kOk);
  d.display.Keys({key::kBackspace, key::kBackspace}).Type("5").Key(key::kTab).Key(key::kEnter);
  d.display.Then([&] {
    EXPECT_EQ(d.w.Focus(), &f);
    EXPECT_EQ(d.display.Beeps(), 2);  // once for Tab, once for Enter
  });
  d.display.Type("0").Key(key::kEnter);
  int r = d.wm.RunModal(d.w, {cmd::kOk});
  EXPECT_EQ(r, cmd::kOk);
  EXPECT_EQ(f.Value(), 50);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{cmd::kOk}));  // the refused OK never reached the window
}

TEST(IntField, EmptyFieldIsInvalidAndKeepsTheLastValidValue) {
  FieldDesk d;
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 10, 7);
  d.display.Key(key::kBackspace);
  test::RunScript(d, d.w);
  EXPECT_FALSE(f.Valid());
  EXPECT_EQ(f.Value(), 7);
  EXPECT_FALSE(d.w.Validate());
}

TEST(IntField, MinusSignOnlyForNegativeRangesAndOnlyFirst) {
  FieldDesk d;
  auto& pos = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 0, 99, 0);
  auto& neg = d.w.Add<IntField>(Rect{1, 2, 8, 1}, -50, 50, 0);
  d.display.Key(key::kBackspace).Type("-7").Key(key::kTab).Key(key::kBackspace).Type("-7-");
  test::RunScript(d, d.w);
  EXPECT_EQ(pos.GetText(), "7");
  EXPECT_EQ(neg.GetText(), "-7");
  EXPECT_EQ(neg.Value(), -7);
}

// A value far beyond the range never wraps round into it (long is 32 bits on
// Windows: 4294967297 would be 1 there).
TEST(IntField, AHugeNegativeNumberStaysOutOfRange) {
  FieldDesk d;
  auto& f = d.w.Add<IntField>(Rect{1, 1, 14, 1}, -2000000000, 2000000000, 3);
  d.display.Key(key::kBackspace).Type("-4294967297");
  test::RunScript(d, d.w);
  EXPECT_EQ(f.GetText(), "-4294967297");
  EXPECT_FALSE(f.Valid());
  EXPECT_EQ(f.Value(), -429496729);  // the last valid value, one digit before
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

TEST(IntField, FirstDigitAfterFocusReplacesTheValue) {
  FieldDesk d;
  d.w.Add<Button>(Rect{1, 3, 10, 1}, "OK", cmd::kOk);
  auto& f = d.w.Add<IntField>(Rect{1, 1, 8, 1}, 1, 14400, 30);
  f.SetCommand(kChanged);
  d.display.Key(key::kTab).Type("45").Key(key::kTab).Key(key::kTab).Key('-');
  test::RunScript(d, d.w);
  EXPECT_EQ(f.Value(), 45);      // not 3045
  EXPECT_EQ(f.GetText(), "45");  // a refused first key leaves the value alone
  EXPECT_EQ(d.display.Beeps(), 1);
  ASSERT_EQ(d.w.commands.size(), 2u);
  EXPECT_EQ(d.w.commands[0].text, "4");
}

}  // namespace
}  // namespace tk
