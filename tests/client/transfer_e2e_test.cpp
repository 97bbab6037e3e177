// The real qorprtt in a terminal taking jobs as a user would: from the
// default in-process adapter, and through qor32pcs and a real s3270 connected
// to qorhost, attended and unattended, and with a host that drops the
// connection or stalls mid-job.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "qorhost_process.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;

std::string Sample(const std::string& name) {
  return ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

// A job of many screens: numbered lines that hardly compress.
std::string LongJob() {
  std::string job;
  char line[96];
  for (int i = 0; i < 3000; ++i) {
    std::snprintf(line, sizeof line, "%05d ledger line %d, balance %d.%02d\r\n", i, i * 7919 % 10007,
                  i * 37 % 9973, i % 100);
    job += line;
  }
  return job;
}

bool Eventually(const std::function<bool()>& done, int seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class TransferTerminalTest : public ::testing::Test {
 protected:
  TempDir dir;
  TmuxSession tmux;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";

  void SetUp() override {
    if (system("command -v tmux >/dev/null") != 0) GTEST_SKIP() << "tmux is not installed";
    ASSERT_TRUE(tmux.ok());
    // The program directory: the client, its message file, the adapters it
    // loads by name and the provider library qor32pcs needs beside it.
    for (const char* f : {"qorprtt", "QORPRTW.QOR", "razevu3.so", "qor32pcs.so", "pcshll32.so"})
      fs::copy_file(std::string(QOR_BIN_DIR) + "/" + f, dir / f);
    WriteFile(dir / "QORPRTW.INI", "installed\n");
    fs::create_directory(downloads);
    fs::create_directory(spool);
  }
  void Registry(const std::string& values) {
    WriteFile(dir / "registry.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n" + values);
  }
  std::string download_arg;  // the download directory on the command line, downloads when empty
  void Start(const std::string& args = "") {
    fs::remove(dir / "status");
    tmux.Start("cd " + dir.path() + " && env QOR_REGISTRY=" + (dir / "registry.reg") +
               " QOR_SPOOL=" + spool + " QOR_SESSIONS=" + (dir / "sessions") + " ./qorprtt " + (download_arg.empty() ? downloads : download_arg) +
               " " + args + "; echo \\$? > status; sleep 60");
    ASSERT_TRUE(tmux.WaitFor("Exit  Transfer  Options  Help")) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitGone("QORPRINT for Windows (32 bit)")) << tmux.Capture();
  }
  void Exit() {
    tmux.Keys("C-x");
    EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "status") == "0\n"; }, 20)) << tmux.Capture();
  }
  // F6, the job dialog for ident, Enter; then the transfer window comes and goes.
  void TakeJobWithF6(const std::string& ident) {
    tmux.Keys("F6");
    ASSERT_TRUE(tmux.WaitFor("Print Job from the Host", 30)) << tmux.Capture();
    EXPECT_NE(tmux.Capture().find(ident), std::string::npos) << tmux.Capture();
    tmux.Keys("Enter");
  }
  std::unique_ptr<testing_support::QorhostProcess> StartHost(const std::vector<std::string>& options) {
    auto host = std::make_unique<testing_support::QorhostProcess>(spool, options, dir / "qorhost.log");
    WriteFile(dir / "sessions", "A s3270 127.0.0.1:" + std::to_string(host->port()) + "\n");
    return host;
  }
  void OpenLog() {
    tmux.Keys("M-t");
    ASSERT_TRUE(tmux.WaitFor("Transfer log...")) << tmux.Capture();
    tmux.Keys("l");
    ASSERT_TRUE(tmux.WaitFor("Delete log")) << tmux.Capture();
  }
};

TEST_F(TransferTerminalTest, F6TakesTheSampleJobFromTheDefaultAdapterToAFile) {
  WriteFile(spool + "/MONTHRPT", Sample("MONTHRPT"));
  Start();  // no registry at all: the default adapter and its in-process host
  TakeJobWithF6("MONTHRPT");
  ASSERT_TRUE(Eventually([&] { return ReadFile(downloads + "/MONTHRPT") == Sample("MONTHRPT"); }, 30))
      << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  OpenLog();
  EXPECT_NE(tmux.Capture().find(" JOB MONTHRPT"), std::string::npos) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find(downloads + "/MONTHRPT"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitGone("Delete log")) << tmux.Capture();
  Exit();
}

TEST_F(TransferTerminalTest, AnUnwritableDirectoryOrAFullDiskIsReported) {
  // /proc takes no new files, whoever asks: the job is refused before the host sends anything.
  WriteFile(spool + "/SHORT", Sample("SHORT"));
  download_arg = "/proc";
  Start();
  TakeJobWithF6("SHORT");
  ASSERT_TRUE(tmux.WaitFor("The output file cannot be created.")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("/proc/SHORT"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitGone("The output file cannot be created.")) << tmux.Capture();
  EXPECT_FALSE(fs::exists(spool + "/done/SHORT"));  // still waiting on the host
  Exit();

  // A disk that is full: the write fails, the user is told, the log says incomplete.
  fs::remove(spool + "/SHORT");
  WriteFile(spool + "/full", Sample("MONTHRPT"));
  download_arg = "/dev";
  Start();
  TakeJobWithF6("full");
  ASSERT_TRUE(tmux.WaitFor("Writing the output file failed")) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  OpenLog();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
}

TEST_F(TransferTerminalTest, F6TakesAJobThroughQor32pcsAndS3270) {
  if (system("command -v s3270 >/dev/null") != 0) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/ALLBYTES", Sample("ALLBYTES"));
  auto host = StartHost({});
  ASSERT_GT(host->port(), 0);
  Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"20\"\r\n");
  Start();
  TakeJobWithF6("ALLBYTES");
  ASSERT_TRUE(Eventually([&] { return ReadFile(downloads + "/ALLBYTES") == Sample("ALLBYTES"); }, 60))
      << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  EXPECT_TRUE(Eventually([&] { return fs::exists(spool + "/done/ALLBYTES"); }, 10));
  Exit();
}

