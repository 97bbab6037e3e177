// The transfer engine with no windows at all: the client's core, the
// headless front end and the default adapter's in-process host take a job
// end to end. Nothing of the toolkit is included here on purpose.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>

#include "client/client_core.h"
#include "client/headless_client.h"
#include "client/headless_front_end.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "tests/programs.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(HeadlessEngineTest, TakesAJobEndToEndAndSaysEverythingInStampedLines) {
  TempDir dir;
  RegistrySandbox registry{dir / "registry.reg"};
  ScopedEnv spool{"QOR_SPOOL", dir / "spool"};
  ScopedEnv log{"QOR_TRANSFER_LOG", dir / "transfer.log"};
  fs::copy_file(BinDir() + "/QORPRTW.QOR", dir / "QORPRTW.QOR");
  // The default adapter, named by its path: the test program does not lie beside it.
  const std::string adapter = platform::FindLibraryInDirectory(BinDir(), "RAZEVU3.DLL");
  ASSERT_FALSE(adapter.empty());
  ASSERT_EQ(RegistryPut("SOFTWARE\\VORNTEK\\QORPRT", "DLL", adapter), platform::kErrorSuccess);
  fs::create_directory(dir / "spool");
  fs::create_directory(dir / "downloads");
  const std::string report = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  WriteFile(dir / "spool/MONTHRPT", report);

  std::FILE* out = std::fopen((dir / "lines.txt").c_str(), "w");
  ASSERT_NE(out, nullptr);
  {
    ClientCore core;
    platform::StopEvent never;
    HeadlessFrontEnd front(out, never);
    const std::string downloads = dir / "downloads";
    const char* argv[] = {"qorprtt", downloads.c_str()};
    ASSERT_TRUE(StartClient(core, 2, argv, dir.path() + platform::kPathSeparator));
    AttachHeadless(core, front);
    core.state.unattended_active = true;
    EXPECT_EQ(core.engine.LookForJob(), UnattendedLook::kJobTaken);
    EXPECT_EQ(core.engine.LookForJob(), UnattendedLook::kNothing);
    EndClient(core);
  }
  ASSERT_EQ(std::fclose(out), 0);
  const std::string lines = ReadFile(dir / "lines.txt");

  EXPECT_EQ(ReadFile(dir / "downloads" + platform::kPathSeparator + "MONTHRPT"), report);
  EXPECT_NE(lines.find("status: Unattended: receiving job QOR MONTHRPT,00001"), std::string::npos) << lines;
  EXPECT_NE(lines.find("log: Job QOR MONTHRPT,00001 delivered to " + (dir / "downloads" + platform::kPathSeparator + "MONTHRPT") +
                       ": 15812 characters, 220 lines, 4 pages"),
            std::string::npos)
      << lines;
  // One line per entry, each with its date and time.
  std::istringstream in(lines);
  const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (status|log|message): .+)");
  for (std::string line; std::getline(in, line);) EXPECT_TRUE(std::regex_match(line, stamped)) << line;
}

}  // namespace
