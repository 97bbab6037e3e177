// Session A's line of the sessions file, and the program's own trace entry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/program_flavour.h"
#include "common/trace.h"
#include "config/program_trace.h"
#include "config/sessions_file.h"
#include "tests/config/config_fixture.h"

namespace config {

namespace {

using config_test::ScopedCwd;

TEST(SessionsFile, FindsTheFirstLineOfTheLetterInAnyCase) {
  std::string text = "# A sim /commented\nB sim /b\n  a s3270 host:23   # mine\r\nA sim /second\n";
  EXPECT_EQ(FindSessionLine(text, 'A'), "a s3270 host:23");
  EXPECT_EQ(FindSessionLine(text, 'C'), "");
  EXPECT_EQ(FindSessionLine("", 'A'), "");
}

TEST(SessionsFile, ReplacesOnlyTheLettersLineKeepingItsTimeoutAndComment) {
  std::string text =
      "# sessions\nB script 127.0.0.1:4020\na sim /old timeout=5 # the demo\r\nC sim /c\n";
  EXPECT_EQ(
      ReplaceSessionLine(text, 'A', common::SessionKind::kS3270, "h:23"),
      "# sessions\nB script 127.0.0.1:4020\nA s3270 h:23 timeout=5  # the demo\r\nC sim /c\n");
  // No line yet: added at the end, also behind a last line without a line feed.
  EXPECT_EQ(ReplaceSessionLine("B sim /b", 'A', common::SessionKind::kSim, "/s"),
            "B sim /b\nA sim /s\n");
  EXPECT_EQ(ReplaceSessionLine("", 'A', common::SessionKind::kScript, "127.0.0.1:9"),
            "A script 127.0.0.1:9\n");
}

// The dialog's s3270 choices replace those of the old line; its time-out,
// client certificate, connect time-out and proxy stay, and what it writes
// reads back as the same choices.
TEST(SessionsFile, S3270ChoicesReplaceTheirWordsAndKeepTheRest) {
  const std::string old =
      "A s3270 h:992 tls certfile=/c.pem keyfile=/k.pem lu=OLD model=4 proxy=http:gw:8080 "
      "timeout=7 # prod\n";
  struct Case {
    S3270Choices choices;
    std::string line;
  };
  S3270Choices secure{true, true, "/etc/site-ca.pem", "PRT01", "cp273", 5};
  S3270Choices unchecked{true, false, "", "", "", 2};
  S3270Choices plain{false, true, "", "LU1", "cp1047", 3};
  for (const Case& c :
       {Case{secure,
             "A s3270 h:992 tls cafile=/etc/site-ca.pem certfile=/c.pem keyfile=/k.pem lu=PRT01 "
             "codepage=cp273 model=5 proxy=http:gw:8080 timeout=7  # prod\n"},
        Case{unchecked,
             "A s3270 h:992 tls verify=no certfile=/c.pem keyfile=/k.pem proxy=http:gw:8080 "
             "timeout=7  # prod\n"},
        Case{plain,
             "A s3270 h:992 lu=LU1 codepage=cp1047 model=3 proxy=http:gw:8080 timeout=7  # "
             "prod\n"}}) {
    std::string written =
        ReplaceSessionLine(old, 'A', common::SessionKind::kS3270, "h:992", c.choices);
    EXPECT_EQ(written, c.line);
    S3270Choices back = ChoicesOfLine(FindSessionLine(written, 'A'));
    EXPECT_EQ(back.tls, c.choices.tls);
    EXPECT_EQ(back.verify, c.choices.verify);
    EXPECT_EQ(back.cafile + back.lu + back.codepage,
              c.choices.cafile + c.choices.lu + c.choices.codepage);
    EXPECT_EQ(back.model, c.choices.model);
  }
  // Another kind keeps only the time-out.
  EXPECT_EQ(ReplaceSessionLine(old, 'A', common::SessionKind::kSim, "/s", secure),
            "A sim /s timeout=7  # prod\n");

  S3270Choices made;
  std::string reason;
  ScopedEnv home("HOME", "/home/u");
  EXPECT_TRUE(MakeS3270Choices(true, true, " ~/ca.pem ", "prt1", "german", 5, &made, &reason))
      << reason;
  EXPECT_EQ(made.cafile, "/home/u/ca.pem");
  EXPECT_EQ(made.codepage, "cp273");
  EXPECT_TRUE(MakeS3270Choices(true, false, "/ignored.pem", "", "", 2, &made, &reason));
  EXPECT_EQ(made.cafile, "") << "no CA file where nothing is checked";
  EXPECT_FALSE(MakeS3270Choices(true, true, "ca.pem", "", "", 2, &made, &reason));
  EXPECT_FALSE(MakeS3270Choices(false, true, "", "A) Quit(", "", 2, &made, &reason));
  EXPECT_FALSE(MakeS3270Choices(false, true, "", "", "", 9, &made, &reason));
}

TEST(SessionsFile, TargetsAreCheckedBeforeTheyAreWritten) {
  std::string target, reason;
  EXPECT_TRUE(
      MakeSessionTarget(common::SessionKind::kS3270, " host.example:23 ", &target, &reason));
  EXPECT_EQ(target, "host.example:23");
  EXPECT_TRUE(MakeSessionTarget(common::SessionKind::kScript, "4010", &target, &reason));
  EXPECT_EQ(target, "127.0.0.1:4010");
  EXPECT_TRUE(MakeSessionTarget(common::SessionKind::kS3270, "[::1]:23", &target, &reason));
  for (const char* bad :
       {"host", "host:0", "host:65536", "host:23x", "ho st:23", "h;rm:23", "",
        "127.0.0.1:45369127.0.0.1:36367", "L:host:992", "::1:23", "[]:23", "[::1:23", "[h:x]:23"})
    EXPECT_FALSE(MakeSessionTarget(common::SessionKind::kS3270, bad, &target, &reason)) << bad;
  EXPECT_FALSE(MakeSessionTarget(common::SessionKind::kScript, "99999", &target, &reason));
  config_test::ConfigFiles files;  // for a scratch directory
  ScopedEnv home("HOME", files.dir() / "home");
  EXPECT_TRUE(MakeSessionTarget(common::SessionKind::kSim, "~/spool", &target, &reason));
  EXPECT_EQ(target, files.dir() / "home/spool");
  EXPECT_FALSE(MakeSessionTarget(common::SessionKind::kSim, "/my spool", &target, &reason));
  EXPECT_FALSE(MakeSessionTarget(common::SessionKind::kSim, "/spool#1", &target, &reason));
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
  common::Tracer tracer(common::ProgramFlavour::kConfig);
  EXPECT_EQ(HapiTrace(tracer, -1, "first"), 0);
  EXPECT_EQ(HapiTrace(tracer, 3, "abcdef"), 0);
  std::string trace = ReadFile(files.dir() / "AQORHAPI.TRC");
  EXPECT_EQ(trace.find("old content"), std::string::npos);
  EXPECT_NE(trace.find("Trace Started <>"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" QOR-HAPI <>first\r\n<> "), std::string::npos) << trace;
  EXPECT_EQ(trace.substr(trace.size() - 15), " QOR-HAPI <>abc") << trace;
}

}  // namespace

}  // namespace config
