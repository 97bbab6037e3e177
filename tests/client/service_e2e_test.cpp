// qorprtt as a service: --unattended with no terminal writes stamped lines
// to standard error, and SIGTERM ends it cleanly: exit 0, the job under way
// kept as incomplete, no emulator left behind, the job taken whole next time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "qorhost_process.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

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

// The s3270 processes whose parent is pid.
std::vector<pid_t> EmulatorChildren(pid_t pid) {
  std::vector<pid_t> found;
  for (const auto& e : fs::directory_iterator("/proc")) {
    std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string stat = ReadFile(e.path().string() + "/stat");
    size_t close = stat.rfind(')');
    if (close == std::string::npos || stat.find("(s3270)") == std::string::npos) continue;
    int ppid = 0;
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == pid)
      found.push_back(static_cast<pid_t>(std::stol(name)));
  }
  return found;
}

bool Gone(pid_t pid) {
  std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close + 1, 3, " Z ") == 0;  // gone, or only a zombie
}

class ServiceTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";

  void SetUp() override {
    for (const char* f : {"qorprtt", "QORPRTW.QOR", "razevu3.so", "qor32pcs.so", "pcshll32.so"})
      fs::copy_file(BinDir() + "/" + f, dir / f);
    WriteFile(dir / "QORPRTW.INI", "installed\n");
    fs::create_directory(downloads);
    fs::create_directory(spool);
  }
  // The client with no terminal: standard input is a pipe.
  std::unique_ptr<Child> StartClient() {
    return std::make_unique<Child>(
        std::vector<std::string>{"env", "QOR_REGISTRY=" + (dir / "registry.reg"), "QOR_SPOOL=" + spool,
                                 "QOR_SESSIONS=" + (dir / "sessions"), "QOR_TRANSFER_LOG=" + (dir / "transfer.log"),
                                 "QOR_EMULATOR_LOG=" + (dir / "emulator.log"), dir / "qorprtt", "--unattended",
                                 downloads},
        dir / "client.err");
  }
  std::string Lines() { return ReadFile(dir / "client.err"); }
  bool Says(const std::string& text, int seconds) {
    return eventually([&] { return Lines().find(text) != std::string::npos; }, seconds * 1000);
  }
  // SIGTERM and the exit status; elapsed_ms gets how long the end took.
  int Terminate(Child& client, long long* elapsed_ms) {
    long long start = testing_support::monotonic_ms();
    ::kill(client.pid(), SIGTERM);
    int status = -1;
    EXPECT_TRUE(client.wait_exit(30000, &status)) << Lines();
    *elapsed_ms = testing_support::monotonic_ms() - start;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST_F(ServiceTest, TakesJobsWithoutATerminalAndEndsOnSigterm) {
  const std::string report = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  WriteFile(spool + "/MONTHRPT", report);  // no registry: the default adapter's in-process host
  auto client = StartClient();
  ASSERT_TRUE(eventually([&] { return ReadFile(downloads + "/MONTHRPT") == report; }, 30000)) << Lines();
  EXPECT_TRUE(Says("log: Job QOR MONTHRPT,00001 delivered to " + downloads + "/MONTHRPT", 30)) << Lines();
  EXPECT_NE(Lines().find(" start: Unattended operation into " + downloads), std::string::npos) << Lines();
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
  EXPECT_NE(Lines().find(" end: Stopped"), std::string::npos) << Lines();
  std::printf("idle client ended %lld ms after SIGTERM\n", elapsed);
}

TEST_F(ServiceTest, SigtermMidJobKeepsWhatCameAsIncompleteAndTheHostOffersItAgain) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string job = LongJob();
  WriteFile(spool + "/LEDGER", job);
  testing_support::QorhostProcess host(spool, {"--delay-ms", "100"}, dir / "qorhost.log");
  WriteFile(dir / "sessions", "A s3270 127.0.0.1:" + std::to_string(host.port()) + "\n");
  WriteFile(dir / "registry.reg",
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n\"DLL\"=\"QOR32PCS.DLL\"\r\n"
            "\"TIMEOUT\"=\"20\"\r\n");

  auto client = StartClient();
  // Part of the job has arrived (its part file has data) when the stop comes.
  auto part_has_data = [&] {
    for (const auto& e : fs::directory_iterator(downloads))
      if (e.path().filename().string().rfind(".LEDGER.", 0) == 0 && fs::file_size(e.path()) > 4000) return true;
    return false;
  };
  ASSERT_TRUE(eventually(part_has_data, 60000)) << Lines();
  std::vector<pid_t> emulators = EmulatorChildren(client->pid());
  EXPECT_EQ(emulators.size(), 1u);
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
  std::printf("client ended %lld ms after SIGTERM in the middle of a job\n", elapsed);
  for (pid_t pid : emulators) EXPECT_TRUE(Gone(pid)) << "s3270 " << pid << " is still running";

  std::string kept = ReadFile(downloads + "/LEDGER.incomplete");
  EXPECT_FALSE(kept.empty());
  EXPECT_LT(kept.size(), job.size());
  EXPECT_EQ(job.compare(0, kept.size(), kept), 0) << "what was kept is not the job's beginning";
  EXPECT_FALSE(fs::exists(downloads + "/LEDGER"));
  EXPECT_NE(Lines().find("incomplete: the client was stopped"), std::string::npos) << Lines();
  EXPECT_NE(ReadFile(dir / "transfer.log").find("incomplete: the client was stopped"), std::string::npos);

  // The host still holds the job: the next run takes it whole.
  client = StartClient();
  EXPECT_TRUE(eventually([&] { return ReadFile(downloads + "/LEDGER") == job; }, 120000)) << Lines();
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

}  // namespace
