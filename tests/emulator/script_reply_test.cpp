// Reading the emulator's replies: data lines, the status line, ok/error, in
// whatever pieces the bytes arrive.
#include <gtest/gtest.h>

#include <string>

#include "emulator/read_buffer.h"
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
      parser.feed(all.substr(i, piece));
      got = parser.next(&reply);
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
    EXPECT_EQ(0u, parser.pending());
  }
}

TEST(EmulatorScriptReply, KeepsUnprefixedAndLookalikeLinesAsData) {
  ScriptReplyParser parser;
  // A failed connect prints raw bytes without the prefix; a data line may
  // even read "ok". Only "ok"/"error" after a status line ends a reply.
  parser.feed("data: Connection failed:\n\x01\xff garbage ok\nok\nerror\n");
  ScriptReply reply;
  EXPECT_FALSE(parser.next(&reply));
  parser.feed("L U U N N 2 24 80 0 0 0x0 0.000\nerror\n");
  ASSERT_TRUE(parser.next(&reply));
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
  parser.feed("U F U C(h) I 2 24 80 0 0 0x0 0.000\nok\ndata: x\nU F U C(h) I 2 24 80 0 1 0x0 0.000\nerror\n");
  ScriptReply a, b;
  ASSERT_TRUE(parser.next(&a));
  ASSERT_TRUE(parser.next(&b));
  EXPECT_TRUE(a.ok);
  EXPECT_TRUE(a.data.empty());
  EXPECT_FALSE(b.ok);
  EXPECT_EQ(1, b.status.cursor_column);
  EXPECT_FALSE(parser.next(&a));
}

TEST(EmulatorScriptReply, StatusLinesOutOfShapeAreNotStatusLines) {
  ScriptStatus s;
  EXPECT_TRUE(ParseScriptStatus("L U U N N 4 24 80 0 0 0x0 0.000", &s));
  EXPECT_TRUE(ParseScriptStatus("U F P C(127.0.0.1) I 4 43 80 42 79 0x0\r", &s));
  EXPECT_TRUE(s.field_protected);
  EXPECT_EQ(43, s.rows);
  EXPECT_FALSE(ParseScriptStatus("U F U C(h) I 2 24 80 24 0 0x0 0.000", &s)) << "cursor below the screen";
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
  for (int i = 0; i < 1100 && !parser.overflowed(); ++i) {
    parser.feed(line);
    EXPECT_FALSE(parser.next(&reply));
  }
  EXPECT_TRUE(parser.overflowed());
}

}  // namespace

// A buffer dump stands for the plain text only where it is certain: field
// attributes and nulls as blanks, hidden fields blank, characters in UTF-8
// hex; typing is allowed inside unprotected fields, the field before the
// first attribute being the one that wraps round from the end.
TEST(EmulatorReadBuffer, GivesThePlainTextAndWhereTypingIsAllowed) {
  emulator::ScreenImage image;
  // A, a protected field "AB", a hidden unprotected one holding "pw" and a
  // null, then a normal unprotected field "ÉZ " that wraps round to the A.
  ASSERT_TRUE(emulator::ParseReadBuffer({"41 SF(c0=e8) 41 42 SF(c0=cc) 70", "77 00 SF(c0=c0,41=f2) c389 5a 20"},
                                        2, 6, &image));
  EXPECT_EQ("A AB  " "   \xC9Z ", image.text);
  EXPECT_TRUE(image.takes_input(0, 1)) << "the wrapped field";
  EXPECT_FALSE(image.takes_input(1, 1)) << "an attribute";
  EXPECT_FALSE(image.takes_input(2, 1)) << "protected";
  EXPECT_TRUE(image.takes_input(5, 3)) << "the hidden field and the null in it";
  EXPECT_FALSE(image.takes_input(5, 4)) << "runs onto an attribute";
  EXPECT_TRUE(image.takes_input(9, 3));
  EXPECT_FALSE(image.takes_input(11, 2)) << "past the end";

  ASSERT_TRUE(emulator::ParseReadBuffer({"41 42", "00 e282ac"}, 2, 2, &image));
  EXPECT_EQ("AB ?", image.text) << "an unformatted screen; beyond Latin-1 is '?'";
  EXPECT_TRUE(image.takes_input(0, 4));
  ASSERT_TRUE(emulator::ParseReadBuffer({"41 SA(41=f2) 42", "SA(42=f1) 43 44"}, 2, 2, &image));
  EXPECT_EQ("ABCD", image.text) << "character attributes take no position";

  const std::vector<std::vector<std::string>> uncertain = {
      {"41 42", "43"},                 // a row too short
      {"41 42", "43 44 45"},           // a row too long
      {"41 42"},                       // a row missing
      {"41 GE(ad)", "43 44"},          // an unknown token
      {"41 4g", "43 44"},              // not hex
      {"41 SF(c1=e8)", "43 44"},       // no field attribute
      {"41 0a", "43 44"},              // a control character
  };
  for (const auto& lines : uncertain)
    EXPECT_FALSE(emulator::ParseReadBuffer(lines, 2, 2, &image)) << lines[0];
}
