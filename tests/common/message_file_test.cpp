#include "common/message_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/message_file_builder.h"
#include "tests/temp_dir.h"

namespace {

class MessageFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::vector<std::string> shown;
  common::MessageFile reader{[this](const char* text) { shown.emplace_back(text); }};

  bool Open(const std::string& bytes) {
    WriteFile(dir / "QORPRTW.QOR", bytes);
    return reader.MessageFileOpen((dir / "QORPRTW.QOR").c_str()) == 1;
  }
};

TEST_F(MessageFileTest, OpenFailuresShowTheirTexts) {
  EXPECT_EQ(reader.MessageFileOpen((dir / "none.QOR").c_str()), 0);
  EXPECT_FALSE(Open(""));
  std::string zero_first = "text" + std::string(1, '\0') + "##" + '\0';
  std::string trailer = std::string("0") + '\0' + "2" + '\0';
  trailer.resize(32, ' ');
  EXPECT_FALSE(Open(zero_first + trailer));
  std::string no_digits(64, 'x');
  EXPECT_FALSE(Open(no_digits));
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Error in opening DUVIZE.QOR File", "Error in read for DUVIZE.QOR File",
                       "DUVIZE.QOR file incorrect format", "DUVIZE.QOR file incorrect format"}));
  EXPECT_EQ(reader.MessageText("OK", common::MessageFile::TextLife::kUntilNextLookup),
            nullptr);  // not open
  EXPECT_EQ(reader.MessageFind("OK"), 0);
}

TEST_F(MessageFileTest, LookupsByKeyFirstEntryWins) {
  ASSERT_TRUE(Open(BuildMessageFile({{"OK", "", {"&OK"}},
                                     {"DUP", "", {"first"}},
                                     {"DUP", "", {"second"}},
                                     {"GENERAL", "General help", {"Line one", "%Marked"}}})));
  EXPECT_STREQ(reader.MessageText("OK", common::MessageFile::TextLife::kUntilNextLookup), "&OK");
  EXPECT_STREQ(reader.MessageText("DUP", common::MessageFile::TextLife::kUntilNextLookup), "first");
  EXPECT_EQ(reader.MessageText("ok", common::MessageFile::TextLife::kUntilNextLookup),
            nullptr);  // keys are exact
  EXPECT_EQ(reader.MessageText("MISSING", common::MessageFile::TextLife::kPermanent), nullptr);
  EXPECT_EQ(reader.MessageLines("GENERAL"), (std::vector<std::string>{"Line one", "%Marked"}));
  EXPECT_EQ(reader.MessageLinesJoined("GENERAL"), "Line one\n%Marked");
}

TEST_F(MessageFileTest, IndexEntriesInFileOrder) {
  ASSERT_TRUE(Open(BuildMessageFile(
      {{"OK", "", {"&OK"}}, {"GENERAL", "General help", {"x"}}, {"HELP-702", "@hidden", {"y"}}})));
  std::vector<common::MessageFile::IndexEntry> entries = reader.IndexEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].key, "GENERAL");
  EXPECT_EQ(entries[1].title, "General help");
  EXPECT_EQ(entries[2].title, "@hidden");
  EXPECT_EQ(entries[0].offset, 1);
}

TEST_F(MessageFileTest, TransientTextIsOverwrittenPermanentCopyIsNot) {
  ASSERT_TRUE(Open(
      BuildMessageFile({{"PARMS1", "", {"Parameters one"}}, {"PARMS2", "", {"Parameters two"}}})));
  const char* transient =
      reader.MessageText("PARMS1", common::MessageFile::TextLife::kUntilNextLookup);
  const char* permanent = reader.MessageText("PARMS1", common::MessageFile::TextLife::kPermanent);
  ASSERT_NE(transient, nullptr);
  std::string before = transient;
  reader.MessageText("PARMS2", common::MessageFile::TextLife::kUntilNextLookup);
  EXPECT_NE(std::string(transient), before);
  EXPECT_STREQ(permanent, "Parameters one");
}

TEST_F(MessageFileTest, PoolFullLeavesLaterTextsNull) {
  std::vector<MessageEntry> entries;
  for (int i = 0; i < 30; ++i)
    entries.push_back({"K" + std::to_string(i), "", {std::string(99, 'a' + i % 26)}});
  ASSERT_TRUE(Open(BuildMessageFile(entries)));
  int loaded = 0;
  for (int i = 0; i < 30; ++i)
    if (reader.MessageText(("K" + std::to_string(i)).c_str(),
                           common::MessageFile::TextLife::kPermanent))
      ++loaded;
  EXPECT_EQ(loaded, 25);  // 25 * 100 bytes fit into 2560, the 26th does not
  EXPECT_LE(reader.PoolUsed(), common::MessageFile::kPoolSize);
  EXPECT_EQ(shown.size(), 5u);
  EXPECT_EQ(shown.front(), "Internal Verbage Buffer Size exceeded");
}

TEST_F(MessageFileTest, LinesOnAndAcrossBlockBoundaries) {
  // First text starts at offset 1; a line of 510 characters ends with its NUL
  // as the last byte of the first block.
  std::string on_boundary(510, 'b');
  std::string across(300, 'c');
  ASSERT_TRUE(Open(BuildMessageFile({{"EDGE", "", {on_boundary, across, "tail"}}})));
  EXPECT_EQ(reader.MessageLines("EDGE"), (std::vector<std::string>{on_boundary, across, "tail"}));
  // A line that starts at 509 crosses into the second block and is joined.
  ASSERT_TRUE(Open(BuildMessageFile({{"X", "", {std::string(507, 'x'), "joined text"}}})));
  EXPECT_EQ(reader.MessageLines("X")[1], "joined text");
}

TEST_F(MessageFileTest, OverLongJoinedLineIsCutNeverOverflows) {
  std::string huge(700, 'h');
  ASSERT_TRUE(Open(BuildMessageFile({{"HUGE", "", {std::string(400, 'p'), huge, "after"}}})));
  std::vector<std::string> lines = reader.MessageLines("HUGE");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_LE(lines[1].size(), 384u);
  EXPECT_EQ(lines[2], "after");  // the reader goes on after the cut line
}

TEST_F(MessageFileTest, MultiLineEdgeCases) {
  ASSERT_TRUE(Open(BuildMessageFile(
      {{"EMPTY", "", {}}, {"HASH", "", {"Press # then Enter", "C# and ## inside"}}})));
  EXPECT_TRUE(reader.MessageLines("EMPTY").empty());
  EXPECT_EQ(reader.MessageLinesJoined("EMPTY"), "");
  EXPECT_EQ(reader.MessageLines("HASH"),
            (std::vector<std::string>{"Press # then Enter", "C# and ## inside"}));
  // Both readers keep lines that contain '#'.
  EXPECT_EQ(reader.MessageLinesJoined("HASH"), "Press # then Enter\nC# and ## inside");
  EXPECT_TRUE(reader.MessageLines("NOPE").empty());
}

}  // namespace
