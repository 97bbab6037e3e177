// The Windows build of toolkit_demo under 64-bit Wine in a tmux pane, driven
// with keys: the console back-end as a user meets it. Needs a 64-bit Windows
// build (the directory $QOR_WINDOWS_BIN, else build-windows64/bin in the
// sources) and Wine; skipped without them. Wine makes a fresh prefix first,
// which takes a while, and its console starts delivering keys only some
// seconds after it has drawn: keys typed before then arrive late, not lost.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

const char kWine[] = "/usr/lib/wine/wine64";
const char kWineServer[] = "/usr/lib/wine/wineserver64";

std::string WindowsDemo() {
  const char* dir = std::getenv("QOR_WINDOWS_BIN");
  return (dir && *dir ? std::string(dir) : std::string(QOR_SOURCE_DIR) + "/build-windows64/bin") +
         "/toolkit_demo.exe";
}

// Stops the prefix's Wine server (and so every program in it) and waits for it.
struct WineServer {
  std::string prefix;
  ~WineServer() {
    Shell("WINEPREFIX=" + prefix + " " + kWineServer + " -k 2>/dev/null; WINEPREFIX=" + prefix + " " +
          kWineServer + " -w 2>/dev/null");
  }
};

TEST(ToolkitDemoOnWindows, RunsInTheConsoleUnderWine) {
  std::string demo = WindowsDemo();
  if (access(demo.c_str(), R_OK) != 0) GTEST_SKIP() << "no Windows build of the demo at " << demo;
  if (access(kWine, X_OK) != 0 || !TmuxInstalled()) GTEST_SKIP() << "needs wine64 and tmux";
  TempDir dir;
  WineServer server{dir / "prefix"};
  TmuxSession t;
  ASSERT_TRUE(t.ok());
  t.Start("env WINEPREFIX=" + server.prefix + " WINEDEBUG=-all WINELOADER=" + kWine +
          " TERM=screen LANG=C.UTF-8 " + kWine + " " + demo + "; echo demo-exit=\\$?; sleep 60");
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
