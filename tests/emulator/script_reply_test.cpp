// Reading the emulator's replies: data lines, the status line, ok/error, in
// whatever pieces the bytes arrive.
#include <gtest/gtest.h>

#include <string>

#include "emulator/provider_support.h"
#include "emulator/script_reply.h"

namespace {

using emulator::ParseScriptStatus;
using emulator::ScriptReply;
using emulator::ScriptReplyParser;
using emulator::ScriptStatus;

const char kScreenReply[] =
    "data: QORPRINT         LEVEL V\n"
    "data: \n"
    "U F U C(127.0.0.1) I 2 24 80 2 13 0x0 0.000\n"
    "ok\n";

TEST(EmulatorScriptReply, SplitsDataStatusAndVerdictHoweverTheBytesArrive) {
  for (std::size_t piece : {std::size_t{1000}, std::size_t{7}, std::size_t{1}}) {
    ScriptReplyParser parser;
    ScriptReply reply;
    std::string all = kScreenReply;
    bool got = false;
    for (std::size_t i = 0; i < all.size(); i += piece) {
      EXPECT_FALSE(got) << "a reply completed before its last byte";
      parser.Feed(all.substr(i, piece));
      got = parser.Next(&reply);
    }
    ASSERT_TRUE(got) << "piece " << piece;
    EXPECT_TRUE(reply.ok);
    ASSERT_EQ(2u, reply.data.size());
    EXPECT_EQ("QORPRINT         LEVEL V", reply.data[0]);
    EXPECT_EQ("", reply.data[1]);
    EXPECT_TRUE(reply.status.keyboard_unlocked);
    EXPECT_TRUE(reply.status.formatted);
    EXPECT_TRUE(reply.status.connected);
    EXPECT_EQ('I', reply.status.mode);
    EXPECT_EQ(24, reply.status.rows);
    EXPECT_EQ(80, reply.status.columns);
    EXPECT_EQ(2, reply.status.cursor_row);
    EXPECT_EQ(13, reply.status.cursor_column);
    EXPECT_EQ(0u, parser.Pending());
  }
}

TEST(EmulatorScriptReply, KeepsUnprefixedAndLookalikeLinesAsData) {
  ScriptReplyParser parser;
  // A failed connect prints raw bytes without the prefix; a data line may
  // even read "ok". Only "ok"/"error" after a status line ends a reply.
  parser.Feed("data: Connection failed:\n\x01\xff garbage ok\nok\nerror\n");
  ScriptReply reply;
  EXPECT_FALSE(parser.Next(&reply));
  parser.Feed("L U U N N 2 24 80 0 0 0x0 0.000\nerror\n");
  ASSERT_TRUE(parser.Next(&reply));
  EXPECT_FALSE(reply.ok);
  EXPECT_FALSE(reply.status.connected);
  EXPECT_FALSE(reply.status.keyboard_unlocked);
  ASSERT_EQ(4u, reply.data.size());
  EXPECT_EQ("Connection failed:", reply.data[0]);
  EXPECT_EQ("\x01\xff garbage ok", reply.data[1]);
  EXPECT_EQ("ok", reply.data[2]);
  EXPECT_EQ("error", reply.data[3]);
}

TEST(EmulatorScriptReply, TwoRepliesInOneReadComeOutOneByOne) {
  ScriptReplyParser parser;
  parser.Feed(
      "U F U C(h) I 2 24 80 0 0 0x0 0.000\nok\ndata: x\nU F U C(h) I 2 24 80 0 1 0x0 "
      "0.000\nerror\n");
  ScriptReply a, b;
  ASSERT_TRUE(parser.Next(&a));
  ASSERT_TRUE(parser.Next(&b));
  EXPECT_TRUE(a.ok);
  EXPECT_TRUE(a.data.empty());
  EXPECT_FALSE(b.ok);
  EXPECT_EQ(1, b.status.cursor_column);
  EXPECT_FALSE(parser.Next(&a));
}

TEST(EmulatorScriptReply, StatusLinesOutOfShapeAreNotStatusLines) {
  ScriptStatus s;
  EXPECT_TRUE(ParseScriptStatus("L U U N N 4 24 80 0 0 0x0 0.000", &s));
  EXPECT_TRUE(ParseScriptStatus("U F P C(127.0.0.1) I 4 43 80 42 79 0x0\r", &s));
  EXPECT_TRUE(s.field_protected);
  EXPECT_EQ(43, s.rows);
  EXPECT_FALSE(ParseScriptStatus("U F U C(h) I 2 24 80 24 0 0x0 0.000", &s))
      << "cursor below the screen";
  EXPECT_FALSE(ParseScriptStatus("X F U N N 2 24 80 0 0 0x0 0.000", &s));
  EXPECT_FALSE(ParseScriptStatus("U F U C(h I 2 24 80 0 0 0x0 0.000", &s));
  EXPECT_FALSE(ParseScriptStatus("U F U N N 2 24 80 0 0", &s));
  EXPECT_FALSE(ParseScriptStatus("U F U N N 2 0 80 0 0 0x0 0.000", &s));
  EXPECT_FALSE(ParseScriptStatus("U F U N N 2 99999999 80 0 0 0x0 0.000", &s));
}

TEST(EmulatorScriptReply, AnEndlessReplyIsNoticed) {
  ScriptReplyParser parser;
  std::string line(1000, 'x');
  line += '\n';
  ScriptReply reply;
  for (int i = 0; i < 1100 && !parser.Overflowed(); ++i) {
    parser.Feed(line);
    EXPECT_FALSE(parser.Next(&reply));
  }
  EXPECT_TRUE(parser.Overflowed());
}

// What reaches the emulator log: s3270's garbage after "Connection failed:"
// and stray bytes escaped, whole UTF-8 characters (a path) kept.
TEST(EmulatorScriptReply, LoggedTextIsPrintable) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"Connection failed:", "Connection failed:"},
      {"\x9c\x9fW]\x05", "\\x9c\\x9fW]\\x05"},
      {"\x1b[2J\n\t\x7f", "\\x1b[2J\\x0a\\x09\\x7f"},
      {"/home/j\xc3\xb6rg/sessions", "/home/j\xc3\xb6rg/sessions"},
      {"cut \xe2\x82", "cut \\xe2\\x82"},
  };
  for (const auto& c : cases) EXPECT_EQ(emulator::PrintableText(c.in), c.out);
}

}  // namespace
