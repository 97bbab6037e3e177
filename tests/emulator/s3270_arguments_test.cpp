// What an s3270 the library starts is told: its arguments and the Connect().
#include <gtest/gtest.h>

#include "emulator/session_config.h"
#include "emulator/x3270_backend.h"

using emulator::ParseSessions;
using emulator::SessionTable;

// Each option reaches s3270 as arguments of their own and the Connect()
// command holds only checked characters, quoted.
TEST(EmulatorSessionsFile, S3270OptionsBecomeArgumentsAndTheConnectTarget) {
  struct Case {
    std::string words;
    std::string arguments;  // after "-utf8 -model 3279-N -clear aidWait", blank-joined
    std::string connect;
  };
  const std::vector<Case> cases = {
      {"", "", "Connect(\"h.example:23\")"},
      {"tls verify=no model=5", "-noverifycert", "Connect(\"L:h.example:23\")"},
      {"tls cafile=/etc/ca.pem certfile=/c/me.pem keyfile=/c/me.key",
       "-cafile /etc/ca.pem -certfile /c/me.pem -keyfile /c/me.key", "Connect(\"L:h.example:23\")"},
      {"lu=PRT01 codepage=german connect-timeout=5 proxy=socks5:gw.example:1080 timeout=9",
       "-codepage cp273 -connecttimeout 5 -proxy socks5:gw.example:1080",
       "Connect(\"PRT01@h.example:23\")"},
      {"tls lu=a$1 codepage=cp1047", "-codepage cp1047", "Connect(\"L:a$1@h.example:23\")"},
  };
  for (const Case& c : cases) {
    SessionTable t = ParseSessions("A s3270 h.example:23 " + c.words + "\n", "sessions");
    ASSERT_TRUE(t.problems.empty()) << c.words << ": " << t.problems[0];
    const emulator::SessionLine& line = *t.Find('A');
    std::vector<std::string> args = emulator::S3270Arguments(line.options);
    ASSERT_GE(args.size(), 5u);
    EXPECT_EQ(args[2], "3279-" + std::to_string(line.options.model));
    std::string rest;
    for (std::size_t i = 5; i < args.size(); ++i) rest += (rest.empty() ? "" : " ") + args[i];
    EXPECT_EQ(rest, c.arguments) << c.words;
    EXPECT_EQ(emulator::ConnectCommand("h.example", 23, line.options), c.connect) << c.words;
    // What qorcnfig writes reads back the same.
    SessionTable again = ParseSessions(
        "A s3270 h.example:23 " + common::session_options::Words(line.options) + "\n", "s");
    ASSERT_TRUE(again.problems.empty()) << again.problems[0];
    EXPECT_EQ(common::session_options::Words(again.Find('A')->options),
              common::session_options::Words(line.options));
  }
  EXPECT_EQ(9, ParseSessions("A s3270 h:1 timeout=9\n", "s").Find('A')->timeout_seconds);
}
