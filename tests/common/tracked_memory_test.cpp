#include "common/tracked_memory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TrackedMemoryTest, BlocksAreZeroedListedAndFreedByHandle) {
  size_t before = TrackedCount();
  TrackedHandle a = 0, b = 0, none = 12345;
  auto* pa = static_cast<unsigned char*>(TrackedAlloc(100, &a));
  auto* pb = static_cast<unsigned char*>(TrackedAlloc(50, &b));
  ASSERT_NE(pa, nullptr);
  ASSERT_NE(pb, nullptr);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  for (int i = 0; i < 110; ++i) EXPECT_EQ(pa[i], 0) << i;  // size + 10 zero bytes
  std::memset(pa, 0xAB, 110);
  EXPECT_EQ(TrackedCount(), before + 2);
  TrackedFree(&a);
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(TrackedCount(), before + 1);
  TrackedFree(&none);  // no block matched: the handle is cleared all the same
  EXPECT_EQ(none, 0u);
  TrackedFree(&b);
  EXPECT_EQ(TrackedCount(), before);
}
