// Window stack, dispatch, modal loops, program end, redraw and resize.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/toolkit/headless_fixture.h"
#include "toolkit/button.h"
#include "toolkit/static_text.h"

namespace tk {
namespace {

using test::Desk;
using test::Recorder;

constexpr int kOpenChild = 20001;

// A window whose command kOpenChild runs another window modally, and which
// records how its own nested loop ended.
class Opener : public Recorder {
 public:
  Opener(Rect r, std::string title, std::function<int()> open_child)
      : Recorder(r, std::move(title)), open_child_(std::move(open_child)) {}
  int HandleEvent(const Event& e) override {
    if (e.kind == EventKind::kCommand && e.code == kOpenChild) {
      commands.push_back(e);
      child_results.push_back(open_child_());
      return 0;
    }
    return Recorder::HandleEvent(e);
  }
  std::vector<int> child_results;

 private:
  std::function<int()> open_child_;
};

TEST(WindowManager, NestedModalLoopsReturnInOrderAndRedrawWhatWasCovered) {
  Desk d;
  Recorder inner({20, 8, 30, 6}, "Inner");
  inner.Add<Button>(Rect{1, 2, 10, 1}, "OK", cmd::kOk);
  Opener outer({10, 5, 50, 12}, "Outer", [&] {
    return d.wm.RunModal(inner, {cmd::kOk, cmd::kCloseModal});
  });
  outer.Add<Label>(Rect{12, 3, 20, 1}, "under the inner one");
  outer.Add<Button>(Rect{1, 8, 10, 1}, "&Open", kOpenChild);
  Opener main({0, 0, 80, 25}, "Main", [&] { return d.wm.RunModal(outer); });
  main.esc_closes = false;
  d.wm.Add(main);

  d.display.Send(Event::Command(kOpenChild)).Then([&] {
    EXPECT_EQ(d.wm.Front(), &outer);
    EXPECT_NE(d.display.Find("under the inner one"), (Point{-1, -1}));
  });
  d.display.Key('o').Then([&] {
    EXPECT_EQ(d.wm.Front(), &inner);
    EXPECT_EQ(d.display.Find("under the inner one"), (Point{-1, -1}));
    EXPECT_NE(d.display.Find(" Inner "), (Point{-1, -1}));
  });
  d.display.Key(key::kEnter).Then([&] {
    EXPECT_EQ(d.wm.Front(), &outer);
    EXPECT_EQ(d.display.Find(" Inner "), (Point{-1, -1}));
    EXPECT_NE(d.display.Find("under the inner one"), (Point{-1, -1}));
    EXPECT_EQ(outer.child_results, std::vector<int>{cmd::kOk});
  });
  d.display.Key(key::kEscape).Then([&] {
    EXPECT_EQ(d.wm.Front(), &main);
    EXPECT_EQ(main.child_results, std::vector<int>{cmd::kCloseModal});
    EXPECT_EQ(d.display.Find(" Outer "), (Point{-1, -1}));
  });
  d.display.Send(Event::Command(19000));
  d.wm.Run();
  EXPECT_TRUE(d.wm.EndRequested());
  EXPECT_TRUE(d.display.ScriptDone());
  EXPECT_EQ(main.codes(), (std::vector<int>{kOpenChild, 19000}));
  EXPECT_FALSE(d.wm.Contains(outer));
  EXPECT_FALSE(d.wm.Contains(inner));
}

// A program-end request ends every modal loop on the stack with Cancel and
// then the main loop.
TEST(WindowManager, ProgramEndUnwindsStackedLoops) {
  Desk d;
  d.display.ClearFallback();
  Recorder inner({20, 8, 30, 6}, "Inner");
  Opener outer({10, 5, 50, 12}, "Outer", [&] { return d.wm.RunModal(inner); });
  Opener main({0, 0, 80, 25}, "Main", [&] { return d.wm.RunModal(outer); });
  d.wm.Add(main);
  d.queue.Put(Event::Command(kOpenChild));
  d.queue.Put(Event::Command(kOpenChild, 0));
  d.display.Then([&] { d.wm.RequestEnd(); });
  d.wm.Run();
  EXPECT_TRUE(d.wm.EndRequested());
  EXPECT_EQ(outer.child_results, std::vector<int>{cmd::kCancel});
  EXPECT_EQ(main.child_results, std::vector<int>{cmd::kCancel});
  Event e;
  EXPECT_FALSE(d.queue.Poll(e));  // the request was taken, not left behind
}

TEST(WindowManager, ModalLoopEndsWithZeroWhenItsWindowIsNoLongerInFront) {
  Desk d;
  Recorder other({0, 0, 10, 3}, "Other");
  Recorder dialog({10, 5, 30, 6}, "Dialog");
  d.display.Then([&] { d.wm.Add(other); }).Key('x');
  EXPECT_EQ(d.wm.RunModal(dialog), 0);
  EXPECT_FALSE(d.wm.Contains(dialog));
  EXPECT_TRUE(d.wm.Contains(other));

  Desk d2;
  Recorder gone({10, 5, 30, 6}, "Gone");
  d2.display.Then([&] { d2.wm.Remove(gone); }).Key('x');
  EXPECT_EQ(d2.wm.RunModal(gone), 0);
}

TEST(WindowManager, ClickOnABackgroundWindowReachesItWithoutRaisingIt) {
  Desk d;
  Recorder main({0, 0, 80, 25}, "Main");
  main.Add<Button>(Rect{1, 20, 10, 1}, "&Log", 11130);
  Recorder dialog({20, 5, 30, 6}, "Dialog");
  d.wm.Add(main);
  Rect c = main.ClientRect();
  d.display.Click(c.left + 3, c.top + 20);
  EXPECT_EQ(d.wm.RunModal(dialog), cmd::kCancel);  // the script ran out; the click did not end it
  EXPECT_EQ(main.codes(), (std::vector<int>{11130}));
  EXPECT_TRUE(dialog.codes().empty());
}

TEST(WindowManager, CommandsForAWindowThatIsGoneAreDropped) {
  Desk d;
  Recorder main({0, 0, 80, 25}, "Main");
  d.wm.Add(main);
  int stale_id;
  {
    Recorder temp({5, 5, 20, 5}, "Temp");
    d.wm.Add(temp);
    stale_id = temp.Id();
    temp.Post(Event::Command(42));
  }
  EXPECT_FALSE(d.wm.Contains(main) && d.wm.Front() != &main);
  d.queue.Put(Event::Command(43));
  Event e;
  ASSERT_TRUE(d.queue.Poll(e));
  EXPECT_EQ(e.target, stale_id);
  EXPECT_EQ(d.wm.Dispatch(e).window, nullptr);
  ASSERT_TRUE(d.queue.Poll(e));
  EXPECT_EQ(d.wm.Dispatch(e).window, &main);
  EXPECT_EQ(main.codes(), (std::vector<int>{43}));
}

TEST(WindowManager, ResizeRecentresCentredWindowsAndFollowsTheNewSize) {
  Desk d;
  Recorder w({0, 0, 40, 10}, "Centred");
  w.Center(d.wm.ScreenSize());
  Window fixed({2, 2, 10, 4}, "Fixed");
  Window big({0, 0, 20, 5}, "Big", kBorder | kMaximizeButton);
  big.SetMaximized(true);
  d.wm.Add(big);
  d.wm.Add(fixed);
  EXPECT_EQ(w.GetRect().left, 21);
  d.display.Resize(100, 30).Then([&] {
    EXPECT_EQ(d.wm.ScreenSize(), (Size{100, 30}));
    EXPECT_EQ(w.GetRect(), (Rect{31, 11, 40, 10}));
    EXPECT_EQ(fixed.GetRect(), (Rect{2, 2, 10, 4}));
    EXPECT_EQ(big.GetRect(), (Rect{0, 0, 100, 30}));
    EXPECT_EQ(d.display.Find(" Centred "), (Point{31 + 15, 11}));
  });
  d.display.Resize(30, 8).Then([&] {
    // Larger than the screen: from its top left corner, drawn clipped.
    EXPECT_EQ(w.GetRect().left, 0);
    EXPECT_EQ(d.display.CellAt(0, 0).ch, U'\u2554');
    EXPECT_EQ(d.display.CellAt(29, 7).attr, d.wm.GetTheme().window);
  });
  test::RunScript(d, w);
  EXPECT_TRUE(d.display.ScriptDone());
}

TEST(WindowManager, PumpOneTimesOutQuietlyAndDispatchesWhatComes) {
  Desk d;
  d.display.ClearFallback();
  Recorder w({0, 0, 20, 5}, "W");
  d.wm.Add(w);
  EXPECT_FALSE(d.wm.PumpOne(30));
  d.queue.Put(Event::Command(77));
  Event taken;
  EXPECT_TRUE(d.wm.PumpOne(30, &taken));
  EXPECT_EQ(taken.code, 77);
  EXPECT_EQ(w.codes(), (std::vector<int>{77}));
  d.queue.Put(Event::Quit());
  EXPECT_TRUE(d.wm.PumpOne(0));
  EXPECT_TRUE(d.wm.EndRequested());
}

TEST(WindowManager, DestroyedWindowLeavesTheStack) {
  Desk d;
  auto w = std::make_unique<Window>(Rect{0, 0, 10, 5}, "W");
  d.wm.Add(*w);
  w.reset();
  EXPECT_TRUE(d.wm.Windows().empty());
  d.wm.Redraw();
  EXPECT_EQ(d.display.Find("W"), (Point{-1, -1}));
}

}  // namespace
}  // namespace tk

