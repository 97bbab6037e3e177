// qorprtt as a service, installed into a scratch prefix and started from
// PATH: --unattended with no terminal writes stamped lines to standard error,
// and SIGTERM ends it cleanly: exit 0, the job under way kept as incomplete,
// no emulator left behind, the job taken whole next time, and nothing written
// into the installation.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "qorhost_process.h"
#include "tests/emulator_children.h"
#include "tests/installed_client.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

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
    std::string install =
        "cmake --install '" QOR_BUILD_DIR "' --prefix '" + prefix_->path() + "' >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    installed_ = Snapshot(prefix_->path());
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void TearDown() override {
    EXPECT_EQ(Snapshot(prefix_->path()), installed_) << "the installation was written to";
  }

  static TempDir* prefix_;
  static std::string installed_;
  TempDir dir;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";
  testing_support::InstalledClient installed =
      testing_support::InstalledClient::InHome(dir / "home");

  void SetUp() override {
    fs::create_directory(downloads);
    fs::create_directory(spool);
  }
  // The installed client from PATH, as a user with a home of its own and
  // no terminal (standard input is a pipe); args follow "qorprtt".
  std::unique_ptr<Child> StartClient(std::vector<std::string> args = {},
                                     const std::string& spool_dir = "-") {
    if (args.empty()) args = {"--unattended", downloads};
    return StartInstalled("qorprtt", args, dir / "client.err", spool_dir);
  }
  std::unique_ptr<Child> StartInstalled(const std::string& program,
                                        const std::vector<std::string>& args,
                                        const std::string& err,
                                        const std::string& spool_dir = "-") {
    std::vector<std::string> argv = installed.Env();
    argv.insert(argv.begin(), {"env", "PATH=" + prefix_->path() + "/bin:" + std::getenv("PATH")});
    argv.insert(argv.end(), {"QOR_SPOOL=" + (spool_dir == "-" ? spool : spool_dir), program});
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<Child>(argv, err);
  }
  // The installed qorcnfig run to its end: its exit status, what it printed
  // in *out and on standard error in *err.
  int Configure(const std::vector<std::string>& args, std::string* out, std::string* err) {
    auto child = StartInstalled("qorcnfig", args, dir / "qorcnfig.err");
    out->clear();
    for (std::string line; child->read_line(&line, 30000);) *out += line + "\n";
    int status = -1;
    EXPECT_TRUE(child->wait_exit(30000, &status));
    *err = ReadFile(dir / "qorcnfig.err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string TransferLog() { return ReadFile(dir / "home/.local/state/qorprt/transfer.log"); }
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
  // No settings, but --demo: the default adapter's in-process host serves the spool.
  const std::string samples = std::string(QOR_SOURCE_DIR) + "/hostsim/samples/";
  const std::vector<std::string> jobs = {"MONTHRPT", "SHORT"};
  for (const std::string& job : jobs) WriteFile(spool + "/" + job, ReadFile(samples + job));
  auto client = StartClient({"--unattended", "--demo", downloads});
  for (const std::string& job : jobs) {
    EXPECT_TRUE(eventually(
        [&] { return ReadFile(downloads + "/" + job) == ReadFile(samples + job); }, 30000))
        << job << "\n"
        << Lines();
    EXPECT_TRUE(Says("log: Job QOR " + job + ",", 30)) << Lines();
    EXPECT_NE(TransferLog().find(" delivered to " + downloads + "/" + job + ":"), std::string::npos)
        << TransferLog();
  }
  EXPECT_NE(
      Lines().find(" start: Unattended operation into " + downloads +
                   " (poll every 15 s); adapter RAZEVU3.DLL, session A: built-in host serving " +
                   spool + "\n"),
      std::string::npos)
      << Lines();
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
  installed.UseS3270(host.port());

  auto client = StartClient();
  // Part of the job has arrived (its part file has data) when the stop comes.
  auto part_has_data = [&] {
    for (const auto& e : fs::directory_iterator(downloads))
      if (e.path().filename().string().rfind(".LEDGER.", 0) == 0 && fs::file_size(e.path()) > 4000)
        return true;
    return false;
  };
  ASSERT_TRUE(eventually(part_has_data, 60000)) << Lines();
  EXPECT_TRUE(Says("; adapter QOR32PCS.DLL, session A: A s3270 127.0.0.1:" +
                       std::to_string(host.port()) + " (" + installed.SessionsPath() + ")\n",
                   1))
      << Lines();
  std::vector<pid_t> emulators = EmulatorChildren(client->pid());
  EXPECT_EQ(emulators.size(), 1u);
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
  std::printf("client ended %lld ms after SIGTERM in the middle of a job\n", elapsed);
  for (pid_t pid : emulators)
    EXPECT_TRUE(ProcessGone(pid)) << "s3270 " << pid << " is still running";

  std::string kept = ReadFile(downloads + "/LEDGER.incomplete");
  EXPECT_FALSE(kept.empty());
  EXPECT_LT(kept.size(), job.size());
  EXPECT_EQ(job.compare(0, kept.size(), kept), 0) << "what was kept is not the job's beginning";
  EXPECT_FALSE(fs::exists(downloads + "/LEDGER"));
  EXPECT_NE(Lines().find("incomplete: the client was stopped"), std::string::npos) << Lines();
  EXPECT_NE(TransferLog().find("incomplete: the client was stopped"), std::string::npos);

  // The host still holds the job: the next run takes it whole.
  client = StartClient();
  EXPECT_TRUE(eventually([&] { return ReadFile(downloads + "/LEDGER") == job; }, 120000))
      << Lines();
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

// A configuration that cannot work ends the start at once with the status that
// stops a service manager restarting it and an error line naming what is wrong
// and where; nothing reaches the download directory. The settings that name
// the built-in host do start: its samples come once each, never again.
TEST_F(ServiceTest, AConfigurationThatCannotWorkIsRefusedAndTheBuiltInHostOnlyWhenNamed) {
  const std::string registry = installed.RegistryPath();
  const std::string long_dir = downloads + "/" + std::string(199 - downloads.size(), 'd');
  std::string utf16 = "\xff\xfe";
  for (char c : std::string("REGEDIT4\r\n")) utf16 += std::string{c, '\0'};
  std::string binary;
  for (int i = 0; i < 512; ++i) binary.push_back(static_cast<char>(i * 7));
  struct Case {
    const char* what;
    std::function<void()> set_up;
    std::vector<std::string> args;  // {} for --unattended DOWNLOADS
    int status;
    std::string line;  // expected on standard error
  };
  const std::string pcs = "\"DLL\"=\"QOR32PCS.DLL\"\r\n";
  const std::vector<Case> cases = {
      {"no settings",
       [] {},
       {},
       78,
       "error: No host is set up: " + registry +
           " does not exist (value DLL under [HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT])"},
      {"no adapter named",
       [&] { installed.Registry("\"TIMEOUT\"=\"20\"\r\n"); },
       {"--headless", downloads},
       78,
       "error: No host is set up: " + registry + " names no emulator adapter"},
      {"truncated",
       [&] { installed.Registry("\"DLL\"=\"QOR32P"); },
       {},
       78,
       "error: The settings cannot be used: " + registry +
           ": line 4: value data without closing quote."},
      {"binary",
       [&] {
         installed.Registry("");
         WriteFile(registry, binary);
       },
       {},
       78,
       registry + ": line 1: the file does not start with REGEDIT4"},
      {"empty",
       [&] {
         installed.Registry("");
         WriteFile(registry, "");
       },
       {},
       78,
       registry + ": line 1: the file is empty"},
      {"UTF-16",
       [&] {
         installed.Registry("");
         WriteFile(registry, utf16);
       },
       {},
       78,
       registry + ": line 1: the file does not start with REGEDIT4"},
      {"a directory",
       [&] { fs::create_directories(registry); },
       {},
       78,
       registry + ": cannot be read: Is a directory"},
      {"DLL over 63",
       [&] {
         installed.Registry("\"TIMEOUT\"=\"20\"\r\n\"DLL\"=\"" + std::string(64, 'Q') + "\"\r\n");
       },
       {},
       78,
       registry + ": line 5: the value DLL is 64 characters long; at most 63 fit"},
      {"SESPARMS over 255",
       [&] { installed.Registry(pcs + "\"SESPARMS\"=\"" + std::string(256, 'P') + "\"\r\n"); },
       {},
       78,
       registry + ": line 5: the value SESPARMS is 256 characters long; at most 255 fit"},
      {"attended, broken settings",
       [&] { installed.Registry("\"DLL\"=\"QOR32P"); },
       {downloads},
       78,
       "qorprtt: error: The settings cannot be used: " + registry + ": line 4:"},
      {"adapter not loadable",
       [&] { installed.Registry("\"DLL\"=\"NOSUCH.DLL\"\r\n"); },
       {},
       78,
       "error: The emulator adapter NOSUCH.DLL cannot be loaded: "},
      {"missing download directory",
       [&] {
         installed.Registry(pcs);
         fs::remove(downloads);
       },
       {},
       78,
       "error: The download directory " + downloads + " cannot be used: No such file or directory"},
      {"download directory is a file",
       [&] {
         installed.Registry(pcs);
         fs::remove(downloads);
         WriteFile(downloads, "");
       },
       {},
       78,
       "error: The download directory " + downloads + " cannot be used: it is not a directory"},
      {"download directory over 127",
       [&] {
         installed.Registry(pcs);
         fs::create_directories(long_dir);
       },
       {"--unattended", long_dir},
       64,
       "error: The download directory is 200 characters long; at most 127 fit: " + long_dir + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dir / "home");
    fs::remove_all(downloads);
    fs::create_directory(downloads);
    c.set_up();
    auto client = StartClient(c.args);
    int status = -1;
    ASSERT_TRUE(client->wait_exit(10000, &status)) << Lines();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << status << "\n" << Lines();
    EXPECT_NE(Lines().find(c.line), std::string::npos) << Lines();
    EXPECT_EQ(Lines().find(" start: "), std::string::npos) << Lines();
    if (fs::is_directory(downloads)) {
      EXPECT_TRUE(fs::is_empty(downloads) || c.status == 64)
          << "something was written to " << downloads;
    }
    std::printf("%s -> %d: %s", c.what, c.status, Lines().c_str());
  }
  ASSERT_TRUE(fs::is_empty(long_dir));
  fs::remove_all(long_dir);

  // Named in the settings, the built-in host serves the shipped samples, each once.
  fs::remove_all(dir / "home");
  installed.Registry("\"DLL\"=\"RAZEVU3.DLL\"\r\n");
  auto client = StartClient({"--headless", downloads}, "");
  std::vector<std::string> samples;
  for (const auto& e : fs::directory_iterator(std::string(QOR_SOURCE_DIR) + "/hostsim/samples"))
    samples.push_back(e.path().filename().string());
  auto all_delivered = [&] {
    for (const std::string& name : samples)
      if (!fs::exists(downloads + "/" + name)) return false;
    return true;
  };
  EXPECT_TRUE(eventually(all_delivered, 60000)) << Lines();
  EXPECT_TRUE(Says("adapter RAZEVU3.DLL, session A: built-in host (demonstration)", 1)) << Lines();
  // Served again, they would come back at once, numbered as name clashes.
  EXPECT_FALSE(
      eventually([&] { return fs::exists(downloads + "/" + samples.front() + ".1"); }, 5000));
  // Hidden files are the client's own (the shared directory's ledger).
  auto visible = [](const fs::directory_entry& e) {
    return e.path().filename().string()[0] != '.';
  };
  EXPECT_EQ(std::count_if(fs::directory_iterator(downloads), fs::directory_iterator(), visible),
            static_cast<std::ptrdiff_t>(samples.size()));
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

// The destination fails three ways while jobs wait on qorhost: the final
// name is a directory, the download directory is removed while a job is
// being taken, and a file-size limit cuts a job short. Each time the job
// stays in the spool (never in done/), what came is kept as incomplete, the
// fault is said once, and once its cause is gone the job, and one queued
// behind it, are delivered byte-exact by the same client.
TEST_F(ServiceTest, DestinationFaultsLeaveTheJobOnTheHostUntilItCanBeDelivered) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string samples = std::string(QOR_SOURCE_DIR) + "/hostsim/samples/";
  const std::string job = testing_support::ledger_job();
  const int kMargin = 60000;  // several 15-s poll periods
  auto queue = [&](const std::string& name, const std::string& bytes) {
    WriteFile(spool + "/." + name, bytes);
    fs::rename(spool + "/." + name, spool + "/" + name);
  };
  auto on_host = [&](const std::string& name) {
    return fs::exists(spool + "/" + name) && !fs::exists(spool + "/done/" + name);
  };
  auto lands = [&](const std::string& name, const std::string& bytes) {
    return eventually([&] { return ReadFile(downloads + "/" + name) == bytes; }, kMargin);
  };
  auto count = [&](const std::string& text) {
    std::string lines = Lines();
    size_t n = 0;
    for (size_t at = lines.find(text); at != std::string::npos; at = lines.find(text, at + 1)) ++n;
    return n;
  };
  // Until the client ignores it itself, a file-size limit must not kill it.
  struct sigaction ignore {
  }, old_action{};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &old_action), 0);
  testing_support::QorhostProcess host(spool, {"--delay-ms", "40", "--job-poll-ms", "200"},
                                       dir / "qorhost.log");
  installed.UseS3270(host.port());
  fs::create_directory(downloads + "/SHORT");
  queue("SHORT", ReadFile(samples + "SHORT"));
  auto client = StartClient();
  sigaction(SIGXFSZ, &old_action, nullptr);

  // 1. The final name is a directory: the rename fails.
  ASSERT_TRUE(
      Says("log: Jobs cannot be delivered: the file could not take its name " + downloads +
               "/SHORT: Is a directory; job QOR SHORT,00001 stays on the host, retrying every 15 s",
           60))
      << Lines();
  EXPECT_TRUE(on_host("SHORT"));
  EXPECT_EQ(ReadFile(downloads + "/SHORT.incomplete"), ReadFile(samples + "SHORT"));
  fs::remove(downloads + "/SHORT");
  EXPECT_TRUE(lands("SHORT", ReadFile(samples + "SHORT"))) << Lines();
  EXPECT_TRUE(Says("log: Jobs are delivered again (failing since ", 10)) << Lines();
  EXPECT_TRUE(eventually([&] { return fs::exists(spool + "/done/SHORT"); }, 10000));
  EXPECT_EQ(count("Jobs cannot be delivered"), 1u) << Lines();
  EXPECT_FALSE(fs::exists(downloads + "/SHORT.incomplete.1"));

  // 2. The download directory goes while a job is being taken, and comes back later.
  queue("LEDGER", job);
  auto part_grows = [&] {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(downloads, ec))
      if (e.path().filename().string().rfind(".LEDGER.", 0) == 0 && e.file_size(ec) > 8000)
        return true;
    return false;
  };
  ASSERT_TRUE(eventually(part_grows, 60000)) << Lines();
  fs::remove_all(downloads);
  ASSERT_TRUE(Says("job QOR LEDGER,00002 stays on the host", 60)) << Lines();
  EXPECT_TRUE(on_host("LEDGER"));
  fs::create_directory(downloads);
  EXPECT_TRUE(lands("LEDGER", job)) << Lines();
  EXPECT_TRUE(eventually([&] { return fs::exists(spool + "/done/LEDGER"); }, 10000));
  EXPECT_TRUE(eventually([&] { return count("Jobs are delivered again") == 2; }, 10000)) << Lines();
  EXPECT_EQ(count("Jobs cannot be delivered"), 2u) << Lines();

  // 3. A file-size limit (as a full disk) cuts a job short; a job queued
  //    later waits behind it, and both come once the limit is lifted.
  struct rlimit limit {
  }, lifted{};
  ASSERT_EQ(prlimit(client->pid(), RLIMIT_FSIZE, nullptr, &lifted), 0);
  limit = lifted;
  limit.rlim_cur = 40000;
  ASSERT_LT(fs::file_size(dir / "client.err"), 30000u)
      << "its standard error would hit the limit too";
  ASSERT_EQ(prlimit(client->pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
  queue("LIMITED", job);
  ASSERT_TRUE(Says(
      "log: Jobs cannot be delivered: writing " + downloads + "/LIMITED failed: File too large",
      60))
      << Lines();
  queue("NEXTJOB", ReadFile(samples + "MONTHRPT"));  // after LIMITED in the spool's order
  EXPECT_TRUE(on_host("LIMITED"));
  std::string kept = ReadFile(downloads + "/LIMITED.incomplete");
  EXPECT_EQ(kept.size(), 40000u);
  EXPECT_EQ(job.compare(0, kept.size(), kept), 0) << "what was kept is not the job's beginning";
  ASSERT_EQ(prlimit(client->pid(), RLIMIT_FSIZE, &lifted, nullptr), 0);
  EXPECT_TRUE(lands("LIMITED", job)) << Lines();
  EXPECT_TRUE(lands("NEXTJOB", ReadFile(samples + "MONTHRPT"))) << Lines();
  EXPECT_EQ(count("Jobs cannot be delivered"), 3u) << Lines();
  EXPECT_FALSE(fs::exists(downloads + "/LIMITED.incomplete.1"));
  // The host filed each job once, and only after it was delivered (the
  // acknowledgement follows the file's arrival by a moment).
  for (const char* name : {"LIMITED", "NEXTJOB"})
    EXPECT_TRUE(eventually([&] { return fs::exists(spool + "/done/" + name); }, 10000)) << name;
  std::set<std::string> done;
  for (const auto& e : fs::directory_iterator(spool + "/done"))
    done.insert(e.path().filename().string());
  EXPECT_EQ(done, (std::set<std::string>{"LEDGER", "LIMITED", "NEXTJOB", "SHORT"}));
  EXPECT_FALSE(fs::exists(spool + "/failed"));
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

// A job that comes damaged every time is set aside after three tries: the
// host files it in failed/, one incomplete copy stays, a line says it needs
// attention, and the job behind it is delivered.
TEST_F(ServiceTest, AJobThatAlwaysFailsIsSetAsideAndTheQueueMovesOn) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string samples = std::string(QOR_SOURCE_DIR) + "/hostsim/samples/";
  WriteFile(spool + "/BADJOB", ReadFile(samples + "MONTHRPT"));
  WriteFile(spool + "/GOODJOB", ReadFile(samples + "SHORT"));
  testing_support::QorhostProcess host(spool, {"--garbage-job", "BADJOB"}, dir / "qorhost.log");
  installed.UseS3270(host.port());
  auto client = StartClient();
  EXPECT_TRUE(eventually(
      [&] { return ReadFile(downloads + "/GOODJOB") == ReadFile(samples + "SHORT"); }, 120000))
      << Lines();
  EXPECT_TRUE(
      Says("log: Job QOR BADJOB,00001 needs attention: it ended incomplete 3 times in a row (", 10))
      << Lines();
  EXPECT_NE(Lines().find("; what came last is kept as " + downloads +
                         "/BADJOB.incomplete; the job is set aside with the host's Cancel"),
            std::string::npos)
      << Lines();
  EXPECT_TRUE(Says("log: Job QOR BADJOB,00001 set aside: cancelled on the host", 10)) << Lines();
  EXPECT_TRUE(eventually([&] { return fs::exists(spool + "/failed/BADJOB"); }, 10000));
  EXPECT_FALSE(fs::exists(spool + "/done/BADJOB"));
  // The host files a job in done/ when the acknowledgement comes, just after delivery.
  EXPECT_TRUE(eventually([&] { return fs::exists(spool + "/done/GOODJOB"); }, 10000));
  EXPECT_TRUE(fs::exists(downloads + "/BADJOB.incomplete"));
  EXPECT_FALSE(fs::exists(downloads + "/BADJOB.incomplete.1"));
  EXPECT_FALSE(fs::exists(downloads + "/BADJOB"));
  EXPECT_NE(ReadFile(dir / "qorhost.log").find("job BADJOB,00001 cancelled: moved to failed/"),
            std::string::npos);
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
}

TempDir* ServiceTest::prefix_ = nullptr;
std::string ServiceTest::installed_;

}  // namespace

