// The real client in a terminal: start-up window, main window and menus,
// help, the trace switch, idle CPU and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/installed_client.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

// Clock ticks of user and system time the process has used.
long CpuTicks(const std::string& pid) {
  std::ifstream in("/proc/" + pid + "/stat");
  std::string line;
  std::getline(in, line);
  size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(line.substr(close + 2));
  std::string f;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> f; ++i) {
    if (i == 14) utime = std::stol(f);
    if (i == 15) {
      stime = std::stol(f);
      break;
    }
  }
  return utime + stime;
}

class QorprttTerminalTest : public ::testing::Test {
 protected:
  TempDir dir;
  TmuxSession tmux;
  testing_support::InstalledClient installed{dir.path()};
  void SetUp() override {
    if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
    ASSERT_TRUE(tmux.ok());
    installed.Install();  // a program directory of its own
    installed.Registry("\"TIMEOUT\"=\"30\"\r\n");
  }
  // The inner shell writes its pid and becomes the client, which keeps the
  // terminal as its input; the outer one records the exit status. env: more
  // VAR=value words for the client.
  void Start(const std::string& args, const std::string& env = "") {
    tmux.Start("cd " + dir.path() + " && " + env + " " + installed.ShellEnv() +
               " sh -c 'echo \\$\\$ > pid; exec ./qorprtt " + args +
               "'; echo \\$? > status; sleep 60");
  }
  std::string WaitForFile(const std::string& name) {
    for (int i = 0; i < 300; ++i) {
      std::string s = ReadFile(dir / name);
      if (!s.empty() && s.back() == '\n') return s.substr(0, s.size() - 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
  }
};

// In the plain C locale, as under root, ssh or a service without LANG.
TEST_F(QorprttTerminalTest, StartsShowsItsMenusHelpsAndEndsCleanly) {
  Start("/D", "LC_ALL=C");
  ASSERT_TRUE(tmux.WaitFor("QORPRINT for Linux")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("QORPRINT for Linux")) << tmux.Capture();
  std::string screen = tmux.Capture();
  EXPECT_NE(screen.find("QORPRINT Host Print Client"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Exit  Transfer  Options  Help"), std::string::npos) << screen;
  EXPECT_NE(screen.find("F6 takes the waiting job - F10 menu"), std::string::npos) << screen;

  // Idle in the main loop: no CPU at all.
  std::string pid = WaitForFile("pid");
  ASSERT_FALSE(pid.empty());
  long before = CpuTicks(pid);
  std::this_thread::sleep_for(std::chrono::seconds(2));
  long used = CpuTicks(pid) - before;
  std::printf("idle main loop: %ld clock ticks of CPU in 2 s\n", used);
  EXPECT_LE(used, 2);

  tmux.Keys("F1");
  ASSERT_TRUE(tmux.WaitFor("QORPRTW HELP")) << tmux.Capture();
  tmux.Keys("Escape");
  ASSERT_TRUE(tmux.WaitGone("QORPRTW HELP")) << tmux.Capture();
  tmux.Keys("C-x");
  EXPECT_EQ(WaitForFile("status"), "0");

  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  size_t program = trace.find(" PROGRAM <>QORPRTW (NT) diskette:2.0.0.3\r\n");
  size_t connect = trace.find(" CONNECT <>LU2 session=A timeout=30 DLL=RAZEVU3.DLL EMU=\r\n");
  EXPECT_EQ(program, 16u) << trace;  // the first record
  EXPECT_NE(connect, std::string::npos);
  EXPECT_LT(connect, trace.find("\r\n<>", program + 1) + 20);  // the second record
}

TEST_F(QorprttTerminalTest, WithoutItsMessageFileItSaysSoAndEnds) {
  std::filesystem::remove(dir / "QORPRTW.QOR");
  Start("");
  ASSERT_TRUE(tmux.WaitFor("Error in opening DUVIZE.QOR File")) << tmux.Capture();
  tmux.Keys("Enter");
  EXPECT_EQ(WaitForFile("status"), "0");
}

}  // namespace
