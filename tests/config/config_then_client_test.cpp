// A user sets the machine up with qorcnfig and then takes a job with qorprtt,
// both real programs in a terminal: qorcnfig chooses the QOR32PCS adapter and
// points session A at a host over s3270; the client then loads that adapter,
// starts s3270, reaches qorhost and downloads the job unchanged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "qorhost_process.h"
#include "tests/installed_client.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;

const std::string kJob = "ALLBYTES";

std::string Sample() { return ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + kJob); }

// Established TCP connections to the loopback port (-1 when ss is missing).
int ConnectionsTo(int port) {
  if (!Installed("ss")) return -1;
  std::string out = Shell("ss -Htn state established '( dport = :" + std::to_string(port) + " )'");
  int lines = 0;
  for (char c : out) lines += c == '\n';
  return lines;
}

TEST(ConfigThenClient, QorcnfigChoosesQor32pcsAndTheClientTakesAJobThroughS3270) {
  if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  TempDir dir;
  TmuxSession tmux;
  ASSERT_TRUE(tmux.ok());
  const std::string run = dir / "run", spool = dir / "spool", downloads = dir / "downloads";
  testing_support::InstalledClient installed(run, dir.path());
  const std::string registry = installed.RegistryPath(), sessions = installed.SessionsPath();
  // The installed client's directory, where qorcnfig is started: the client,
  // its message file, the adapters and the provider library.
  for (const std::string& d : {run, spool, downloads}) ASSERT_TRUE(fs::create_directory(d));
  installed.Install({"razevu3.so", "qor32pcs.so", "pcshll32.so"});
  ASSERT_TRUE(WriteChecked(spool + "/" + kJob, Sample()));
  // Session A used the built-in host until now; session B is someone else's.
  ASSERT_TRUE(WriteChecked(sessions, "A sim /old/spool\nB script 127.0.0.1:4999\n"));

  auto host = std::make_unique<testing_support::QorhostProcess>(spool, std::vector<std::string>{},
                                                                dir / "qorhost.log");
  ASSERT_GT(host->port(), 0) << ReadFile(dir / "qorhost.log");
  const std::string where = "127.0.0.1:" + std::to_string(host->port());
  const char* path = std::getenv("PATH");
  const std::string env = "env TERM=" + PaneTerm() + " " + installed.ShellEnv() +
                          " PATH=" + (path ? path : "/usr/bin:/bin");

  // qorcnfig: the QOR32PCS entry, confirmed, then session A's line.
  tmux.Start(env + " " + QOR_BIN_DIR + "/qorcnfig; echo qorcnfig-exit=\\$?; sleep 60", 100, 30,
             run);
  ASSERT_TRUE(tmux.WaitFor("QOR Settings Configurator")) << tmux.Capture();
  tmux.Keys("Down");
  ASSERT_TRUE(tmux.WaitFor("QOR32PCS.DLL")) << tmux.Capture();
  EXPECT_NE(tmux.Row("Use DLL:").find("QOR32PCS.DLL"), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(tmux.WaitFor("O.K. to proceed?")) << tmux.Capture();
  tmux.Keys("Enter");  // YES
  ASSERT_TRUE(tmux.WaitFor("Session A is")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("Now:  A sim /old/spool"), std::string::npos) << tmux.Capture();
  for (size_t i = 0; i < std::string("/old/spool").size(); ++i) tmux.Keys("BSpace");
  tmux.Type(where);
  tmux.Keys("M-3");  // s3270
  ASSERT_TRUE(tmux.WaitFor("(\u2022) s3270")) << tmux.Capture();
  tmux.Keys("Enter");  // Write
  ASSERT_TRUE(tmux.WaitFor("Settings written to " + registry)) << tmux.Capture();
  std::string reg = ReadFile(registry);
  EXPECT_NE(reg.find("\"DLL\"=\"QOR32PCS.DLL\""), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"SESPARMS\"=\"NORESET\""), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"STRUCTUREDFIELDS\"=\"No\""), std::string::npos) << reg;
  std::string lines = ReadFile(sessions);
  EXPECT_NE(lines.find("A s3270 " + where + "\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("B script 127.0.0.1:4999\n"), std::string::npos) << lines;
  EXPECT_EQ(lines.find("A sim"), std::string::npos) << lines;
  tmux.Keys("C-x");
  ASSERT_TRUE(tmux.WaitFor("qorcnfig-exit=11")) << tmux.Capture();

  // qorprtt with its trace: F6, Enter, and the job lands in the directory.
  tmux.Start("cd " + run + " && " + env + " ./qorprtt " + downloads +
             " /D; echo \\$? > status; sleep 60");
  ASSERT_TRUE(tmux.WaitFor("Exit  Transfer  Options  Help")) << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("QORPRINT for Linux")) << tmux.Capture();
  tmux.Keys("F6");
  ASSERT_TRUE(tmux.WaitFor("Print Job from the Host", 30)) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find(kJob), std::string::npos) << tmux.Capture();
  tmux.Keys("Enter");
  ASSERT_TRUE(Eventually([&] { return ReadFile(downloads + "/" + kJob) == Sample(); }, 30))
      << tmux.Capture();
  ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job")) << tmux.Capture();
  EXPECT_TRUE(Eventually([&] { return fs::exists(spool + "/done/" + kJob); }, 10));
  tmux.Keys("C-x");
  EXPECT_TRUE(Eventually([&] { return ReadFile(run + "/status") == "0\n"; }, 20)) << tmux.Capture();
  std::string trace = ReadFile(run + "/QORPRTW.TRC");
  EXPECT_NE(trace.find(" CONNECT <>LU2 session=A timeout=30 DLL=QOR32PCS.DLL"), std::string::npos)
      << trace.substr(0, 2000);

  // The client's s3270 went with it: nothing is left connected to the host.
  if (ConnectionsTo(host->port()) >= 0) {
    EXPECT_TRUE(Eventually([&] { return ConnectionsTo(host->port()) == 0; }, 10));
  }
  tmux.Kill();
  host.reset();
}

}  // namespace