// A service user set up from the command line alone, in a directory of its
// own as /etc/qorprt would be: qorcnfig writes the adapter and the session,
// its check names the cause when the session cannot be opened and reports the
// host's screen when it can, and the headless client reading that directory
// (the service's command line) takes the host's job, tracing as asked.
TEST_F(ServiceTest, ConfiguredFromTheCommandLineInADirectoryOfItsOwn) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  const std::string job = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/SHORT");
  WriteFile(spool + "/SHORT", job);
  testing_support::QorhostProcess host(spool, {}, dir / "qorhost.log");
  const std::string config = dir / "etc";
  const auto session = [](int port) { return "A s3270 127.0.0.1:" + std::to_string(port); };
  std::string out, err;
  const int closed = testing_support::free_loopback_port();
  ASSERT_EQ(
      Configure({"--config", config, "--adapter", "QOR32PCS.DLL", "--session", session(closed)},
                &out, &err),
      0)
      << out << err;
  EXPECT_NE(out.find("adapter QOR32PCS.DLL written to " + config + "/registry.reg"),
            std::string::npos)
      << out;
  EXPECT_EQ(Configure({"--config", config, "--check"}, &out, &err), 1) << out << err;
  EXPECT_NE(err.find("check failed: session A through QOR32PCS.DLL: "), std::string::npos) << err;
  EXPECT_NE(err.find("Connection refused"), std::string::npos) << err;

  ASSERT_EQ(
      Configure({"--config", config, "--session", session(host.port()), "--check"}, &out, &err), 0)
      << out << err;
  EXPECT_NE(out.find("session A through QOR32PCS.DLL: host screen 24 x 80, code page 37"),
            std::string::npos)
      << out;
  EXPECT_EQ(ReadFile(config + "/sessions"), session(host.port()) + "\n");
  EXPECT_FALSE(fs::exists(dir / "home/.config/qorprt")) << "the per-user settings were written";
  // An administrator writes them; the service's own user must be able to read them.
  for (const std::string& path : {config, config + "/registry.reg", config + "/sessions"})
    EXPECT_NE(fs::status(path).permissions() & fs::perms::others_read, fs::perms::none) << path;

  const std::string trace = dir / "trace.log";
  auto client = StartClient({"--headless", "--config", config, "--trace", trace, downloads});
  EXPECT_TRUE(eventually([&] { return ReadFile(downloads + "/SHORT") == job; }, 60000)) << Lines();
  EXPECT_TRUE(Says("session A: " + session(host.port()) + " (" + config + "/sessions)", 1))
      << Lines();
  long long elapsed = 0;
  EXPECT_EQ(Terminate(*client, &elapsed), 0) << Lines();
  EXPECT_NE(ReadFile(trace).find(" CONNECT <>LU2 session=A timeout=30 DLL=QOR32PCS.DLL"),
            std::string::npos);
}
