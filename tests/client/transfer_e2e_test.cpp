// The real qorprtt in a terminal taking jobs as a user would: from the
// default in-process adapter, and through qor32pcs and a real s3270 connected
// to qorhost, attended and unattended, and with a host that drops the
// connection, stalls, restarts or garbles a screen, and an emulator that dies.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "qorhost_process.h"
#include "tests/installed_client.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;

std::string Sample(const std::string& name) {
  return ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

std::vector<std::string> Split(const std::string& lines) {
  std::vector<std::string> out;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

class TransferTerminalTest : public ::testing::Test {
 protected:
  TempDir dir;
  TmuxSession tmux;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";
  testing_support::InstalledClient installed{dir.path()};

  void SetUp() override {
    if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
    ASSERT_TRUE(tmux.ok());
    // The program directory: the client, its message file, the adapters it
    // loads by name and the provider library qor32pcs needs beside it.
    installed.Install({"razevu3.so", "qor32pcs.so", "pcshll32.so"});
    fs::create_directory(downloads);
    fs::create_directory(spool);
  }
  std::string download_arg;  // the download directory on the command line, downloads when empty
  std::string shell_prefix;  // shell commands run before the client
  void Start(const std::string& args = "") {
    fs::remove(dir / "status");
    tmux.Start("cd " + dir.path() + " && " + shell_prefix + " env " + installed.ShellEnv() +
               " QOR_SPOOL=" + spool + " ./qorprtt " +
               (download_arg.empty() ? downloads : download_arg) + " " + args +
               "; echo \\$? > status; sleep 60");
    ASSERT_TRUE(tmux.WaitFor("Exit  Transfer  Options  Help")) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitGone("QORPRINT for Linux")) << tmux.Capture();
  }
  void Exit() {
    tmux.Keys("C-x");
    EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "status") == "0\n"; }, 20))
        << tmux.Capture();
  }
  // F6, the job dialog for ident, Enter; then the transfer window comes and goes.
  void TakeJobWithF6(const std::string& ident) {
    tmux.Keys("F6");
    ASSERT_TRUE(tmux.WaitFor("Print Job from the Host", 30)) << tmux.Capture();
    EXPECT_NE(tmux.Capture().find(ident), std::string::npos) << tmux.Capture();
    tmux.Keys("Enter");
  }
  std::unique_ptr<testing_support::QorhostProcess> StartHost(
      const std::vector<std::string>& options) {
    auto host =
        std::make_unique<testing_support::QorhostProcess>(spool, options, dir / "qorhost.log");
    installed.Sessions("A s3270 127.0.0.1:" + std::to_string(host->port()) + "\n");
    return host;
  }
  // A job arrives in the spool whole, as qorhost wants it.
  void Queue(const std::string& name, const std::string& bytes) {
    WriteFile(spool + "/." + name, bytes);
    fs::rename(spool + "/." + name, spool + "/" + name);
  }
  bool Lands(const std::string& name, const std::string& bytes, int seconds) {
    return Eventually([&] { return ReadFile(downloads + "/" + name) == bytes; }, seconds);
  }
  void StartUnattended() {
    tmux.Keys("M-t");
    ASSERT_TRUE(tmux.WaitFor("Unattended operation...")) << tmux.Capture();
    tmux.Keys("u");
    ASSERT_TRUE(tmux.WaitFor("Unattended Operation")) << tmux.Capture();
    tmux.Keys("Enter");
    ASSERT_TRUE(tmux.WaitFor("Unattended: waiting for the next job from the host"))
        << tmux.Capture();
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
  EXPECT_TRUE(tmux.WaitFor("F6 takes the waiting job")) << tmux.Capture();
  TakeJobWithF6("MONTHRPT");
  ASSERT_TRUE(
      Eventually([&] { return ReadFile(downloads + "/MONTHRPT") == Sample("MONTHRPT"); }, 30))
      << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  // The main window says what became of the job.
  EXPECT_TRUE(tmux.WaitFor("QOR MONTHRPT,00001: 15812 bytes, 220 lines, 4 pages to MONTHRPT"))
      << tmux.Capture();
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

  // A disk that fills up (a file-size limit of 8 KB): the write fails, the
  // user is told, the log says incomplete, and no file takes the job's name.
  fs::remove(spool + "/SHORT");
  WriteFile(spool + "/MONTHRPT", Sample("MONTHRPT"));
  download_arg.clear();
  shell_prefix = "trap '' XFSZ; ulimit -f 8;";
  Start();
  TakeJobWithF6("MONTHRPT");
  ASSERT_TRUE(tmux.WaitFor("Writing the output file failed")) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  OpenLog();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
  EXPECT_FALSE(fs::exists(downloads + "/MONTHRPT"));
  EXPECT_EQ(ReadFile(downloads + "/MONTHRPT.incomplete"), Sample("MONTHRPT").substr(0, 8192));
}

