// List box and drop-down list.
#include <gtest/gtest.h>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/button.h"
#include "toolkit/list_box.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

constexpr int kSelect = 20300;
constexpr int kChoose = 20100;

struct ListDesk : Desk {
  ListDesk() : w({5, 3, 40, 14}, "List") {
    list = &w.Add<ListBox>(Rect{1, 1, 20, 8});
    for (int i = 0; i < 30; ++i) list->AddItem("item " + std::to_string(i));
    w.Add<Button>(Rect{1, 10, 10, 1}, "OK", cmd::kOk);
  }
  Recorder w;
  ListBox* list;
  // Screen position of a cell of the list.
  Point At(int x, int y) const {
    Rect c = w.ClientRect();
    return {c.left + 1 + x, c.top + 1 + y};
  }
};

TEST(ListBox, KeysMoveTheSelectionAndKeepItInView) {
  struct Case {
    std::vector<int> keys;
    int selected, top;
  } cases[] = {
      {{key::kDown}, 0, 0},
      {std::vector<int>(11, key::kDown), 10, 3},
      {{key::kEnd}, 29, 22},
      {{key::kEnd, key::kPageUp}, 22, 22},
      {{key::kPageDown, key::kPageDown}, 14, 7},
      {{key::kEnd, key::kHome}, 0, 0},
      {{key::kEnd, key::kDown}, 29, 22},
      {{'i', 'i'}, 1, 0},  // a letter steps to the next row starting with it
  };
  for (const Case& c : cases) {
    ListDesk d;
    for (int k : c.keys) d.display.Key(k);
    test::RunScript(d, d.w);
    EXPECT_EQ(d.list->Selected(), c.selected) << "after " << c.keys.size() << " keys";
    EXPECT_EQ(d.list->Top(), c.top) << "after " << c.keys.size() << " keys";
  }
}

TEST(ListBox, ScrollBarShowsWhereTheViewIsAndScrollsOnClicks) {
  ListDesk d;
  d.wm.Add(d.w);
  d.wm.Redraw();
  Point up = d.At(19, 0), down = d.At(19, 7);
  EXPECT_EQ(d.display.CellAt(up.x, up.y).ch, U'\u25b2');
  EXPECT_EQ(d.display.CellAt(down.x, down.y).ch, U'\u25bc');
  EXPECT_EQ(d.display.CellAt(up.x, up.y + 1).ch, U'\u2588');  // thumb at the top
  d.display.Click(down.x, down.y).Click(down.x, down.y).Then([&] {
    EXPECT_EQ(d.list->Top(), 2);
    EXPECT_EQ(d.list->Selected(), -1);  // scrolling does not select
  });
  d.display.Click(up.x, up.y + 5).Then([&] { EXPECT_EQ(d.list->Top(), 10); });  // a page down
  d.display.Key(key::kTab).Key(key::kTab).Key(key::kEnd).Then([&] {
    EXPECT_EQ(d.display.CellAt(up.x, down.y - 1).ch, U'\u2588');  // thumb at the bottom
  });
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.display.ScriptDone());
}

TEST(ListBox, ClickSelectsAndDoubleClickChoosesWithIndexedCodes) {
  ListDesk d;
  d.list->select_command = kSelect;
  d.list->choose_command = kChoose;
  d.list->add_index = true;
  Point row3 = d.At(2, 3);
  d.display.Click(row3.x, row3.y).DoubleClick(row3.x, row3.y + 1);
  test::RunScript(d, d.w);
  ASSERT_EQ(d.w.commands.size(), 3u);
  EXPECT_EQ(d.w.commands[0].code, kSelect + 3);
  EXPECT_EQ(d.w.commands[1].code, kSelect + 4);
  EXPECT_EQ(d.w.commands[2].code, kChoose + 4);
  EXPECT_EQ(d.w.commands[2].param, 4);
  EXPECT_EQ(d.w.commands[2].text, "item 4");
}

TEST(ListBox, EnterChoosesOrElsePressesTheWindowsOk) {
  ListDesk d;
  d.list->choose_command = kChoose;
  d.display.Keys({key::kDown, key::kDown, key::kEnter});
  test::RunScript(d, d.w);
  EXPECT_EQ(d.w.codes(), (std::vector<int>{kChoose}));

  ListDesk plain;
  plain.display.Keys({key::kDown, key::kEnter});
  EXPECT_EQ(test::RunScript(plain, plain.w), cmd::kOk);
}

TEST(ListBox, SelectedRowIsHighlightedOnlyWhenSelectable) {
  ListDesk d;
  d.display.Key(key::kDown).Then([&] {
    Point p = d.At(0, 0);
    EXPECT_EQ(d.display.CellAt(p.x, p.y).attr, d.wm.GetTheme().list_selected);
  });
  test::RunScript(d, d.w);

  ListDesk ro;
  ro.list->selectable = false;
  ro.display.Keys({key::kDown, key::kDown, key::kPageDown}).Then([&] {
    Point p = ro.At(0, 0);
    EXPECT_EQ(ro.display.CellAt(p.x, p.y).attr, ro.wm.GetTheme().list);
  });
  test::RunScript(ro, ro.w);
  EXPECT_EQ(ro.list->Top(), 10);
  EXPECT_EQ(ro.list->Selected(), -1);
}

