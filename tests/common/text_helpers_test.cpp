// The shared string helpers, whose edges every reader of names and lines inherits.
#include "common/text_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(TextHelpers, WordsSplitAtAnyWhiteSpaceAndTrimKeepsInnerBlanks) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(common::SplitWords(" A\tsim\v/x\r\n\f"), (Words{"A", "sim", "/x"}));
  EXPECT_EQ(common::SplitWords(" \t"), Words{});
  EXPECT_EQ(common::Trim(" \ta b\r"), "a b");
  EXPECT_EQ(common::Trim("  "), "");
  EXPECT_EQ(common::Trim("\t x ", " "), "\t x");
}

TEST(TextHelpers, NumbersAreBoundedDigitsOnly) {
  const struct {
    const char* text;
    bool taken;
  } cases[] = {{"1", true},    {"3600", true}, {"0", false},         {"3601", false},
               {"", false},    {"+5", false},  {" 5", false},        {"5x", false},
               {"0005", true}, {"-1", false},  {"0000000005", false}};
  for (const auto& c : cases) {
    long value = 0;
    EXPECT_EQ(common::ParseNumber(c.text, 1, 3600, &value), c.taken) << c.text;
  }
  EXPECT_TRUE(common::EqualsIgnoreCase("Qor32PCS.dll", "QOR32pcs.DLL"));
  EXPECT_FALSE(common::EqualsIgnoreCase("qor", "qor32"));
  EXPECT_EQ(common::Upper("nwait,x1"), "NWAIT,X1");
  EXPECT_EQ(common::Lower("SOCKS5"), "socks5");
}

}  // namespace