TEST_F(TransferTerminalTest, F6TakesAJobThroughQor32pcsAndS3270) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/ALLBYTES", Sample("ALLBYTES"));
  auto host = StartHost({});
  ASSERT_GT(host->port(), 0);
  installed.Registry(installed.kQor32pcsValues);
  Start();
  TakeJobWithF6("ALLBYTES");
  ASSERT_TRUE(
      Eventually([&] { return ReadFile(downloads + "/ALLBYTES") == Sample("ALLBYTES"); }, 60))
      << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  EXPECT_TRUE(Eventually([&] { return fs::exists(spool + "/done/ALLBYTES"); }, 10));

  // The host restarts between two jobs: the next F6 opens a new session.
  const int port = host->port();
  host.reset();
  host = std::make_unique<testing_support::QorhostProcess>(
      spool, std::vector<std::string>{"--port", std::to_string(port)}, dir / "qorhost.log");
  ASSERT_EQ(host->port(), port);
  Queue("SHORT", Sample("SHORT"));
  TakeJobWithF6("SHORT");
  EXPECT_TRUE(Lands("SHORT", Sample("SHORT"), 60)) << tmux.Capture();
  Exit();
}

TEST_F(TransferTerminalTest, UnattendedTakesTwoQueuedJobsThroughS3270) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/MONTHRPT", Sample("MONTHRPT"));
  WriteFile(spool + "/SHORT", Sample("SHORT"));
  auto host = StartHost({"--delay-ms", "150"});  // slow enough to see the status line
  ASSERT_GT(host->port(), 0);
  installed.Registry(installed.kQor32pcsValues);
  Start("/D");
  StartUnattended();
  EXPECT_TRUE(tmux.WaitFor("Receiving job QOR", 40)) << tmux.Capture();
  ASSERT_TRUE(Eventually(
      [&] {
        return ReadFile(downloads + "/MONTHRPT") == Sample("MONTHRPT") &&
               ReadFile(downloads + "/SHORT") == Sample("SHORT");
      },
      60))
      << tmux.Capture();
  EXPECT_TRUE(tmux.WaitFor("Unattended: waiting for the next job from the host", 30))
      << tmux.Capture();
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

// A host on code page 273: a session on the same page delivers every byte
// value exactly; a session left on 037 reads the blank that ends a screen as
// a character outside the encoding, and that job is kept as incomplete, never
// under its name.
TEST_F(TransferTerminalTest, ACodePageOnBothSidesDeliversExactlyAndAMismatchNeverDeliversDamage) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string blank_end = "a job whose last byte paints as a blank: @";
  auto host = StartHost({"--codepage", "cp273"});
  ASSERT_GT(host->port(), 0);
  installed.Registry(installed.kQor32pcsValues);
  for (const char* codepage : {"cp273", "cp037"}) {
    SCOPED_TRACE(codepage);
    const bool same = std::string(codepage) == "cp273";
    const std::string name = same ? "ALLBYTES" : "BLANKEND";
    installed.Sessions("A s3270 127.0.0.1:" + std::to_string(host->port()) +
                       " codepage=" + codepage + "\n");
    Queue(name, same ? Sample("ALLBYTES") : blank_end);
    Start();
    TakeJobWithF6(name);
    if (!same) {
      ASSERT_TRUE(tmux.WaitFor("a screen held characters outside the encoding", 60))
          << tmux.Capture();
      tmux.Keys("Enter");
    }
    ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 60)) << tmux.Capture();
    if (same) {
      EXPECT_TRUE(Lands(name, Sample("ALLBYTES"), 30)) << tmux.Capture();
    } else {
      EXPECT_TRUE(
          Eventually([&] { return fs::exists(downloads + "/" + name + ".incomplete"); }, 30))
          << tmux.Capture();
      EXPECT_FALSE(fs::exists(downloads + "/" + name));
    }
    Exit();
  }
}

