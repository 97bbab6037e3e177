// Sessions as production hosts want them, through a real s3270 (or an
// interactive c3270) and qorhost: TLS with a certificate made here, LU names
// that route jobs, a national code page on both sides and a mismatched one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>

#include "qorhost_process.h"
#include "test_support.h"
#include "tests/emulator/hllapi_session.h"
#include "tests/programs.h"
#include "tests/tmux_session.h"

namespace {

using testing_support::HllapiSession;

std::string Sample(const std::string& name) {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

class HostSessions : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
    ASSERT_EQ(0, ::mkdir(spool.c_str(), 0755));
  }
  void Host(const std::vector<std::string>& options) {
    host = std::make_unique<testing_support::QorhostProcess>(spool, options, dir / "qorhost.log");
    ASSERT_GT(host->port(), 0) << testing_support::read_file(dir / "qorhost.log");
  }
  std::string Line(const std::string& options) const {
    return "A s3270 127.0.0.1:" + std::to_string(host->port()) + " timeout=10 " + options;
  }
  std::string Log() const { return testing_support::read_file(dir / "qorhost.log"); }
  TempDir dir;
  std::string spool = dir / "spool";
  std::unique_ptr<testing_support::QorhostProcess> host;
};

TEST_F(HostSessions, TlsWithACertificateMadeForTheTest) {
  if (!OpensslInstalled()) GTEST_SKIP() << "openssl is not installed";
  ASSERT_TRUE(testing_support::make_loopback_certificate(dir.path()))
      << testing_support::read_file(dir / "openssl.log");
  testing_support::write_file(spool + "/MONTHRPT", Sample("MONTHRPT"));
  testing_support::write_file(spool + "/SHORT", Sample("SHORT"));
  Host({"--tls-cert", dir / "cert.pem", "--tls-key", dir / "key.pem"});

  struct Case {
    std::string options;
    std::string job;  // "" when the session must not open
  };
  for (const Case& c : {Case{"tls verify=no", "MONTHRPT"},
                        Case{"tls cafile=" + (dir / "cert.pem"), "SHORT"}, Case{"tls", ""}}) {
    SCOPED_TRACE(c.options);
    HllapiSession s(Line(c.options));
    if (c.job.empty()) {
      EXPECT_EQ(9, s.connect()) << "a certificate no CA vouches for";
      EXPECT_NE(std::string::npos, s.core().LastError().find("TLS")) << s.core().LastError();
      continue;
    }
    ASSERT_EQ(0, s.connect()) << s.core().LastError();
    HllapiSession::Job job;
    ASSERT_TRUE(s.take_job(&job)) << s.core().LastError();
    EXPECT_EQ(Sample(c.job), job.bytes);
  }
  // A session without TLS on the TLS port never reaches 3270 mode: it ends
  // at its time-out, and the host is none the worse.
  HllapiSession plain("A s3270 127.0.0.1:" + std::to_string(host->port()) + " timeout=2");
  EXPECT_EQ(9, plain.connect());
  EXPECT_NE(std::string::npos, Log().find("unknown ca")) << Log();
  EXPECT_TRUE(testing_support::eventually(
      [&] { return testing_support::file_exists(spool + "/done/SHORT"); }, 10000));
}

// Two terminals connected at once as LU1 and LU2: each gets its own jobs
// (lu/NAME/), the common job goes to one of them once, and a third terminal
// asking for LU1 while it is connected is refused.
TEST_F(HostSessions, LuNamesRouteJobs) {
  for (const char* lane : {"/lu", "/lu/LU1", "/lu/LU2"})
    ASSERT_EQ(0, ::mkdir((spool + lane).c_str(), 0755));
  testing_support::write_file(spool + "/lu/LU1/FOR1", "for LU1 only\r\n");
  testing_support::write_file(spool + "/lu/LU2/FOR2", "for LU2 only\r\n");
  testing_support::write_file(spool + "/COMMON", "for anyone, once\r\n");
  Host({});
  HllapiSession one(Line("lu=LU1")), two(Line("lu=lu2"));
  ASSERT_EQ(0, one.connect()) << one.core().LastError();
  ASSERT_EQ(0, two.connect()) << two.core().LastError();
  HllapiSession again(Line("lu=LU1"));
  EXPECT_EQ(9, again.connect()) << "LU1 is in use";

  std::vector<std::string> taken_by_one, taken_by_two;
  for (auto [session, taken] : {std::pair{&one, &taken_by_one}, std::pair{&two, &taken_by_two}}) {
    HllapiSession::Job job;
    while (session->screen().compare(0, 8, "QORPRINT") == 0) {
      ASSERT_TRUE(session->take_job(&job)) << session->core().LastError();
      taken->push_back(job.bytes);
      job = {};
    }
  }
  ASSERT_FALSE(taken_by_one.empty());
  ASSERT_FALSE(taken_by_two.empty());
  EXPECT_EQ(taken_by_one[0], "for LU1 only\r\n");
  EXPECT_EQ(taken_by_two[0], "for LU2 only\r\n");
  std::vector<std::string> all = taken_by_one;
  all.insert(all.end(), taken_by_two.begin(), taken_by_two.end());
  EXPECT_EQ(3u, all.size());
  EXPECT_EQ(1, std::count(all.begin(), all.end(), "for anyone, once\r\n"));
  EXPECT_NE(std::string::npos, Log().find("TN3270E mode, terminal type IBM-3278-2-E, LU LU2"))
      << Log();
}

