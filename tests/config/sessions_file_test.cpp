// Session A's line of the sessions file, and the program's own trace entry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/program_flavour.h"
#include "config/hapi_trace.h"
#include "config/sessions_file.h"
#include "config_fixture.h"

namespace {

using config_test::ScopedCwd;

TEST(SessionsFile, FindsTheFirstLineOfTheLetterInAnyCase) {
  std::string text = "# A sim /commented\nB sim /b\n  a s3270 host:23   # mine\r\nA sim /second\n";
  EXPECT_EQ(FindSessionLine(text, 'A'), "a s3270 host:23");
  EXPECT_EQ(FindSessionLine(text, 'C'), "");
  EXPECT_EQ(FindSessionLine("", 'A'), "");
}

TEST(SessionsFile, ReplacesOnlyTheLettersLineKeepingItsTimeoutAndComment) {
  std::string text = "# sessions\nB script 127.0.0.1:4020\na sim /old timeout=5 # the demo\r\nC sim /c\n";
  EXPECT_EQ(ReplaceSessionLine(text, 'A', SessionKindChoice::kS3270, "h:23"),
            "# sessions\nB script 127.0.0.1:4020\nA s3270 h:23 timeout=5  # the demo\r\nC sim /c\n");
  // No line yet: added at the end, also behind a last line without a line feed.
  EXPECT_EQ(ReplaceSessionLine("B sim /b", 'A', SessionKindChoice::kSim, "/s"), "B sim /b\nA sim /s\n");
  EXPECT_EQ(ReplaceSessionLine("", 'A', SessionKindChoice::kScript, "127.0.0.1:9"), "A script 127.0.0.1:9\n");
}

TEST(SessionsFile, TargetsAreCheckedBeforeTheyAreWritten) {
  std::string target, reason;
  EXPECT_TRUE(MakeSessionTarget(SessionKindChoice::kS3270, " host.example:23 ", &target, &reason));
  EXPECT_EQ(target, "host.example:23");
  EXPECT_TRUE(MakeSessionTarget(SessionKindChoice::kScript, "4010", &target, &reason));
  EXPECT_EQ(target, "127.0.0.1:4010");
  for (const char* bad : {"host", "host:0", "host:65536", "host:23x", "ho st:23", "h;rm:23", ""})
    EXPECT_FALSE(MakeSessionTarget(SessionKindChoice::kS3270, bad, &target, &reason)) << bad;
  EXPECT_FALSE(MakeSessionTarget(SessionKindChoice::kScript, "99999", &target, &reason));
  config_test::ConfigFiles files;  // for a scratch directory
  ScopedEnv home("HOME", files.dir() / "home");
  EXPECT_TRUE(MakeSessionTarget(SessionKindChoice::kSim, "~/spool", &target, &reason));
  EXPECT_EQ(target, files.dir() / "home/spool");
  EXPECT_FALSE(MakeSessionTarget(SessionKindChoice::kSim, "/my spool", &target, &reason));
  EXPECT_FALSE(MakeSessionTarget(SessionKindChoice::kSim, "/spool#1", &target, &reason));
}

TEST(SessionsFile, WritingCreatesTheDirectoryAndReadingRefusesWhatItCannotRead) {
  config_test::ConfigFiles files;
  std::string path = files.dir() / "deep/er/sessions";
  SessionsFileText none = ReadSessionsFile(path);
  EXPECT_TRUE(none.readable);
  EXPECT_FALSE(none.exists);
  std::string reason;
  ASSERT_TRUE(WriteSessionsFile(path, "A sim /s\n", &reason)) << reason;
  SessionsFileText read = ReadSessionsFile(path);
  EXPECT_TRUE(read.readable && read.exists);
  EXPECT_EQ(read.text, "A sim /s\n");

  ASSERT_EQ(mkdir((files.dir() / "adir").c_str(), 0700), 0);
  SessionsFileText dir = ReadSessionsFile(files.dir() / "adir");
  EXPECT_FALSE(dir.readable);
  EXPECT_NE(dir.error.find("ERROR"), std::string::npos) << dir.error;
  EXPECT_FALSE(WriteSessionsFile(files.dir() / "adir", "x", &reason));
}

TEST(HapiTrace, FirstCallStartsAFreshFileTaggedQorHapi) {
  config_test::ConfigFiles files;
  ScopedCwd cwd(files.dir().path());
  WriteFile(files.dir() / "AQORHAPI.TRC", "old content");
  EXPECT_EQ(HapiTrace(-1, "first"), 0);
  EXPECT_EQ(HapiTrace(3, "abcdef"), 0);
  std::string trace = ReadFile(files.dir() / "AQORHAPI.TRC");
  EXPECT_EQ(trace.find("old content"), std::string::npos);
  EXPECT_NE(trace.find("Trace Started <>"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" QOR-HAPI <>first\r\n<> "), std::string::npos) << trace;
  EXPECT_EQ(trace.substr(trace.size() - 15), " QOR-HAPI <>abc") << trace;
}

}  // namespace