namespace tk {
namespace {

TEST(WindowManager, ModalLoopCanEndOnARangeOfButtonCodes) {
  test::Desk d;
  test::Recorder box({10, 5, 40, 7}, "Box");
  box.Add<Button>(Rect{1, 3, 10, 1}, "&Retry", cmd::kRetry);
  box.Add<Button>(Rect{13, 3, 10, 1}, "&Abort", cmd::kAbort);
  d.display.Key(key::kAlt | 'a');
  int r = d.wm.RunModal(box, [](int code) { return code >= 10010 && code <= 10098; });
  EXPECT_EQ(r, cmd::kAbort);

  // A box that reports the button itself: Cancel is a button like the others.
  test::Desk d3;
  test::Recorder ask({10, 5, 40, 7}, "Ask");
  ask.cancel_closes = false;
  ask.Add<Button>(Rect{1, 3, 10, 1}, "Cancel", cmd::kCancel);
  d3.display.Key(key::kEscape).Key('z');
  EXPECT_EQ(d3.wm.RunModal(ask, [](int code) { return code >= 10010 && code <= 10098; }),
            cmd::kCancel);
  EXPECT_FALSE(d3.display.ScriptDone());  // ended by the button, not by the script running out

  test::Desk d2;
  test::Recorder help({10, 5, 40, 7}, "Help key");
  d2.display.Key(key::F(1));
  EXPECT_EQ(d2.wm.RunModal(help, [](int code) { return code >= 10010 && code <= 10098; }),
            cmd::kHelp);
}

}  // namespace
}  // namespace tk
