// The Windows build of toolkit_demo under Wine in a tmux pane, driven with
// keys: the console back-end as a user meets it. Needs a Windows build and
// its Wine (tests/wine_prefix.h: $QOR_WINDOWS_BIN and $QOR_WINE, else the
// 64-bit build under wine64); skipped without them. Wine makes a fresh prefix first,
// which takes a while, and its console starts delivering keys only some
// seconds after it has drawn: keys typed before then arrive late, not lost.
#include <gtest/gtest.h>

#include <string>

#include "tests/temp_dir.h"
#include "tests/wine_prefix.h"

namespace {

TEST(ToolkitDemoOnWindows, RunsInTheConsoleUnderWine) {
  std::string demo = WindowsBinDir() + "/toolkit_demo.exe";
  if (std::string missing = WineMissing(demo); !missing.empty()) GTEST_SKIP() << missing;
  TempDir dir;
  WinePrefix wine{dir / "prefix"};
  TmuxSession t;
  ASSERT_TRUE(t.ok());
  t.Start(wine.Command(demo) + "; echo demo-exit=\\$?; sleep 60");
  ASSERT_TRUE(t.WaitFor("Toolkit demo", 300)) << t.Capture();
  t.Keys("F2");
  ASSERT_TRUE(t.WaitFor("Every control", 120)) << t.Capture();
  t.Type("abc");
  ASSERT_TRUE(t.WaitFor("ABC", 30)) << t.Capture();  // the name field forces upper case
  t.Keys("Tab Up");
  ASSERT_TRUE(t.WaitFor("50%", 30)) << t.Capture();  // the count spun up moves the bar
  t.Keys("Escape");
  ASSERT_TRUE(t.WaitFor("Controls: cancelled", 30)) << t.Capture();
  t.Keys("M-h");
  ASSERT_TRUE(t.WaitFor("About", 30)) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitFor("Character-cell windowing toolkit demo", 30)) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitGone("Character-cell windowing toolkit demo", 30)) << t.Capture();
  // Ctrl+C is a key, as under curses: the demo is still there to open its menu.
  t.Keys("C-c F10");
  ASSERT_TRUE(t.WaitFor("Controls...", 30)) << t.Capture();
  t.Keys("Escape");  // alone: Esc and a key at once is Alt+key
  ASSERT_TRUE(t.WaitGone("Controls...", 30)) << t.Capture();
  t.Keys("C-x");
  ASSERT_TRUE(t.WaitFor("demo-exit=0", 30)) << t.Capture();
  EXPECT_TRUE(t.WaitGone("Toolkit demo", 10)) << t.Capture();  // the terminal is left clean
}

}  // namespace
