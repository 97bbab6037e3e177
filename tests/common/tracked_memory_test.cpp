#include "common/tracked_memory.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TrackedMemoryTest, BlocksAreZeroedListedAndFreedByHandle) {
  common::TrackedBlocks blocks;
  size_t before = blocks.Count();
  common::TrackedHandle a = 0, b = 0, none = 12345;
  auto* pa = static_cast<unsigned char*>(blocks.Alloc(100, &a));
  auto* pb = static_cast<unsigned char*>(blocks.Alloc(50, &b));
  ASSERT_NE(pa, nullptr);
  ASSERT_NE(pb, nullptr);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  for (int i = 0; i < 110; ++i) EXPECT_EQ(pa[i], 0) << i;  // size + 10 zero bytes
  std::memset(pa, 0xAB, 110);
  EXPECT_EQ(blocks.Count(), before + 2);
  blocks.Free(&a);
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(blocks.Count(), before + 1);
  blocks.Free(&none);  // no block matched: the handle is cleared all the same
  EXPECT_EQ(none, 0u);
  blocks.Free(&b);
  EXPECT_EQ(blocks.Count(), before);
}
