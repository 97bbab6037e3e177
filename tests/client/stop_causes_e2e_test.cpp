// The headless client where an administrator looks: a stop ends it within a
// second whatever the emulator waits for, a host it cannot reach is named
// with the system's reason while it keeps trying, the emulator log is stamped
// and printable, and a configuration that cannot work ends it with status 78
// and the cause on standard error.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <regex>
#include <sstream>
#include <vector>

#include "test_support.h"
#include "tests/emulator_children.h"
#include "tests/installed_client.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

using testing_support::Child;
using testing_support::eventually;

// A loopback socket on a port of its own: listening, the system takes every
// connection and nobody ever answers; not listening, connections are refused.
class LoopbackSocket {
 public:
  explicit LoopbackSocket(bool listening) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
        (listening && ::listen(fd_, 8) != 0) ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      return;
    port_ = ntohs(a.sin_port);
  }
  ~LoopbackSocket() {
    for (int fd : taken_) ::close(fd);
    if (fd_ >= 0) ::close(fd_);
  }
  int port() const { return port_; }
  // Takes one waiting connection and holds it, silent; false when none waits.
  bool Take() {
    int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) taken_.push_back(fd);
    return fd >= 0;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::vector<int> taken_;
};

class StopAndCausesTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string downloads = dir / "downloads";
  testing_support::InstalledClient installed{BinDir(), dir.path()};  // the built client

  void SetUp() override {
    if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
    std::filesystem::create_directory(downloads);
    installed.Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n");
  }
  // The headless client on the sessions file given (none when sessions is
  // empty), with extra environment settings.
  std::unique_ptr<Child> Start(const std::string& sessions,
                               const std::vector<std::string>& env = {}) {
    if (!sessions.empty()) installed.Sessions(sessions);
    std::vector<std::string> more{"HOME=" + (dir / "home"), "XDG_CONFIG_HOME=", "XDG_STATE_HOME="};
    more.insert(more.end(), env.begin(), env.end());
    std::vector<std::string> argv = installed.Command(more);
    argv.insert(argv.end(), {"--headless", downloads});
    return std::make_unique<Child>(argv, dir / "client.err");
  }
  std::string Lines() { return ReadFile(dir / "client.err"); }
  // The exit status, 128 + signal when killed; -1 when it did not end in time.
  int ExitStatus(Child& client, int timeout_ms) {
    int status = 0;
    if (!client.wait_exit(timeout_ms, &status)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

// The emulator is stuck in Connect() (plain, and in the TLS handshake) when
// SIGTERM comes: the client ends at once, with nothing left behind and no
// new attempt.
TEST_F(StopAndCausesTest, SigtermEndsAClientStuckConnectingWithinASecond) {
  for (const char* options : {"", " tls verify=no"}) {
    SCOPED_TRACE(std::string("options:") + options);
    LoopbackSocket silent(true);
    ASSERT_NE(silent.port(), 0);
    auto client = Start("A s3270 127.0.0.1:" + std::to_string(silent.port()) + options + "\n");
    ASSERT_TRUE(eventually([&] { return silent.Take(); }, 30000)) << Lines();
    std::vector<pid_t> emulators = EmulatorChildren(client->pid());
    EXPECT_EQ(emulators.size(), 1u);

    long long start = testing_support::monotonic_ms();
    ::kill(client->pid(), SIGTERM);
    EXPECT_EQ(ExitStatus(*client, 30000), 0) << Lines();
    long long elapsed = testing_support::monotonic_ms() - start;
    std::printf("client connecting%s ended %lld ms after SIGTERM\n", options, elapsed);
    EXPECT_LT(elapsed, 2000) << Lines();
    for (pid_t pid : emulators)
      EXPECT_TRUE(ProcessGone(pid)) << "s3270 " << pid << " is still running";
    EXPECT_FALSE(silent.Take()) << "the client connected again after the stop";
    EXPECT_NE(Lines().find(" end: Stopped"), std::string::npos) << Lines();
    EXPECT_EQ(Lines().find("Connection Error"), std::string::npos) << Lines();
  }
}

// A refused port is a transient fault: the cause (host, port and the
// system's reason) is on standard error, and the client keeps trying. The
// emulator log's lines carry a time stamp and only printable text.
TEST_F(StopAndCausesTest, ARefusedPortIsNamedWithItsReasonAndRetried) {
  LoopbackSocket refusing(false);
  ASSERT_NE(refusing.port(), 0);
  const std::string where = "127.0.0.1:" + std::to_string(refusing.port());
  auto client = Start("A s3270 " + where + "\n");
  EXPECT_TRUE(eventually(
      [&] { return Lines().find(where + ": Connection refused") != std::string::npos; }, 30000))
      << Lines();
  EXPECT_NE(Lines().find(" log: No host session at "), std::string::npos) << Lines();
  EXPECT_EQ(ExitStatus(*client, 0), -1) << "the client gave up on a transient fault\n" << Lines();

  std::istringstream log(ReadFile(dir / "emulator.log"));
  int lines = 0;
  for (std::string line; std::getline(log, line); ++lines) {
    EXPECT_TRUE(std::regex_search(
        line, std::regex("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d qorprt emulator: ")))
        << line;
    for (unsigned char c : line)
      EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << int(c) << " in " << line;
  }
  EXPECT_GT(lines, 0);
  ::kill(client->pid(), SIGTERM);
  EXPECT_EQ(ExitStatus(*client, 30000), 0) << Lines();
}

// A configuration that cannot work ends the run with status 78 and an
// error line that says what is wrong, where the file is at fault its name.
TEST_F(StopAndCausesTest, AConfigurationThatCannotWorkEndsWithStatus78AndTheCause) {
  const std::string sessions = dir / "sessions";
  struct Case {
    const char* what;
    std::string sessions;  // "" for no file
    std::vector<std::string> env;
    std::string cause;
  } cases[] = {
      {"no sessions file",
       "",
       {},
       sessions + ": cannot read the sessions file (No such file or directory)"},
      {"no line for the session",
       "B s3270 127.0.0.1:1\n",
       {},
       "no session A is defined in " + sessions},
      {"a bad line", "A s3270 127.0.0.1:1 model=9\n", {}, sessions + ":1: \"model=9\""},
      {"an over-long value",
       "A s3270 127.0.0.1:1 lu=" + std::string(300, 'L') + "\n",
       {},
       sessions + ":1: \"lu=LLL"},
      {"no emulator program",
       "A s3270 127.0.0.1:1\n",
       {"QOR_S3270=/nonexistent"},
       "cannot start /nonexistent ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(sessions);
    auto client = Start(c.sessions, c.env);
    EXPECT_EQ(ExitStatus(*client, 30000), 78) << Lines();
    std::string lines = Lines();
    size_t error = lines.find(" error: ");
    ASSERT_NE(error, std::string::npos) << lines;
    EXPECT_NE(lines.find(c.cause, error), std::string::npos) << lines;
    EXPECT_TRUE(std::filesystem::is_empty(downloads));
  }
}

}  // namespace