TEST_F(TransferTerminalTest, AHostThatDropsTheConnectionEndsTheJobWithWhatCame) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/LEDGER", testing_support::ledger_job());
  auto host = StartHost({"--drop-after", "2"});
  ASSERT_GT(host->port(), 0);
  installed.Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"3\"\r\n");
  Start();
  TakeJobWithF6("LEDGER");
  // The lost session ends the job at once, and the user is told.
  ASSERT_TRUE(tmux.WaitFor("the host session was lost", 60)) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 30)) << tmux.Capture();
  std::string got = ReadFile(downloads + "/LEDGER.incomplete");
  std::string job = testing_support::ledger_job();
  EXPECT_GT(got.size(), 0u);
  EXPECT_LT(got.size(), job.size());
  EXPECT_EQ(got, job.substr(0, got.size()));  // exactly what came, nothing invented
  EXPECT_FALSE(fs::exists(downloads + "/LEDGER"));
  OpenLog();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
}

TEST_F(TransferTerminalTest, AStalledHostIsCancelledAndTheJobEnds) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  WriteFile(spool + "/LEDGER", testing_support::ledger_job());
  auto host = StartHost({"--stall-after", "2"});
  ASSERT_GT(host->port(), 0);
  installed.Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"3\"\r\n");
  Start();
  TakeJobWithF6("LEDGER");
  ASSERT_TRUE(tmux.WaitFor("Timeout in LU2 loop", 30)) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("Receiving a Print Job")) << tmux.Capture();
  tmux.Keys("Enter");  // Cancel: PF3, which the stalled host does not answer either
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 30)) << tmux.Capture();
  EXPECT_FALSE(fs::exists(downloads + "/LEDGER"));
  std::string got = ReadFile(downloads + "/LEDGER.incomplete");
  std::string job = testing_support::ledger_job();
  EXPECT_LT(got.size(), job.size());
  EXPECT_GT(got.size(), 0u);
  EXPECT_EQ(got, job.substr(0, got.size()));
  OpenLog();
  EXPECT_NE(tmux.Capture().find("Timeout in LU2 loop"), std::string::npos) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("incomplete"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  Exit();
}

