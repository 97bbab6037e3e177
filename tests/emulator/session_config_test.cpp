// The sessions file: where it is, what a good line says, and how every bad
// line is described without stopping the good ones.
#include <gtest/gtest.h>

#include <cstdlib>

#include "emulator/hllapi_core.h"
#include "emulator/provider_support.h"
#include "emulator/session_config.h"
#include "tests/temp_dir.h"

namespace {

using emulator::LoadSessions;
using emulator::ParseSessions;
using emulator::SessionKind;
using emulator::SessionTable;

TEST(EmulatorSessionsFile, ReadsEveryKindWithCommentsBlankLinesAndTimeouts) {
  SessionTable t = ParseSessions(
      "# sessions\n\nA s3270 127.0.0.1:3270\r\n  b script 127.0.0.1:4020 timeout=5 # mine\n"
      "C sim /var/spool/qor\n",
      "sessions");
  EXPECT_TRUE(t.problems.empty()) << t.problems[0];
  ASSERT_EQ(3u, t.sessions.size());
  EXPECT_EQ(SessionKind::kS3270, t.Find('A')->kind);
  EXPECT_EQ("127.0.0.1:3270", t.Find('A')->target);
  EXPECT_EQ(30, t.Find('A')->timeout_seconds);
  EXPECT_EQ(SessionKind::kScript, t.Find('B')->kind);
  EXPECT_EQ(5, t.Find('B')->timeout_seconds);
  EXPECT_EQ(SessionKind::kSim, t.Find('C')->kind);
  EXPECT_EQ("/var/spool/qor", t.Find('C')->target);
  EXPECT_EQ(nullptr, t.Find('D'));
}

TEST(EmulatorSessionsFile, DescribesEachBadLineByFileAndNumberAndKeepsTheRest) {
  SessionTable t = ParseSessions(
      "AB s3270 h:1\n"        // 1: not a letter
      "A telnet h:1\n"        // 2: unknown kind
      "A s3270 nohostport\n"  // 3: no port
      "A s3270 h:70000\n"     // 4: port out of range
      "A s3270 \"h\":23\n"    // 5: host needing quotes
      "A sim\n"               // 6: nothing to serve
      "A sim /x timeout=0\n"  // 7: bad time-out
      "A sim /x extra\n"      // 8: stray word
      "B sim /ok\n"           // 9: good
      "b sim /again\n",       // 10: B again
      "/etc/sessions");
  ASSERT_EQ(9u, t.problems.size());
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(0u, t.problems[static_cast<std::size_t>(i)].find(
                      "/etc/sessions:" + std::to_string(i + 1) + ": "))
        << t.problems[static_cast<std::size_t>(i)];
  EXPECT_NE(std::string::npos, t.problems[1].find("telnet"));
  EXPECT_NE(std::string::npos,
            t.problems[8].find("/etc/sessions:10: session B is already defined on line 9"));
  ASSERT_EQ(1u, t.sessions.size());
  EXPECT_EQ("/ok", t.Find('B')->target);
}

// Anything that could reach the emulator as more than a value is refused,
// with the line it is on; so are unknown, repeated and misplaced options.
TEST(EmulatorSessionsFile, BadOptionsAreRefusedWithTheirLineNumber) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"A s3270 h:1 lu=A) Quit(", "lu=A)"},
      {"A s3270 h:1 lu=TOOLONGNAME", "LU name"},
      {"A s3270 h:1 tls cafile=relative.pem", "absolute path"},
      {"A s3270 h:1 tls cafile=/ca\x01x", "absolute path"},
      {"A s3270 h:1 model=9", "2, 3, 4 or 5"},
      {"A s3270 h:1 codepage=cp930", "code page"},
      {"A s3270 h:1 codepage=cp273\")", "code page"},
      {"A s3270 h:1 proxy=ftp:gw:21", "TYPE:HOST:PORT"},
      {"A s3270 h:1 proxy=http:gw\";x:80", "TYPE:HOST:PORT"},
      {"A s3270 h:1 connect-timeout=0", "seconds"},
      {"A s3270 h:1 tls tls", "given twice"},
      {"A s3270 h:1 tls=yes", "no value"},
      {"A s3270 h:1 verify=no", "need tls"},
      {"A s3270 h:1 cafile=/ca.pem", "need tls"},
      {"A s3270 h:1 tls verify=no cafile=/ca.pem", "not used"},
      {"A s3270 h:1 tls keyfile=/k.pem", "needs certfile"},
      {"A s3270 h:1 colour=yes", "unknown option"},
      {"A script 127.0.0.1:9 model=5", "only an s3270 session"},
      {"A sim /x tls", "only an s3270 session"},
  };
  std::string text;
  for (const auto& c : cases) text += c.first + "\n";
  // A path with a new line in it cannot hide a second line: that line is read as a line.
  text += "A s3270 h:1 tls cafile=/a\nB s3270 h:2 Quit()\n";
  SessionTable t = ParseSessions(text, "sessions");
  ASSERT_EQ(t.problems.size(), cases.size() + 1);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(0u, t.problems[i].find("sessions:" + std::to_string(i + 1) + ": ")) << t.problems[i];
    EXPECT_NE(std::string::npos, t.problems[i].find(cases[i].second)) << t.problems[i];
  }
  EXPECT_NE(std::string::npos,
            t.problems.back().find(":" + std::to_string(cases.size() + 2) + ": "));
  ASSERT_EQ(1u, t.sessions.size()) << "only the line with the harmless path is kept";
  EXPECT_EQ("/a", t.Find('A')->options.cafile);
}

