// A command fed a file on its standard input: its status and last error
// lines come back; the time limit and a stop kill its whole process group;
// it sees only the small environment. A child the client does not wait for
// starts as cleanly: none of our descriptors, only the environment it is given.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>

#include "platform/child_process.h"
#include "platform/command_run.h"
#include "test_support.h"
#include "tests/temp_dir.h"

namespace {

platform::CommandRun Shell(const std::string& script, const std::string& input) {
  platform::CommandRun run;
  run.words = {"/bin/sh", "-c", script};
  run.input_path = input;
  return run;
}

// Ended: no such process, or one nobody has reaped yet.
bool Gone(const std::string& pid_file) {
  std::string pid = ReadFile(pid_file);
  while (!pid.empty() && pid.back() == '\n') pid.pop_back();
  if (pid.empty()) return false;
  std::string stat = ReadFile("/proc/" + pid + "/stat");
  size_t paren = stat.rfind(')');
  return stat.empty() || (paren != std::string::npos && stat.compare(paren + 2, 1, "Z") == 0);
}

TEST(CommandRunTest, StatusErrorsLimitsAndEnvironment) {
  TempDir dir;
  const std::string input = dir / "job";
  WriteFile(input, std::string("line one\r\n\0\xff\f", 14));
  ::setenv("QOR_PRIVATE", "secret", 1);
  auto go_on = [] { return true; };

  platform::CommandRun copy =
      Shell("cat > '" + (dir / "out") + "'; env > '" + (dir / "env") + "'", input);
  copy.extra_environment = {"QOR_JOB_NAME=QOR X"};
  platform::CommandResult r = platform::RunCommand(copy, go_on);
  EXPECT_TRUE(r.Succeeded()) << r.problem;
  EXPECT_EQ(ReadFile(dir / "out"), ReadFile(input));
  EXPECT_NE(ReadFile(dir / "env").find("QOR_JOB_NAME=QOR X\n"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "env").find("QOR_PRIVATE"), std::string::npos);

  r = platform::RunCommand(
      Shell("for i in 1 2 3 4; do echo e$i >&2; done; echo >&2; exit 3", input), go_on);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.exit_status, 3);
  EXPECT_EQ(r.error_tail, "e2 / e3 / e4");

  // A helper in the background dies with the command at the time limit.
  platform::CommandRun slow = Shell("sleep 30 & echo $! > '" + (dir / "helper") + "'; wait", input);
  slow.time_limit_ms = 300;
  auto start = std::chrono::steady_clock::now();
  r = platform::RunCommand(slow, go_on);
  EXPECT_TRUE(r.timed_out);
  EXPECT_EQ(r.signal, SIGKILL);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(testing_support::eventually([&] { return Gone(dir / "helper"); }, 10000))
      << "the helper lives on";

  int looks = 0;
  r = platform::RunCommand(Shell("sleep 30", input), [&] { return ++looks < 3; });
  EXPECT_TRUE(r.stopped);
  EXPECT_FALSE(r.Succeeded());

  platform::CommandRun missing;
  missing.words = {"no-such-program-here"};
  missing.input_path = input;
  r = platform::RunCommand(missing, go_on);
  EXPECT_FALSE(r.started);
  EXPECT_EQ(r.problem, "No such file or directory");
  ::unsetenv("QOR_PRIVATE");
}

TEST(CommandRunTest, ChildGetsNoDescriptorOfOursAndOnlyItsEnvironment) {
  TempDir dir;
  const int held = ::open((dir / "held").c_str(), O_WRONLY | O_CREAT, 0600);  // inheritable
  ASSERT_GE(held, 3);
  WriteFile(dir / "out", "before\n");
  platform::ChildProcess child;
  const std::string fd = "/proc/$$/fd/" + std::to_string(held);
  ASSERT_EQ(child.Start({"/bin/sh", "-c", "[ -e " + fd + " ] && echo held || echo closed; env"},
                        {"QOR_X=1"}, dir / "out"),
            "");
  platform::ChildEnd end;
  EXPECT_TRUE(testing_support::eventually([&] { return child.Ended(&end); }, 10000));
  ::close(held);
  EXPECT_EQ(end.code, 0);
  const std::string out = ReadFile(dir / "out");
  EXPECT_EQ(out.rfind("before\nclosed\n", 0), 0u) << out;
  EXPECT_NE(out.find("QOR_X=1"), std::string::npos) << out;
  EXPECT_EQ(out.find("HOME="), std::string::npos) << out;
}

}  // namespace