TEST_F(TransferTerminalTest, UnattendedTakesTwoQueuedJobsThroughS3270) {
  if (system("command -v s3270 >/dev/null") != 0) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/MONTHRPT", Sample("MONTHRPT"));
  WriteFile(spool + "/SHORT", Sample("SHORT"));
  auto host = StartHost({"--delay-ms", "150"});  // slow enough to see the status line
  ASSERT_GT(host->port(), 0);
  Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"20\"\r\n");
  Start("/D");
  tmux.Keys("M-t");
  ASSERT_TRUE(tmux.WaitFor("Unattended operation...")) << tmux.Capture();
  tmux.Keys("u");
  ASSERT_TRUE(tmux.WaitFor("Unattended Operation")) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Unattended: waiting for the next job from the host")) << tmux.Capture();
  // A poll every 15 s: the first job within about 16 s, the second one 16 s later.
  EXPECT_TRUE(tmux.WaitFor("Receiving job QOR", 40)) << tmux.Capture();
  ASSERT_TRUE(Eventually(
      [&] {
        return ReadFile(downloads + "/MONTHRPT") == Sample("MONTHRPT") &&
               ReadFile(downloads + "/SHORT") == Sample("SHORT");
      },
      60))
      << tmux.Capture();
  EXPECT_TRUE(tmux.WaitFor("Unattended: waiting for the next job from the host", 30)) << tmux.Capture();
  Exit();  // EXIT while polling ends the program
  // The transfer window covers the status line while a job runs; the trace
  // keeps every status text in order.
  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  const std::string wait = "STATUS <>Unattended: waiting for the next job from the host";
  size_t first = trace.find("STATUS <>Unattended: receiving job QOR MONTHRPT");
  size_t second = trace.find("STATUS <>Unattended: receiving job QOR SHORT");
  ASSERT_NE(first, std::string::npos) << trace.substr(0, 2000);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(trace.find(wait), first);
  EXPECT_NE(trace.find(wait, first), std::string::npos);
  EXPECT_LT(trace.find(wait, first), second);
  EXPECT_NE(trace.find(wait, second), std::string::npos);
}

TEST_F(TransferTerminalTest, AHostThatDropsTheConnectionEndsTheJobWithWhatCame) {
  if (system("command -v s3270 >/dev/null") != 0) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/LEDGER", LongJob());
  auto host = StartHost({"--drop-after", "2"});
  ASSERT_GT(host->port(), 0);
  Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"3\"\r\n");
  Start();
  TakeJobWithF6("LEDGER");
  // The job ends by itself or after the user's Cancel, whichever the link allows.
  for (int i = 0; i < 6 && !tmux.WaitGone("Receiving a Print Job", 5); ++i) {
    std::string screen = tmux.Capture();
    if (screen.find("Timeout in LU2 loop") != std::string::npos) {
      tmux.Keys("Enter");  // the message
      ASSERT_TRUE(tmux.WaitGone("Timeout in LU2 loop")) << tmux.Capture();
      tmux.Keys("Enter");  // Cancel in the transfer window
    }
  }
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 30)) << tmux.Capture();
  std::string got = ReadFile(downloads + "/LEDGER");
  std::string job = LongJob();
  EXPECT_LT(got.size(), job.size());
  EXPECT_EQ(got, job.substr(0, got.size()));  // exactly what came, nothing invented
  OpenLog();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
}

TEST_F(TransferTerminalTest, AStalledHostIsCancelledAndTheJobEnds) {
  if (system("command -v s3270 >/dev/null") != 0) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/LEDGER", LongJob());
  auto host = StartHost({"--stall-after", "2"});
  ASSERT_GT(host->port(), 0);
  Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"3\"\r\n");
  Start();
  TakeJobWithF6("LEDGER");
  ASSERT_TRUE(tmux.WaitFor("Timeout in LU2 loop", 30)) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Receiving a Print Job")) << tmux.Capture();
  tmux.Keys("Enter");  // Cancel: PF3, which the stalled host does not answer either
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 30)) << tmux.Capture();
  std::string got = ReadFile(downloads + "/LEDGER");
  std::string job = LongJob();
  EXPECT_LT(got.size(), job.size());
  EXPECT_GT(got.size(), 0u);
  EXPECT_EQ(got, job.substr(0, got.size()));
  OpenLog();
  EXPECT_NE(tmux.Capture().find("Timeout in LU2 loop"), std::string::npos) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
}

}  // namespace
