// qorprtt as a service, installed into a scratch prefix and started from
// PATH: --unattended with no terminal writes stamped lines to standard error,
// and SIGTERM ends it cleanly: exit 0, the job under way kept as incomplete,
// no emulator left behind, the job taken whole next time, and nothing written
// into the installation.
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

// Every file of the tree with its size and modification time.
std::string Snapshot(const std::string& root) {
  std::string out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    out += e.path().string();
    if (e.is_regular_file())
      out += " " + std::to_string(e.file_size()) + " " +
             std::to_string(e.last_write_time().time_since_epoch().count());
    out += "\n";
  }
  return out;
}

class ServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new TempDir;
    std::string install = "cmake --install '" QOR_BUILD_DIR "' --prefix '" + prefix_->path() + "' >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    installed_ = Snapshot(prefix_->path());
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void TearDown() override { EXPECT_EQ(Snapshot(prefix_->path()), installed_) << "the installation was written to"; }

  static TempDir* prefix_;
  static std::string installed_;
  TempDir dir;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";

  void SetUp() override {
    fs::create_directory(downloads);
    fs::create_directory(spool);
  }
  // The installed client from PATH, as a user with a home of its own and
  // no terminal (standard input is a pipe).
  std::unique_ptr<Child> StartClient() {
    return std::make_unique<Child>(
        std::vector<std::string>{"env", "PATH=" + prefix_->path() + "/bin:" + std::getenv("PATH"),
                                 "HOME=" + (dir / "home"), "XDG_CONFIG_HOME=", "XDG_STATE_HOME=",
                                 "QOR_REGISTRY=", "QOR_SESSIONS=", "QOR_TRANSFER_LOG=", "QOR_EMULATOR_LOG=",
                                 "QOR_SPOOL=" + spool, "qorprtt", "--unattended", downloads},
        dir / "client.err");
  }
  std::string TransferLog() { return ReadFile(dir / "home/.local/state/qorprt/transfer.log"); }
  // The settings the configuration program would write for qor32pcs.
  void UseS3270(int port) {
    fs::create_directories(dir / "home/.config/qorprt");
    WriteFile(dir / "home/.config/qorprt/sessions", "A s3270 127.0.0.1:" + std::to_string(port) + "\n");
    WriteFile(dir / "home/.config/qorprt/registry.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n\"DLL\"=\"QOR32PCS.DLL\"\r\n"
              "\"TIMEOUT\"=\"20\"\r\n");
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
  // No settings at all: the default adapter's in-process host serves the spool.
  const std::string samples = std::string(QOR_SOURCE_DIR) + "/hostsim/samples/";
  const std::vector<std::string> jobs = {"MONTHRPT", "SHORT"};
  for (const std::string& job : jobs) WriteFile(spool + "/" + job, ReadFile(samples + job));
  auto client = StartClient();
  for (const std::string& job : jobs) {
    EXPECT_TRUE(eventually([&] { return ReadFile(downloads + "/" + job) == ReadFile(samples + job); }, 30000))
        << job << "\n" << Lines();
    EXPECT_TRUE(Says("log: Job QOR " + job + ",", 30)) << Lines();
    EXPECT_NE(TransferLog().find(" delivered to " + downloads + "/" + job + ":"), std::string::npos) << TransferLog();
  }
  EXPECT_NE(Lines().find(" start: Unattended operation into " + downloads), std::string::npos) << Lines();
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
  EXPECT_NE(Lines().find(" end: Stopped"), std::string::npos) << Lines();
  std::printf("idle client ended %lld ms after SIGTERM\n", elapsed);
}

TEST_F(ServiceTest, SigtermMidJobKeepsWhatCameAsIncompleteAndTheHostOffersItAgain) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string job = testing_support::ledger_job();
  WriteFile(spool + "/LEDGER", job);
  testing_support::QorhostProcess host(spool, {"--delay-ms", "100"}, dir / "qorhost.log");
  UseS3270(host.port());

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
  EXPECT_NE(TransferLog().find("incomplete: the client was stopped"), std::string::npos);

  // The host still holds the job: the next run takes it whole.
  client = StartClient();
  EXPECT_TRUE(eventually([&] { return ReadFile(downloads + "/LEDGER") == job; }, 120000)) << Lines();
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

TempDir* ServiceTest::prefix_ = nullptr;
std::string ServiceTest::installed_;

}  // namespace
