#include "common/trace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <string>

#include "common/program_flavour.h"
#include "platform/paths.h"
#include "tests/temp_dir.h"

namespace {

class TraceTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string old_cwd;
  void SetUp() override {
    char buf[4096];
    old_cwd = getcwd(buf, sizeof buf);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_cwd.c_str()), 0); }
};

const std::regex kTimeHeader("\r\n<> ([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]\\.[0-9]{2} ");

TEST_F(TraceTest, RecordsAreByteExact) {
  common::TraceFile file("QORPRTW.TRC", common::TraceMode::kFresh);
  ASSERT_TRUE(file.Usable());
  EXPECT_EQ(std::string(file.Path()), dir / "QORPRTW.TRC");

  EXPECT_EQ(common::TraceWrite(&file, -1, "MsgImmediate\r\n", "TRANSFER"), 0);
  const char bytes[] = {'A', '\0', 'B', '\0'};
  EXPECT_EQ(common::TraceWrite(&file, 4, bytes, "Query Session Status Reply"), 0);
  EXPECT_EQ(common::TraceWrite(&file, 0, "ignored", "EMPTY"), 0);
  EXPECT_EQ(common::TraceWrite(&file, -1, "x", nullptr), 0);

  std::string text = ReadFile(file.Path());
  // Replace the four times with a placeholder and compare the rest exactly.
  std::string masked = std::regex_replace(text, kTimeHeader, "\r\n<> HH:MM:SS.CC ");
  std::string expected = std::string("\r\n<> HH:MM:SS.CC TRANSFER <>MsgImmediate\r\n") +
                         "\r\n<> HH:MM:SS.CC Query Session Status Reply <>" +
                         std::string(bytes, 4) + "\r\n<> HH:MM:SS.CC EMPTY <>" +
                         "\r\n<> HH:MM:SS.CC  <>x";
  EXPECT_EQ(masked, expected);
}

TEST_F(TraceTest, DateRecord) {
  common::TraceFile file("T.TRC", common::TraceMode::kFresh);
  EXPECT_EQ(common::TraceWriteDate(&file, "Trace Started"), 0);
  EXPECT_TRUE(
      std::regex_match(ReadFile(file.Path()),
                       std::regex("\r\n<> 20[0-9]{2}-[01][0-9]-[0-3][0-9] Trace Started <>")));
}

TEST_F(TraceTest, ModeYStartsAfreshAndModeNAppendsOrCreates) {
  WriteFile(dir / "OLD.TRC", "old content");
  common::TraceFile fresh("OLD.TRC", common::TraceMode::kFresh);
  EXPECT_NE(access(fresh.Path(), F_OK), 0);  // deleted before the first record
  common::TraceWrite(&fresh, -1, "new", "T");
  EXPECT_EQ(ReadFile(fresh.Path()).find("old"), std::string::npos);

  WriteFile(dir / "KEEP.SCR", "kept");
  common::TraceFile append("KEEP.SCR", common::TraceMode::kAppend);
  common::TraceWrite(&append, -1, "more", "T");
  EXPECT_EQ(ReadFile(append.Path()).rfind("kept", 0), 0u);

  common::TraceFile absent("ABSENT.SCR", common::TraceMode::kAppend);
  EXPECT_EQ(common::TraceWrite(&absent, -1, "first", "T"), 0);
  EXPECT_NE(ReadFile(absent.Path()).find("first"), std::string::npos);
}

TEST_F(TraceTest, NamesWithASeparatorAreUsedAsTheyStand) {
  common::TraceFile file((dir / "X.TRC").c_str(), common::TraceMode::kFresh);
  EXPECT_EQ(std::string(file.Path()), dir / "X.TRC");
  ASSERT_EQ(chdir("/"), 0);
  common::TraceFile at_root("R.TRC", common::TraceMode::kAppend);
  EXPECT_EQ(at_root.Path(),
            platform::CurrentDirectory() + "R.TRC");  // one separator, also at the root
}

TEST_F(TraceTest, OverLongPathIsRefusedAndTracingStaysOff) {
  std::string long_name(200, 'a');
  common::TraceFile file(long_name.c_str(), common::TraceMode::kFresh);
  EXPECT_FALSE(file.Usable());
  EXPECT_EQ(common::TraceWrite(&file, -1, "x", "T"), -1);
  common::Tracer tracer;
  EXPECT_FALSE(tracer.Start(long_name.c_str(), common::TraceMode::kFresh));
  EXPECT_FALSE(tracer.On());
  EXPECT_TRUE(tracer.Start("OK.TRC", common::TraceMode::kFresh));
  ASSERT_TRUE(tracer.On());
  // A name that fits alone but not behind the directory is refused too.
  std::string just_fits(common::TraceFile::kPathSize - 1, 'b');
  common::TraceFile behind_dir(just_fits.c_str(), common::TraceMode::kFresh);
  EXPECT_FALSE(behind_dir.Usable());
}

TEST_F(TraceTest, UnwritableFileLosesTheRecordSilently) {
  ASSERT_EQ(mkdir((dir / "ro").c_str(), 0500), 0);
  common::TraceFile file((dir / "ro/T.TRC").c_str(), common::TraceMode::kAppend);
  if (geteuid() != 0) {
    EXPECT_EQ(common::TraceWrite(&file, -1, "x", "T"), -1);
  }
  common::TraceFile no_dir((dir / "missing/T.TRC").c_str(), common::TraceMode::kAppend);
  EXPECT_EQ(common::TraceWrite(&no_dir, -1, "x", "T"), -1);
}

TEST_F(TraceTest, ConfigurationProgramStartsWithADateRecordUnlessModeS) {
  common::TraceSettings config{common::ProgramFlavour::kConfig,
                               (dir / "cfg") + platform::kPathSeparator};
  ASSERT_EQ(mkdir((dir / "cfg").c_str(), 0700), 0);
  common::TraceFile started("AQORHAPI.TRC", common::TraceMode::kFresh, config);
  EXPECT_EQ(std::string(started.Path()), (dir / "cfg") + platform::kPathSeparator + "AQORHAPI.TRC");
  EXPECT_NE(ReadFile(started.Path()).find("Trace Started <>"), std::string::npos);
  common::TraceFile silent("S.TRC", common::TraceMode::kFreshUnmarked, config);
  EXPECT_NE(access(silent.Path(), F_OK), 0);
}

}  // namespace
