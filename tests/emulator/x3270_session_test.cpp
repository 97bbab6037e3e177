// Sessions in a real s3270 against qorhost, and emulators that misbehave:
// every call must come back within the session's time-out, a wedged child is
// killed, and a protected position leaves the keyboard usable.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "hostsim/screen_encoder.h"
#include "platform/clock.h"
#include "qorhost_process.h"
#include "test_support.h"
#include "tests/emulator/hllapi_session.h"

namespace {

std::string Sample(const std::string& name) {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

// A loopback port that accepts connections (the kernel completes them) and
// never says anything.
class SilentListener {
 public:
  SilentListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 4);
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
  }
  ~SilentListener() { ::close(fd_); }
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

int FreePort() {
  SilentListener l;
  return l.port();
}

using Session = testing_support::HllapiSession;

class EmulatorS3270 : public ::testing::Test {
 protected:
  void start(const std::vector<std::string>& options) {
    ASSERT_EQ(0, ::mkdir((dir / "spool").c_str(), 0755));
    testing_support::write_file(dir / "spool/MONTHRPT", Sample("MONTHRPT"));
    host = std::make_unique<testing_support::QorhostProcess>(dir / "spool", options,
                                                             dir / "qorhost.log");
    ASSERT_GT(host->port(), 0);
  }
  std::string hostport() const { return "127.0.0.1:" + std::to_string(host->port()); }
  TempDir dir;
  std::unique_ptr<testing_support::QorhostProcess> host;
};

TEST_F(EmulatorS3270, AProtectedPositionGivesFiveAndTheNextKeyStillReachesTheHost) {
  start({});
  Session s("A s3270 " + hostport() + " timeout=5");
  ASSERT_EQ(0, s.connect());
  std::string whole = s.screen();
  EXPECT_EQ("QORPRINT", whole.substr(0, 8));
  // Short copies, within the first row and across rows, match the whole one.
  for (int length : {8, 100}) {
    char part[101] = {};
    int copied = 0;
    EXPECT_EQ(0, s.call(5, part, length, 0, &copied));
    EXPECT_EQ(length, copied);
    EXPECT_EQ(whole.substr(0, static_cast<std::size_t>(length)),
              std::string(part, static_cast<std::size_t>(length)));
  }
  // Position 1920 holds the field attribute.
  EXPECT_EQ(5, s.text(15, "x", 1920));
  EXPECT_EQ(0, s.call(4, "<NULL>", 0)) << "the keyboard was reset";
  EXPECT_EQ(0, s.text(15, "0009,=         ;", 1));
  EXPECT_EQ(0, s.text(3, "@6"));
  EXPECT_EQ(0, s.call(4, "<NULL>", 0)) << "TWAIT waits for the host";
  EXPECT_NE("QORPRINT", s.screen().substr(0, 8)) << "the first data screen";
  // Typing into the protected position through Send Key leaves the keyboard
  // inhibited until Reset, which AUTORESET sends before the next keys.
  EXPECT_EQ(0, s.call(40, "<NULL>", 0, 1920));
  EXPECT_EQ(5, s.text(3, "zz"));
  EXPECT_EQ(5, s.call(4, "<NULL>", 0));
  EXPECT_EQ(0, s.text(3, "@C"));
  EXPECT_EQ(0, s.call(4, "<NULL>", 0));
}

// The provider answers from what the emulator last replied while that is
// fresh; none of it may hide a change from a program. The host answers each
// screen 300 ms late, later than a key looks for the answer.
TEST_F(EmulatorS3270, NoScreenOrStatusKeptFromAReplyHidesALaterChange) {
  start({"--delay-ms", "300"});
  Session s("A s3270 " + hostport() + " timeout=5");
  ASSERT_EQ(0, s.connect());
  ASSERT_EQ("QORPRINT", s.screen().substr(0, 8));
  ASSERT_EQ(0, s.text(9, "NWAIT"));
  // A write shows to the read after it.
  ASSERT_EQ(0, s.text(15, "0009,=         ;", 1));
  const std::string typed = s.screen();
  EXPECT_EQ("0009,=", typed.substr(0, 6));
  ASSERT_EQ(0, s.text(3, "@6"));
  EXPECT_EQ(4, s.call(4, "<NULL>", 0)) << "the host has not answered yet";
  // The host's write between two reads shows to the later one, with no wait between.
  std::string data;
  EXPECT_TRUE(testing_support::eventually([&] { return (data = s.screen()) != typed; }, 3000));
  EXPECT_EQ(0, s.call(4, "<NULL>", 0));
  // A key between two reads: Clear blanks the screen at once.
  ASSERT_EQ(0, s.text(15, "OK;;;;;;", 1));
  ASSERT_EQ(0, s.text(3, "@C"));
  EXPECT_EQ(std::string(1920, ' '), s.screen());
  // A pause ends when the host writes, and the next read shows what it wrote.
  uint64_t start_ms = platform::MonotonicMs();
  EXPECT_EQ(26, s.call(18, "<NULL>", 6));
  EXPECT_LT(platform::MonotonicMs() - start_ms, 2500u);
  std::string next = s.screen();
  EXPECT_NE(std::string(1920, ' '), next);
  EXPECT_NE(data, next);
  // A wait for the host sees the screen that came after it.
  ASSERT_EQ(0, s.text(9, "TWAIT"));
  ASSERT_EQ(0, s.text(15, "OK;;;;;;", 1));
  ASSERT_EQ(0, s.text(3, "@C"));
  EXPECT_EQ(0, s.call(4, "<NULL>", 0));
  std::string after = s.screen();
  EXPECT_NE(std::string(1920, ' '), after);
  EXPECT_NE(next, after);
}

TEST_F(EmulatorS3270, AStalledHostMakesWaitsEndOnTimeNotHang) {
  start({"--stall-after", "1"});
  Session s("A s3270 " + hostport() + " timeout=2");
  ASSERT_EQ(0, s.connect());
  ASSERT_EQ(0, s.text(15, "0009,=         ;", 1));
  ASSERT_EQ(0, s.text(3, "@6"));
  ASSERT_EQ(0, s.call(4, "<NULL>", 0));
  ASSERT_EQ(0, s.text(3, "@C"));  // the host takes it and never answers
  uint64_t start_ms = platform::MonotonicMs();
  EXPECT_EQ(4, s.call(4, "<NULL>", 0)) << "still waiting for the host";
  uint64_t took = platform::MonotonicMs() - start_ms;
  EXPECT_GE(took, 1500u);
  EXPECT_LE(took, 2600u);
  // Clear blanked the screen, which may end one pause; the next one waits
  // its half second for a host that says nothing.
  s.call(18, "<NULL>", 1);
  start_ms = platform::MonotonicMs();
  EXPECT_EQ(0, s.call(18, "<NULL>", 1));
  took = platform::MonotonicMs() - start_ms;
  EXPECT_GE(took, 400u);
  EXPECT_LE(took, 700u);
  EXPECT_EQ(4, s.text(3, "@C")) << "no second key while the first is unanswered";
  EXPECT_EQ(0, s.text(9, "NWAIT"));
  EXPECT_EQ(4, s.call(4, "<NULL>", 0));
}

TEST_F(EmulatorS3270, AHostThatDropsTheSessionIsASystemErrorAndTheSessionCloses) {
  start({"--drop-after", "1"});
  Session s("A s3270 " + hostport() + " timeout=3");
  ASSERT_EQ(0, s.connect());
  ASSERT_EQ(0, s.text(15, "0009,=         ;", 1));
  ASSERT_EQ(0, s.text(3, "@6"));
  s.call(4, "<NULL>", 0);
  uint64_t start_ms = platform::MonotonicMs();
  // The key itself may already see the host go, while it looks for the answer.
  int rc = s.text(3, "@C");
  for (int i = 0; i < 10 && rc != 9; ++i) rc = s.call(4, "<NULL>", 0);
  EXPECT_EQ(9, rc);
  EXPECT_LE(platform::MonotonicMs() - start_ms, 3500u);
  EXPECT_NE(std::string::npos, s.core().LastError().find("host")) << s.core().LastError();
  EXPECT_EQ(1, s.call(4, "<NULL>", 0)) << "not connected any more";
}

TEST_F(EmulatorS3270, AttachesToARunningEmulatorsScriptPort) {
  start({});
  int port = FreePort();
  testing_support::Child emulator({"s3270", "-utf8", "-model", "3279-2", "-scriptport",
                                   "127.0.0.1:" + std::to_string(port), hostport()},
                                  dir / "s3270.log");
  ASSERT_TRUE(emulator.started());
  Session s("A script 127.0.0.1:" + std::to_string(port) + " timeout=5");
  int rc = 1;
  ASSERT_TRUE(testing_support::eventually(
      [&] {
        rc = s.connect();
        return rc == 0 && s.screen().substr(0, 8) == "QORPRINT";
      },
      10000))
      << rc << " " << s.core().LastError();
  uint64_t start_ms = platform::MonotonicMs();
  for (int i = 0; i < 20; ++i) s.screen();
  EXPECT_LT(platform::MonotonicMs() - start_ms, 400u)
      << "replies are not held back by delayed ACKs";
  EXPECT_EQ(0, s.call(2, "A", 0));
  EXPECT_FALSE(emulator.wait_exit(200)) << "an attached emulator keeps running";
  emulator.stop();
}

TEST(EmulatorMisbehaving, AChildThatNeverAnswersIsKilledWithinTheTimeout) {
  TempDir dir;
  const std::string script = dir / "fake-s3270";
  testing_support::write_file(script,
                              "#!/bin/sh\necho $$ > " + (dir / "pid") + "\nexec sleep 60\n");
  ::chmod(script.c_str(), 0755);
  ::setenv("QOR_S3270", script.c_str(), 1);
  Session s("A s3270 127.0.0.1:1 timeout=1");
  uint64_t start_ms = platform::MonotonicMs();
  EXPECT_EQ(9, s.connect());
  EXPECT_LE(platform::MonotonicMs() - start_ms, 1500u);
  ::unsetenv("QOR_S3270");
  pid_t pid = std::atoi(testing_support::read_file(dir / "pid").c_str());
  ASSERT_GT(pid, 0);
  EXPECT_EQ(-1, ::kill(pid, 0));
  EXPECT_EQ(ESRCH, errno) << "the wedged child is gone";
  EXPECT_NE(std::string::npos, s.core().LastError().find("in time")) << s.core().LastError();
}

TEST(EmulatorMisbehaving, AChildThatStopsAnsweringMidSessionIsKilled) {
  TempDir dir;
  const std::string script = dir / "fake-s3270";
  // Connects and answers the two questions asked then, then nothing more.
  const std::string status = "echo 'U F U C(127.0.0.1) I 2 24 80 1 0 0x0 0.000'\necho ok\n";
  testing_support::write_file(
      script, "#!/bin/sh\necho $$ > " + (dir / "pid") + "\nread line\n" + status +
                  "read line\necho 'data: rows 24 columns 80'\n" + status +
                  "read line\necho 'data: bracket sbcs gcsgid 697 cpgid 37'\n" + status +
                  "exec sleep 60\n");
  ::chmod(script.c_str(), 0755);
  ::setenv("QOR_S3270", script.c_str(), 1);
  Session s("A s3270 127.0.0.1:1 timeout=1");
  EXPECT_EQ(0, s.connect());
  ::unsetenv("QOR_S3270");
  char buffer[1920] = {};
  uint64_t start_ms = platform::MonotonicMs();
  EXPECT_EQ(9, s.call(5, buffer, 1920));
  EXPECT_LE(platform::MonotonicMs() - start_ms, 1500u);
  pid_t pid = std::atoi(testing_support::read_file(dir / "pid").c_str());
  ASSERT_GT(pid, 0);
  EXPECT_EQ(-1, ::kill(pid, 0));
  EXPECT_EQ(1, s.call(5, buffer, 1920)) << "the session is closed";
}

TEST(EmulatorMisbehaving, AHostThatAcceptsButNeverPaintsCostsOneTimeout) {
  SilentListener silent;
  Session s("A s3270 127.0.0.1:" + std::to_string(silent.port()) + " timeout=1");
  uint64_t start_ms = platform::MonotonicMs();
  EXPECT_EQ(9, s.connect());
  EXPECT_LE(platform::MonotonicMs() - start_ms, 1600u);
  Session refused("A s3270 127.0.0.1:" + std::to_string(FreePort()) + " timeout=3");
  EXPECT_EQ(9, refused.connect());
  EXPECT_NE(std::string::npos, refused.core().LastError().find("cannot connect"))
      << refused.core().LastError();
  Session no_emulator("A script 127.0.0.1:" + std::to_string(FreePort()) + " timeout=1");
  EXPECT_EQ(9, no_emulator.connect());
}

}  // namespace
