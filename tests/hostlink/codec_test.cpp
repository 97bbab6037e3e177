#include "hostlink/screen_codec.h"

#include <gtest/gtest.h>

using namespace hostlink::screen_codec;

namespace {

TEST(ShiftTranslateTest, TablesSwitchAndUnmappedCharactersGiveZero) {
  EXPECT_EQ(ShiftTranslate("AZaz09 {"), "\xC1\xE9\x81\xA9\xF0\xF9\x40\x40");
  // In the '=' table '<', '>' and '_' give the three shift characters.
  EXPECT_EQ(ShiftTranslate("=<>_{ %"), std::string("*;' \x20%", 6));
  EXPECT_EQ(ShiftTranslate("*BZ4<"), "\x01\x19\xFA\x1A");
  EXPECT_EQ(ShiftTranslate("'a`yI"), "\x80\x80\xD0\xE0");
  // '!' has no entry in the ';' table; bytes above 0x7F have none anywhere.
  EXPECT_EQ(ShiftTranslate("!\xC3"), std::string("\0\0", 2));
  // Each screen starts in the ';' table.
  EXPECT_EQ(ShiftTranslate("=a"), "a");
  EXPECT_EQ(ShiftTranslate("a"), "\x81");
  EXPECT_EQ(ShiftTranslate(";=*'"), "");
}

TEST(RunCountTest, Alphabet) {
  EXPECT_EQ(RunCount(' '), 0);
  EXPECT_EQ(RunCount('A'), 1);
  EXPECT_EQ(RunCount('z'), 52);
  EXPECT_EQ(RunCount('0'), 53);
  EXPECT_EQ(RunCount('+'), 63);
  EXPECT_EQ(RunCount('~'), 64);
  EXPECT_EQ(RunCount(0x00), 64);
}

TEST(RunLengthTest, RunsNewLinesAndCarries) {
  RunLengthExpander x;
  EXPECT_EQ(x.Expand("a~Cbz"), "abbbz");
  EXPECT_EQ(x.Expand("~ q"), "");                    // count 0 writes nothing
  EXPECT_EQ(x.Expand("~!-"), std::string(64, '-'));  // outside the alphabet: 64
  EXPECT_EQ(x.Expand("l1\x15l2"), "l1\r\nl2");
  EXPECT_EQ(x.Expand("~B\x15"), "\x15\x15");  // inside a run 0x15 stays
  // A '~' at the end carries; the next chunk starts with the count.
  EXPECT_EQ(x.Expand("ab~"), "ab");
  EXPECT_TRUE(x.PendingTilde());
  EXPECT_EQ(x.Expand("Cxy"), "xxxy");
  EXPECT_FALSE(x.PendingTilde());
  // A '~' and a count at the end: the next chunk's first byte is repeated.
  EXPECT_EQ(x.Expand("q~D"), "q");
  EXPECT_TRUE(x.PendingCount());
  EXPECT_EQ(x.Expand(""), "");  // an empty chunk keeps the carry
  EXPECT_EQ(x.Expand("*z"), "****z");
  EXPECT_FALSE(x.PendingCount());
}

TEST(LengthPrefixTest, AcceptanceRules) {
  std::string s = "0012 ABCDEF{{GHIJ rest";
  long declared = 0;
  EXPECT_TRUE(AcceptLengthPrefixed(s, &declared));
  EXPECT_EQ(declared, 12);
  EXPECT_EQ(s, "ABCDEF  GHIJ rest");
  s = "0012 ABC DEFGHIJ";
  EXPECT_FALSE(AcceptLengthPrefixed(s));  // a blank inside the counted part
  s = "0012 ABCDEF";
  EXPECT_FALSE(AcceptLengthPrefixed(s));  // the text ends too early
  s = "0000 ABC";
  EXPECT_FALSE(AcceptLengthPrefixed(s));
  s = "QORPRINT";
  EXPECT_TRUE(AcceptLengthPrefixed(s));  // not a length-prefixed screen
  EXPECT_EQ(s, "QORPRINT");
  s = "99999999999999999999 x";
  EXPECT_FALSE(AcceptLengthPrefixed(s));  // absurd lengths never read past the text
}

}  // namespace