TEST(EmulatorSessionsFile, IsFoundThroughQorSessionsThenTheXdgConfigDirectory) {
  {
    ScopedEnv s("QOR_SESSIONS", "/tmp/mine");
    EXPECT_EQ("/tmp/mine", emulator::SessionsFilePath());
  }
  ::unsetenv("QOR_SESSIONS");
  {
    ScopedEnv x("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ("/cfg/qorprt/sessions", emulator::SessionsFilePath());
  }
  ScopedEnv x("XDG_CONFIG_HOME", "");
  ScopedEnv h("HOME", "/home/u");
  EXPECT_EQ("/home/u/.config/qorprt/sessions", emulator::SessionsFilePath());
}

TEST(EmulatorSessionsFile, AMissingFileOrABadLineMakesConnectFailWithTheReason) {
  TempDir dir;
  SessionTable missing = LoadSessions(dir / "none");
  ASSERT_EQ(1u, missing.problems.size());
  EXPECT_NE(std::string::npos, missing.problems[0].find(dir / "none"));

  SessionTable endless = LoadSessions("/dev/zero");
  ASSERT_EQ(1u, endless.problems.size());
  EXPECT_NE(std::string::npos, endless.problems[0].find("too large"));

  WriteFile(dir / "sessions", "A s3270 localhost\n");
  std::vector<std::string> errors;
  emulator::HllapiCore core(
      emulator::StatusLayout::kNarrow, [&] { return LoadSessions(dir / "sessions"); },
      [](const emulator::SessionLine&, std::string*) {
        return std::unique_ptr<emulator::Backend>();
      },
      [&](const std::string& e) { errors.push_back(e); });
  int len = 1, rc = 0;
  unsigned char id[4] = {'A'};
  core.Call(1, id, &len, &rc);
  EXPECT_EQ(1, rc);
  ASSERT_GE(errors.size(), 2u);
  EXPECT_EQ(0u, errors[0].find(dir / "sessions:1: "));
  EXPECT_NE(std::string::npos, core.LastError().find("no session A"));
}

// A script port nobody listens on (port 1 on loopback) is refused at once,
// and the reason is the system's own words, not a bare error number.
TEST(EmulatorSessionsFile, AScriptPortNobodyListensOnFailsConnectWithTheSystemsReason) {
  std::vector<std::string> errors;
  emulator::HllapiCore core(
      emulator::StatusLayout::kNarrow,
      [] { return ParseSessions("A script 127.0.0.1:1 timeout=5\n", "sessions"); },
      emulator::MakeBackend, [&](const std::string& e) { errors.push_back(e); });
  int len = 1, rc = 0;
  unsigned char id[4] = {'A'};
  core.Call(1, id, &len, &rc);
  EXPECT_EQ(9, rc);
  const std::string& why = core.LastError();
  EXPECT_NE(std::string::npos, why.find("cannot reach the emulator at 127.0.0.1:1 (")) << why;
  EXPECT_EQ(std::string::npos, why.find("error 1")) << why;
}

}  // namespace
