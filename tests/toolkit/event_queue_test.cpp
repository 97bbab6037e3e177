#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/toolkit/cpu_time.h"
#include "tests/toolkit/headless_fixture.h"
#include "toolkit/event_queue.h"

namespace tk {
namespace {

using Clock = std::chrono::steady_clock;

TEST(EventQueue, DeliversPutEventsInOrderAndPollNeverBlocks) {
  EventQueue q;
  q.Put(Event::Command(1));
  q.Put(Event::Key('a'));
  q.Put(Event::Command(3));
  Event e;
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.code, 1);
  ASSERT_TRUE(q.Wait(e, 0));
  EXPECT_EQ(e.kind, EventKind::kKey);
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.code, 3);
  auto t = Clock::now();
  EXPECT_FALSE(q.Poll(e));
  EXPECT_LT(MillisSince(t), 50);
}

TEST(EventQueue, PutEventsComeBeforeDisplayInput) {
  HeadlessDisplay d(10, 3);
  d.ClearFallback();
  d.Key('x');
  EventQueue q(&d);
  q.Put(Event::Command(7));
  Event e;
  ASSERT_TRUE(q.Wait(e, 0));
  EXPECT_EQ(e.kind, EventKind::kCommand);
  ASSERT_TRUE(q.Wait(e, 0));
  EXPECT_EQ(e.code, 'x');
  EXPECT_FALSE(q.Poll(e));
}

// Nothing spins: an idle wait sleeps the whole time-out, never less, and
// uses next to no CPU.
TEST(EventQueue, IdleWaitSleepsForTheWholeTimeoutWithoutSpinning) {
  EventQueue q;
  Event e;
  long cpu = CpuMicros();
  auto t = Clock::now();
  EXPECT_FALSE(q.Wait(e, 200));
  long waited = MillisSince(t);
  EXPECT_GE(waited, 200);
  EXPECT_LT(waited, 2000);
  EXPECT_LT(CpuMicros() - cpu, 20000);
}

TEST(EventQueue, WakeFromAnotherThreadDoesNotEndTheWaitEarly) {
  EventQueue q;
  std::thread waker([&] { q.Wake(); });
  auto t = Clock::now();
  Event e;
  EXPECT_FALSE(q.Wait(e, 100));
  EXPECT_GE(MillisSince(t), 100);
  waker.join();
}

TEST(HeadlessDisplay, ScriptRunsStepsInOrderThenHandsOutTheFallback) {
  HeadlessDisplay d(20, 5);
  std::vector<int> seen;
  d.Key('a').Then([&] { seen.push_back(-1); }).Type("bc").Resize(30, 6);
  EventQueue q(&d);
  Event e;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(q.Poll(e));
    seen.push_back(e.kind == EventKind::kKey ? e.code : 1000 + e.code);
  }
  EXPECT_EQ(seen, (std::vector<int>{'a', -1, 'b', 'c', 1000 + kResized}));
  EXPECT_EQ(d.GetSize(), (Size{30, 6}));
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.kind, EventKind::kQuit);
  ASSERT_TRUE(q.Poll(e));
  EXPECT_EQ(e.kind, EventKind::kQuit);
}

}  // namespace
}  // namespace tk
