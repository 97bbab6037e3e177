// The transfer engine with no windows at all: the client's core, the
// headless front end and the default adapter's in-process host take a job
// end to end. Nothing of the toolkit is included here on purpose.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "client/engine/client_core.h"
#include "client/engine/download_ledger.h"
#include "client/engine/headless_client.h"
#include "client/engine/headless_front_end.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "tests/programs.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A private registry naming the default adapter by path (the test program
// does not lie beside it), its host's spool with one report, the message file
// beside the "program" and an empty download directory.
class HeadlessEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(BinDir() + "/QORPRTW.QOR", dir / "QORPRTW.QOR");
    const std::string adapter = platform::FindLibraryInDirectory(BinDir(), "RAZEVU3.DLL");
    ASSERT_FALSE(adapter.empty());
    ASSERT_EQ(RegistryPut("SOFTWARE\\VORNTEK\\QORPRT", "DLL", adapter), platform::kErrorSuccess);
    fs::create_directory(dir / "spool");
    fs::create_directory(dir / "downloads");
    WriteFile(dir / "spool/MONTHRPT", report);
  }

  TempDir dir;
  RegistrySandbox registry{dir / "registry.reg"};
  ScopedEnv spool{"QOR_SPOOL", dir / "spool"};
  ScopedEnv log{"QOR_TRANSFER_LOG", dir / "transfer.log"};
  const std::string report = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  const std::string downloads = dir / "downloads";
};

TEST_F(HeadlessEngineTest, TakesAJobEndToEndAndSaysEverythingInStampedLines) {
  std::FILE* out = std::fopen((dir / "lines.txt").c_str(), "w");
  ASSERT_NE(out, nullptr);
  {
    client::ClientCore core;
    platform::StopEvent never;
    client::HeadlessFrontEnd front(out, never);
    const char* argv[] = {"qorprtt", downloads.c_str()};
    ASSERT_TRUE(client::StartClient(core, 2, argv, dir.path() + platform::kPathSeparator));
    client::AttachHeadless(core, front);
    core.state.unattended_active = true;
    EXPECT_EQ(core.engine.LookForJob(), client::UnattendedLook::kJobTaken);
    EXPECT_EQ(core.engine.LookForJob(), client::UnattendedLook::kNothing);
    client::EndClient(core);
  }
  ASSERT_EQ(std::fclose(out), 0);
  const std::string lines = ReadFile(dir / "lines.txt");

  EXPECT_EQ(ReadFile(dir / "downloads" + platform::kPathSeparator + "MONTHRPT"), report);
  EXPECT_NE(lines.find("status: Unattended: receiving job QOR MONTHRPT,00001"), std::string::npos)
      << lines;
  EXPECT_NE(lines.find("log: Job QOR MONTHRPT,00001 delivered to " +
                       (dir / "downloads" + platform::kPathSeparator + "MONTHRPT") +
                       ": 15812 characters, 220 lines, 4 pages"),
            std::string::npos)
      << lines;
  // One line per entry, each with its date and time.
  std::istringstream in(lines);
  const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (status|log|message): .+)");
  for (std::string line; std::getline(in, line);)
    EXPECT_TRUE(std::regex_match(line, stamped)) << line;
}

// The service waits on its stop, not on the clock: set from elsewhere while it
// idles between polls, it ends at once, and says so.
TEST_F(HeadlessEngineTest, AStopSetWhileIdleEndsTheServiceAtOnce) {
  platform::StopEvent stop;
  const uint64_t start = platform::MonotonicMs();
  EXPECT_FALSE(stop.Wait(100));
  EXPECT_GE(platform::MonotonicMs() - start, 90u);

  std::FILE* out = std::fopen((dir / "lines.txt").c_str(), "w");
  ASSERT_NE(out, nullptr);
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    stop.Set();
  });
  const char* argv[] = {"qorprtt", "--unattended", downloads.c_str()};
  const uint64_t run_start = platform::MonotonicMs();
  EXPECT_EQ(client::RunHeadlessClient(3, argv, out, stop, dir.path() + platform::kPathSeparator),
            0);
  const uint64_t took = platform::MonotonicMs() - run_start;
  stopper.join();
  ASSERT_EQ(std::fclose(out), 0);
  EXPECT_LT(took, 10000u);    // a poll period is 15 s
  EXPECT_TRUE(stop.Wait(0));  // it stays set
  const std::string lines = ReadFile(dir / "lines.txt");
  EXPECT_NE(lines.find("start: Unattended operation into " + downloads), std::string::npos)
      << lines;
  EXPECT_NE(lines.find("end: Stopped"), std::string::npos) << lines;
  // Whether the stop came during the job or after it: no part left behind.
  for (const auto& entry : fs::directory_iterator(downloads)) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name.rfind("MONTHRPT", 0) == 0 || name == client::DownloadLedger::kFileName)
        << name;
  }
}

}  // namespace