TEST(ListBox, ShortListHasNoThumbAndWheelDoesNotScrollPastTheEnd) {
  Desk d;
  Recorder w({5, 3, 30, 10}, "Short");
  auto& list = w.Add<ListBox>(Rect{0, 0, 20, 5});
  list.AddItem("one");
  list.AddItem("two");
  Point p{w.ClientRect().left + 1, w.ClientRect().top};
  d.display.Wheel(p.x, p.y, false).Then([&] {
    EXPECT_EQ(list.Top(), 0);
    EXPECT_EQ(d.display.Find("\u2588"), (Point{-1, -1}));
  });
  test::RunScript(d, w);
  EXPECT_TRUE(d.display.ScriptDone());
}

struct DropDesk : Desk {
  DropDesk() : w({10, 5, 30, 6}, "Drop") {
    drop = &w.Add<DropDownList>(Rect{1, 1, 12, 1}, kSelect, 3);
    for (const char* s : {"IRMA", "NOVEL", "CUT", "ROF52", "ANY"}) drop->AddItem(s);
    drop->SetSelected(0);
    w.Add<Button>(Rect{1, 3, 10, 1}, "Cancel", cmd::kCancel);
  }
  Recorder w;
  DropDownList* drop;
};

TEST(DropDownList, OpensBelowItselfAndChoosesWithKeys) {
  DropDesk d;
  Rect c = d.w.ClientRect();
  d.display.Key(key::kEnter).Then([&] {
    // The open list overlaps the frame and goes beyond the window when needed.
    EXPECT_EQ(d.display.Find("IRMA"), (Point{c.left + 1, c.top + 1}));
    EXPECT_EQ(d.display.Find("NOVEL"), (Point{c.left + 1, c.top + 3}));
    EXPECT_EQ(d.display.CellAt(c.left + 1, c.top + 2).attr, d.wm.GetTheme().list_selected);
  });
  d.display.Keys({key::kDown, key::kDown, key::kDown}).Then([&] {
    // Scrolled: NOVEL, CUT, ROF52 under the closed row, which still shows IRMA.
    EXPECT_EQ(d.display.TextAt(c.left + 1, c.top + 2, 5), "NOVEL");
    EXPECT_EQ(d.display.TextAt(c.left + 1, c.top + 4, 5), "ROF52");
  });
  d.display.Key(key::kEnter);
  test::RunScript(d, d.w);
  EXPECT_EQ(d.drop->Selected(), 3);
  ASSERT_EQ(d.w.commands.size(), 1u);
  EXPECT_EQ(d.w.commands[0].text, "ROF52");
  EXPECT_EQ(d.w.commands[0].param, 3);
}

TEST(DropDownList, EscClosesTheListButNotTheWindow) {
  DropDesk d;
  d.display.Keys({key::kEnter, key::kDown, key::kEscape});
  EXPECT_EQ(test::RunScript(d, d.w), cmd::kCancel);  // ended by the script running out
  EXPECT_TRUE(d.w.codes().empty());
  EXPECT_EQ(d.drop->Selected(), 0);
  EXPECT_FALSE(d.drop->OverlayOpen());
}

TEST(DropDownList, ClosedArrowsStepAndClicksChoose) {
  DropDesk d;
  Rect c = d.w.ClientRect();
  d.display.Keys({key::kDown, key::kDown, key::kUp});
  d.display.Click(c.left + 5, c.top + 1).Click(c.left + 5, c.top + 4);
  test::RunScript(d, d.w);
  // NOVEL, CUT, NOVEL by keys; then the list opens at NOVEL (top 0) and the
  // third row (CUT) is clicked.
  std::vector<std::string> texts;
  for (const Event& e : d.w.commands) texts.push_back(e.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"NOVEL", "CUT", "NOVEL", "CUT"}));
}

TEST(DropDownList, ClickOutsideClosesTheOpenList) {
  DropDesk d;
  Rect c = d.w.ClientRect();
  d.display.Key(key::kEnter).Click(c.left + 20, c.top).Then([&] {
    EXPECT_FALSE(d.drop->OverlayOpen());
  });
  test::RunScript(d, d.w);
  EXPECT_TRUE(d.display.ScriptDone());
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

TEST(DropDownList, OpensAboveWhenTheScreenEndsBelow) {
  test::Desk d(40, 12);
  test::Recorder w({2, 6, 30, 6}, "Low");
  auto& drop = w.Add<DropDownList>(Rect{1, 2, 12, 1}, 1, 4);
  for (const char* s : {"one", "two", "three", "four"}) drop.AddItem(s);
  Rect c = w.ClientRect();
  int row = c.top + 2;  // screen row 9: four rows below would pass row 11
  d.display.Key(key::kEnter).Then([&] {
    EXPECT_EQ(d.display.TextAt(c.left + 1, row - 4, 3), "one");
    EXPECT_EQ(d.display.TextAt(c.left + 1, row - 1, 4), "four");
  });
  d.display.Click(c.left + 2, row - 3);  // "two"
  test::RunScript(d, w);
  EXPECT_EQ(drop.Selected(), 1);
}

}  // namespace
}  // namespace tk
