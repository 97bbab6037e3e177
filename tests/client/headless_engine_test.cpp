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
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(HeadlessEngineTest, TakesAJobEndToEndAndSaysEverythingInStampedLines) {
  TempDir dir;
  ScopedEnv registry{"QOR_REGISTRY", dir / "registry.reg"};
  ScopedEnv spool{"QOR_SPOOL", dir / "spool"};
  ScopedEnv log{"QOR_TRANSFER_LOG", dir / "transfer.log"};
  for (const char* f : {"QORPRTW.QOR", "razevu3.so"}) fs::copy_file(BinDir() + "/" + f, dir / f);
  // The default adapter, named by its path: the test program does not lie beside it.
  WriteFile(dir / "registry.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]\r\n\"DLL\"=\"" +
                                      (dir / "razevu3.so") + "\"\r\n");
  fs::create_directory(dir / "spool");
  fs::create_directory(dir / "downloads");
  const std::string report = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  WriteFile(dir / "spool/MONTHRPT", report);

  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  ASSERT_NE(out, nullptr);
  {
    ClientCore core;
    HeadlessFrontEnd front(out, -1);
    const std::string downloads = dir / "downloads";
    const char* argv[] = {"qorprtt", downloads.c_str()};
    ASSERT_TRUE(StartClient(core, 2, argv, dir.path() + "/"));
    AttachHeadless(core, front);
    core.state.unattended_active = true;
    EXPECT_EQ(core.engine.LookForJob(), UnattendedLook::kJobTaken);
    EXPECT_EQ(core.engine.LookForJob(), UnattendedLook::kNothing);
    EndClient(core);
  }
  std::fclose(out);
  std::string lines(text, size);
  std::free(text);

  EXPECT_EQ(ReadFile(dir / "downloads/MONTHRPT"), report);
  EXPECT_NE(lines.find("status: Unattended: receiving job QOR MONTHRPT,00001"), std::string::npos) << lines;
  EXPECT_NE(lines.find("log: Job QOR MONTHRPT,00001 delivered to " + (dir / "downloads/MONTHRPT") +
                       ": 15812 characters, 220 lines, 4 pages"),
            std::string::npos)
      << lines;
  // One line per entry, each with its date and time.
  std::istringstream in(lines);
  const std::regex stamped(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d (status|log|message): .+)");
  for (std::string line; std::getline(in, line);) EXPECT_TRUE(std::regex_match(line, stamped)) << line;
}

}  // namespace
