// The Windows client under Wine in a terminal, as a user there meets
// it: a copy of the Windows program directory with its first-run marker,
// the default adapter's built-in host serving a spool, F6 and Enter, the job
// on disk byte-exact, Ctrl+X and a clean exit. Skipped without a Windows
// build and its Wine ($QOR_WINDOWS_BIN, $QOR_WINE: tests/wine_prefix.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/temp_dir.h"
#include "tests/wine_prefix.h"

namespace {

TEST(QorprttOnWindows, TakesAJobWithF6AndEnterUnderWine) {
  const std::string bin = WindowsBinDir();
  if (std::string missing = WineMissing(bin + "/qorprtt.exe"); !missing.empty())
    GTEST_SKIP() << missing;
  TempDir dir;
  std::filesystem::create_directories(dir / "program");
  for (const char* name : {"qorprtt.exe", "RAZEVU3.DLL", "QORPRTW.QOR", "QORPRTW.INI"})
    std::filesystem::copy_file(bin + "/" + name, dir / ("program/" + std::string(name)));
  std::filesystem::create_directories(dir / "spool");
  std::filesystem::create_directories(dir / "work");
  const std::string sample = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  WriteFile(dir / "spool/MONTHRPT", sample);
  WinePrefix wine{dir / "prefix"};
  TmuxSession t;
  ASSERT_TRUE(t.ok());
  t.Start("cd " + dir.path() + " && QOR_SPOOL=" + (dir / "spool") + " " +
          wine.Command("program/qorprtt.exe " + (dir / "work")) +
          "; echo client-exit=\\$?; sleep 60");
  // A first run shows the start-up window and the introduction; Wine's
  // console takes keys only some seconds after it has drawn.
  bool ready = false;
  for (int tries = 0; tries < 60 && !(ready = t.WaitFor("F6 takes the waiting job", 5)); ++tries)
    t.Keys("Escape");
  ASSERT_TRUE(ready) << t.Capture();
  t.Keys("F6");
  ASSERT_TRUE(t.WaitFor("Print Job from the Host", 60)) << t.Capture();
  t.Keys("Enter");
  EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "work/MONTHRPT") == sample; }, 120))
      << t.Capture();
  ASSERT_TRUE(t.WaitFor("MONTHRPT", 60)) << t.Capture();
  t.Keys("C-x");
  EXPECT_TRUE(t.WaitFor("client-exit=0", 60)) << t.Capture();
}

}  // namespace
