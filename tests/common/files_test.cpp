#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string>

#include "common/file_access.h"
#include "common/file_directory.h"
#include "common/mode_file.h"
#include "common/program_flavour.h"
#include "common/trace.h"
#include "tests/temp_dir.h"

namespace {

TEST(FileAccessTest, AppendCreatesThenGrows) {
  TempDir dir;
  std::string path = dir / "out.txt";
  {
    common::FileAccess f(path.c_str(), common::FileDirection::kOutput, common::FileAccess::kAppend);
    EXPECT_EQ(f.Write(3, "abc"), 3u);
  }
  {
    common::FileAccess f(path.c_str(), common::FileDirection::kOutput, common::FileAccess::kAppend);
    EXPECT_EQ(f.Write(3, "def"), 3u);
  }
  EXPECT_EQ(ReadFile(path), "abcdef");
  {
    common::FileAccess f(path.c_str(), common::FileDirection::kOutput);
    EXPECT_EQ(f.Write(1, "z"), 1u);
  }
  EXPECT_EQ(ReadFile(path), "z");
}

TEST(FileAccessTest, InputReadsSeeksAndReportsMissingFiles) {
  TempDir dir;
  WriteFile(dir / "in.txt", "0123456789");
  common::FileAccess in((dir / "in.txt").c_str(), common::FileDirection::kInput);
  char buf[8] = {};
  EXPECT_EQ(in.Seek(common::SeekFrom::kEnd, -3), 7);
  EXPECT_EQ(in.Read(8, buf), 3u);
  EXPECT_EQ(std::string(buf, 3), "789");
  EXPECT_EQ(in.LastError(), -1);

  common::FileAccess missing((dir / "none").c_str(), common::FileDirection::kInput);
  EXPECT_EQ(missing.Open(), -1);
  EXPECT_EQ(missing.LastError(), 2);
  EXPECT_EQ(missing.Read(4, buf), 0u);
  EXPECT_EQ(missing.Write(1, "x"), 0u);
}

TEST(FileAccessTest, WriteToAFullDeviceIsAShortWrite) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP();
  common::FileAccess full("/dev/full", common::FileDirection::kOutput);
  EXPECT_LT(full.Write(4, "data"), 4u);
  EXPECT_EQ(full.LastError(), 28);  // ENOSPC
}

class ModeFileTest : public ::testing::Test {
 protected:
  TempDir dir;
};

TEST_F(ModeFileTest, ConfigurationErrorLinesNameTheFile) {
  std::string path = dir / "nothing.qor";
  common::ModeFile f(common::FileDirection::kInput, path.c_str(), common::ProgramFlavour::kConfig);
  EXPECT_EQ(f.Open(common::FileOpen::kReadShared), -1);
  EXPECT_EQ(std::string(f.ErrorText()), "OPEN ERROR (2) FILE=>" + path);
  EXPECT_EQ(f.Read(nullptr, 0), -2);
}

TEST_F(ModeFileTest, ClientErrorLinesAreTraced) {
  common::Tracer trace;
  ASSERT_TRUE(trace.Start((dir / "T.TRC").c_str(), common::TraceMode::kFresh));
  std::string path = dir / "absent";
  common::ModeFile f(common::FileDirection::kInput, path.c_str(), common::ProgramFlavour::kClient,
                     &trace);
  char buf[4];
  EXPECT_EQ(f.Read(buf, sizeof buf), -2);
  EXPECT_EQ(std::string(f.ErrorText()), "READ ERROR " + path + " (2/0002)");
  EXPECT_NE(ReadFile(trace.File()->Path()).find(" FILMANW <>READ ERROR " + path + " (2/0002)"),
            std::string::npos);
}

TEST_F(ModeFileTest, CreateLettersAndAppend) {
  std::string path = dir / "m.txt";
  common::ModeFile create(common::FileDirection::kOutput, path.c_str());
  EXPECT_EQ(create.Open(common::FileOpen::kCreateNew), 0);
  EXPECT_EQ(create.Write("ab", 2), 0);
  EXPECT_EQ(create.Close(), 0);
  common::ModeFile again(common::FileDirection::kOutput, path.c_str());
  EXPECT_EQ(again.Open(common::FileOpen::kCreateNew), -1);  // create-new fails on an existing file
  common::ModeFile append(common::FileDirection::kOutput, path.c_str());
  EXPECT_EQ(append.Open(common::FileOpen::kAppend), 2);
  EXPECT_EQ(append.Write("cd", 2), 0);
  append.Close();
  common::ModeFile in(common::FileDirection::kInput, path.c_str());
  EXPECT_EQ(in.Seek(common::SeekFrom::kEnd, -1), 3);
  EXPECT_TRUE(in.Positioned());
  char c = 0;
  size_t got = 0;
  EXPECT_EQ(in.Read(&c, 1, &got), 0);
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(c, 'd');
}

std::set<std::string> List(const std::string& pattern, unsigned mask) {
  std::set<std::string> names;
  common::FileDirectory d(pattern.c_str(), mask);
  while (const char* n = d.Next()) names.insert(n);
  return names;
}

TEST(FileDirectoryTest, AttributeFilterSelectsEntries) {
  TempDir dir;
  WriteFile(dir / "plain.txt", "12345");
  WriteFile(dir / "other.lst", "1");
  WriteFile(dir / ".hidden", "");
  WriteFile(dir / "locked.txt", "");
  chmod((dir / "locked.txt").c_str(), 0444);
  mkdir((dir / "sub").c_str(), 0700);
  mkdir((dir / ".hiddendir").c_str(), 0700);
  std::string all = dir.path() + "/";  // a trailing separator searches "*.*"

  EXPECT_EQ(List(all, 0), (std::set<std::string>{"plain.txt", "other.lst"}));
  EXPECT_EQ(List(all, 0x1000), (std::set<std::string>{"plain.txt", "other.lst", "locked.txt"}));
  EXPECT_EQ(List(all, 0x0400), (std::set<std::string>{"plain.txt", "other.lst", ".hidden"}));
  EXPECT_EQ(List(all, 0xC000), (std::set<std::string>{"sub", ".."}));
  EXPECT_EQ(List(all, 0xC400), (std::set<std::string>{"sub", "..", ".hiddendir"}));
  EXPECT_EQ(List(all, 0x8000), (std::set<std::string>{"sub", ".."}));  // no plain files
  EXPECT_EQ(List(dir / "*.txt", 0), (std::set<std::string>{"plain.txt"}));
  EXPECT_TRUE(List(dir / "*.none", 0).empty());
  EXPECT_TRUE(List(dir / "nodir/", 0).empty());
  common::FileDirectory d(all.c_str(), 0);
  EXPECT_EQ(std::string(d.Pattern()), dir.path() + "/*.*");
}

TEST(FileDirectoryTest, GetSingleTellsSizeFilteredOrAbsent) {
  TempDir dir;
  WriteFile(dir / "job.txt", "12345");
  mkdir((dir / "folder").c_str(), 0700);
  EXPECT_EQ(common::FileDirectory((dir / "job.txt").c_str(), 0).GetSingle(), 5);
  EXPECT_EQ(common::FileDirectory((dir / "folder").c_str(), 0).GetSingle(), 0);
  EXPECT_EQ(common::FileDirectory((dir / "none.txt").c_str(), 0).GetSingle(), -1);
}

TEST(FileDirectoryTest, OverLongPatternListsNothing) {
  std::string pattern(300, 'a');
  common::FileDirectory d(pattern.c_str(), 0);
  EXPECT_EQ(d.Next(), nullptr);
  EXPECT_EQ(d.GetSingle(), -1);
}

}  // namespace