// Code page 273 on both sides takes every byte value. With the session left
// on 037 only the characters the two pages place apart come out wrong; of
// those a data screen shows only '{', the blank at a screen's end, which
// comes back as a character outside the encoding (the client then keeps the
// job as incomplete).
TEST_F(HostSessions, CodePage273OnBothSidesAndAMismatch) {
  const std::string ends_in_blank = "a last byte that paints as a blank: @";
  Host({"--codepage", "cp273"});
  struct Case {
    std::string codepage;
    bool exact;
  };
  for (const Case& c : {Case{"german", true}, Case{"cp037", false}}) {
    SCOPED_TRACE(c.codepage);
    testing_support::write_file(spool + "/ALLBYTES", Sample("ALLBYTES"));
    testing_support::write_file(spool + "/BLANKEND", ends_in_blank);
    HllapiSession s(Line("codepage=" + c.codepage));
    ASSERT_EQ(0, s.connect()) << s.core().LastError();
    unsigned char status[18] = {'A'};
    ASSERT_EQ(0, s.call(22, status, 18));
    EXPECT_EQ(c.exact ? 273 : 37, status[15] | status[16] << 8) << "the session's code page";
    HllapiSession::Job all, blank;
    ASSERT_TRUE(s.take_job(&all)) << s.core().LastError();
    ASSERT_TRUE(s.take_job(&blank)) << s.core().LastError();
    EXPECT_TRUE(all.bytes == Sample("ALLBYTES"));
    EXPECT_EQ(c.exact, blank.bytes == ends_in_blank);
    EXPECT_EQ(c.exact, blank.bytes.find('\0') == std::string::npos);
  }
}

// An emulator the user runs (an interactive c3270 with a script port) is
// taken as it is: its model 5 screen and its code page.
TEST_F(HostSessions, AttachesToAnInteractiveC3270AsItIs) {
  if (!C3270Installed() || !TmuxInstalled()) GTEST_SKIP() << "c3270 or tmux is not installed";
  testing_support::write_file(spool + "/ALLBYTES", Sample("ALLBYTES"));
  Host({"--codepage", "cp273", "--model", "5"});
  TmuxSession tmux;
  ASSERT_TRUE(tmux.ok());
  const int port = testing_support::free_loopback_port();
  ASSERT_GT(port, 0);
  tmux.Start("c3270 -model 3279-5 -codepage cp273 -scriptport 127.0.0.1:" + std::to_string(port) +
                 " 127.0.0.1:" + std::to_string(host->port()),
             140, 36);
  ASSERT_TRUE(tmux.WaitFor("QORPRINT", 20)) << tmux.Capture();
  HllapiSession s("A script 127.0.0.1:" + std::to_string(port) + " timeout=10");
  ASSERT_EQ(0, s.connect()) << s.core().LastError();
  EXPECT_EQ(27 * 132, s.screen_size());
  HllapiSession::Job job;
  ASSERT_TRUE(s.take_job(&job)) << s.core().LastError();
  EXPECT_EQ(Sample("ALLBYTES"), job.bytes);
  EXPECT_EQ(0, s.call(2, "A", 0));
  EXPECT_TRUE(tmux.Running()) << "the user's emulator keeps running";
}

}  // namespace
