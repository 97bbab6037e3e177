#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "platform/system_error.h"

using namespace platform;

TEST(MatchPatternTest, StarDotStarMeansEveryName) {
  EXPECT_TRUE(MatchPattern("*.*", "README"));
  EXPECT_TRUE(MatchPattern("*.*", ".hidden"));
  EXPECT_TRUE(MatchPattern("*.TXT", "JOB.TXT"));
  EXPECT_EQ(MatchPattern("*.TXT", "job.txt"), kNamesIgnoreCase);  // as names on disk compare
  EXPECT_TRUE(MatchPattern("JOB?.*", "JOB1.LST"));
  EXPECT_FALSE(MatchPattern("JOB?.*", "JOB12"));
  EXPECT_TRUE(MatchPattern("*a*b*c", "xxaxxbxxbxc"));
  EXPECT_FALSE(MatchPattern("*a*b*c", "xxaxxbxxbx"));
  EXPECT_TRUE(MatchPattern("*", ""));
  EXPECT_FALSE(MatchPattern("?", ""));
}

TEST(LibraryLoadingTest, FindsAndBindsALibraryBesideTheProgram) {
  // qorprobe.so is built into the test program's directory.
  std::string error;
  void* lib = LoadLibrary("QORPROBE.DLL", &error);
  ASSERT_NE(lib, nullptr) << error;
  auto probe = reinterpret_cast<int (*)()>(GetProcAddress(lib, "qor_probe_answer"));
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe(), 42);
  EXPECT_EQ(GetProcAddress(lib, "no_such_symbol", &error), nullptr);
  EXPECT_FALSE(error.empty());
  FreeLibrary(lib);
}

TEST(ClockTest, LocalTimeFieldsAreInRangeAndMonotonicClockAdvances) {
  LocalTime t = LocalNow();
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
  EXPECT_LT(t.millisecond, 1000);
  uint64_t a = MonotonicMs();
  EXPECT_GE(MonotonicMs(), a);
}
