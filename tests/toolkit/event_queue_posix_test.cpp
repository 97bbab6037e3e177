// The queue's POSIX half: descriptors to wake on.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/toolkit/cpu_time.h"
#include "toolkit/event_queue.h"

namespace tk {
namespace {

using Clock = std::chrono::steady_clock;

TEST(EventQueue, WaitWakesWhenAWatchedDescriptorBecomesReady) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  EventQueue q;
  int id = q.Watch(fds[0], POLLIN);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(write(fds[1], "x", 1), 1);
  });
  auto t = Clock::now();
  Event e;
  ASSERT_TRUE(q.Wait(e, 10000));
  EXPECT_LT(MillisSince(t), 5000);
  EXPECT_EQ(e.kind, EventKind::kFdReady);
  EXPECT_EQ(e.code, fds[0]);
  writer.join();

  // Still readable: reported again, also by a wait whose time is up.
  ASSERT_TRUE(q.Wait(e, 0));
  EXPECT_EQ(e.kind, EventKind::kFdReady);
  // Once unwatched it no longer wakes the queue.
  q.Unwatch(id);
  EXPECT_FALSE(q.Wait(e, 20));
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
}  // namespace tk