// Unattended through s3270 and qorhost, left alone through what hosts and
// emulators do: restarts and deaths while idle and mid-job, a garbled screen,
// two jobs for one file name. Every job ends delivered byte-exact under its
// name, or kept as NAME.incomplete with its reason; none is lost.
TEST_F(TransferTerminalTest, UnattendedSurvivesOutagesAndNeverHidesADamagedJob) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  auto host = StartHost({"--job-poll-ms", "200"});
  const int port = host->port();
  ASSERT_GT(port, 0);
  auto restart_host = [&](std::vector<std::string> options) {
    host.reset();
    options.insert(options.end(), {"--job-poll-ms", "200", "--port", std::to_string(port)});
    host = std::make_unique<testing_support::QorhostProcess>(spool, options, dir / "qorhost.log");
    ASSERT_EQ(host->port(), port);
  };
  auto kill_emulator = [&] {  // the s3270 of this test's client, found by its directory
    std::string client;
    for (const std::string& pid : Split(Shell("pgrep -x qorprtt"))) {
      std::error_code ec;
      fs::path cwd = fs::read_symlink("/proc/" + pid + "/cwd", ec);  // moves to the downloads
      if (cwd == fs::path(dir.path()) || cwd == fs::path(downloads)) client = pid;
    }
    ASSERT_FALSE(client.empty());
    ASSERT_EQ(system(("pkill -KILL -P " + client + " s3270").c_str()), 0);
  };
  // A slow job is written under a hidden name; its own name appears only
  // once it is whole. True once a good part of it has come.
  auto part_grows = [&](const std::string& name) {
    return Eventually(
        [&] {
          for (auto& e : fs::directory_iterator(downloads))
            if (e.path().filename().string().rfind("." + name + ".", 0) == 0 &&
                e.file_size() > 10000)
              return true;
          return false;
        },
        60);
  };
  installed.Registry("\"DLL\"=\"QOR32PCS.DLL\"\r\n\"TIMEOUT\"=\"10\"\r\n");
  Start("/D");
  StartUnattended();
  const int kMargin = 90;  // well above the 15 s between retries

  restart_host({});  // idle
  Queue("RESTART", Sample("SHORT"));
  EXPECT_TRUE(Lands("RESTART", Sample("SHORT"), kMargin)) << tmux.Capture();
  kill_emulator();  // idle
  Queue("KILLED", Sample("RULERS"));
  EXPECT_TRUE(Lands("KILLED", Sample("RULERS"), kMargin)) << tmux.Capture();

  // Mid-job: the cut job is kept as incomplete, stays in the spool, comes
  // again and lands whole.
  restart_host({"--delay-ms", "20"});
  Queue("CUTHOST", testing_support::ledger_job());
  ASSERT_TRUE(part_grows("CUTHOST"));
  EXPECT_FALSE(fs::exists(downloads + "/CUTHOST"));
  restart_host({"--delay-ms", "20"});
  EXPECT_TRUE(Lands("CUTHOST", testing_support::ledger_job(), kMargin)) << tmux.Capture();
  Queue("CUTEMU", testing_support::ledger_job());
  ASSERT_TRUE(part_grows("CUTEMU"));
  EXPECT_FALSE(fs::exists(downloads + "/CUTEMU"));
  kill_emulator();
  EXPECT_TRUE(Lands("CUTEMU", testing_support::ledger_job(), kMargin)) << tmux.Capture();
  for (const char* cut : {"CUTHOST", "CUTEMU"}) {
    std::string kept = ReadFile(downloads + "/" + cut + ".incomplete");
    EXPECT_GT(kept.size(), 0u) << cut;
    EXPECT_LT(kept.size(), testing_support::ledger_job().size()) << cut;
    EXPECT_EQ(kept, testing_support::ledger_job().substr(0, kept.size())) << cut;
  }

  // A garbled screen: the job is caught, nothing takes its name.
  restart_host({"--garbage-at", "3"});
  Queue("MONTHRPT", Sample("MONTHRPT"));
  EXPECT_TRUE(Eventually([&] { return fs::exists(downloads + "/MONTHRPT.incomplete"); }, kMargin));
  // Two idents, one file name: both files, neither replaces the other.
  Queue("PAIR.B", "first of the pair\r\n");
  Queue("PAIR.C", "second of the pair\r\n");
  EXPECT_TRUE(Lands("PAIR.1", "second of the pair\r\n", kMargin)) << tmux.Capture();
  EXPECT_EQ(ReadFile(downloads + "/PAIR"), "first of the pair\r\n");
  EXPECT_FALSE(fs::exists(downloads + "/MONTHRPT"));
  // It comes garbled in every session: after three tries it is set aside on the host.
  EXPECT_TRUE(Eventually([&] { return fs::exists(spool + "/failed/MONTHRPT"); }, kMargin));
  EXPECT_FALSE(fs::exists(spool + "/done/MONTHRPT"));
  EXPECT_FALSE(fs::exists(downloads + "/MONTHRPT.incomplete.1"));
  Exit();

  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  EXPECT_NE(trace.find("Job QOR MONTHRPT,"), std::string::npos);
  EXPECT_NE(
      trace.find(
          "incomplete: a screen held characters outside the encoding; 188 of 220 lines received"),
      std::string::npos);
  EXPECT_NE(trace.find("Job QOR CUTHOST,"), std::string::npos);
  EXPECT_NE(trace.find("incomplete: the host session was lost"), std::string::npos);
  EXPECT_NE(trace.find("STATUS <>Unattended: host session lost at"), std::string::npos);

  // The log on disk holds every entry whole and each job's outcome with its counts.
  std::string log = ReadFile(dir / "transfer.log");
  EXPECT_NE(log.find("Host session lost at"), std::string::npos) << log;
  EXPECT_NE(log.find("Host session back at"), std::string::npos) << log;
  EXPECT_NE(log.find(" delivered to " + downloads + "/CUTHOST: "), std::string::npos) << log;
  EXPECT_NE(
      log.find(
          "incomplete: a screen held characters outside the encoding; 188 of 220 lines received; "
          "13489 bytes kept as " +
          downloads + "/MONTHRPT.incomplete"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find(" delivered to " + downloads + "/PAIR.1: 20 characters, 1 lines, 0 pages"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("needs attention: it ended incomplete 3 times in a row (a screen held "
                     "characters outside"),
            std::string::npos)
      << log;
}

}  // namespace
