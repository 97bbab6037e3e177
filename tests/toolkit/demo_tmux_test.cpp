// Runs toolkit_demo in a detached tmux session on a private server and drives
// it with send-keys, reading the pane with capture-pane.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/tmux_session.h"

namespace {

// Starts the demo in a fresh 100x30 session; false when tmux is missing.
bool StartDemo(TmuxSession& t) {
  std::string demo = std::string(QOR_BIN_DIR) + "/toolkit_demo";
  if (access(demo.c_str(), X_OK) != 0 || !t.ok()) return false;
  Shell(t.Tmux("new-session -d -x 100 -y 30 \"env TERM=" + PaneTerm() + " " + demo +
               "; echo demo-exit=\\$?; sleep 60\""));
  return t.WaitFor("Toolkit demo");
}

TEST(ToolkitDemo, RunsInATerminalAndEndsWithCtrlX) {
  if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
  TmuxSession t;
  ASSERT_TRUE(StartDemo(t)) << t.Capture();
  t.Keys("F10");
  ASSERT_TRUE(t.WaitFor("Controls...")) << t.Capture();
  t.Keys("Escape");
  t.Keys("F2");
  ASSERT_TRUE(t.WaitFor("Every control")) << t.Capture();
  t.Keys("abc");
  ASSERT_TRUE(t.WaitFor("ABC")) << t.Capture();  // the name field forces upper case
  t.Keys("Tab Up");
  ASSERT_TRUE(t.WaitFor("50%")) << t.Capture();  // the count spun up moves the bar
  t.Keys("Escape");
  ASSERT_TRUE(t.WaitFor("Controls: cancelled")) << t.Capture();
  t.Keys("C-x");
  EXPECT_TRUE(t.WaitFor("demo-exit=0")) << t.Capture();
}

TEST(ToolkitDemo, AltOpensMenusAndAltF4Ends) {
  if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
  if (PaneTerm() != "tmux-256color") GTEST_SKIP() << "no terminal description with Alt+F4";
  TmuxSession t;
  ASSERT_TRUE(StartDemo(t)) << t.Capture();
  t.Keys("M-h");
  ASSERT_TRUE(t.WaitFor("About")) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitFor("Character-cell windowing toolkit demo")) << t.Capture();
  t.Keys("Enter");
  t.Keys("M-F4");
  EXPECT_TRUE(t.WaitFor("demo-exit=0")) << t.Capture();
}

TEST(ToolkitDemo, MouseReachesMenusListsAndButtons) {
  if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
  TmuxSession t;
  ASSERT_TRUE(StartDemo(t)) << t.Capture();
  t.Click(t.Locate("File"));
  ASSERT_TRUE(t.WaitFor("Controls...")) << t.Capture();
  t.Click(t.Locate("Controls..."));
  ASSERT_TRUE(t.WaitFor("Every control")) << t.Capture();
  auto row = t.Locate("Entry number 3");
  t.Click(row);
  t.Click(row);  // the second press soon after on the same cell: a double click
  ASSERT_TRUE(t.WaitFor("command 20103 param 2 Entry number 3")) << t.Capture();
  t.Click(t.Locate("Cancel       Help"));  // the button, not the radio button
  ASSERT_TRUE(t.WaitFor("Controls: cancelled")) << t.Capture();

  // A smaller terminal: the window is centred again.
  auto before = t.Locate("Toolkit demo");
  Shell(t.Tmux("resize-window -x 80 -y 24"));
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (t.Locate("Toolkit demo") == before && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  auto after = t.Locate("Toolkit demo");
  EXPECT_EQ(after.first, before.first - 10) << t.Capture();
  EXPECT_EQ(after.second, before.second - 3) << t.Capture();
  t.Keys("C-x");
  EXPECT_TRUE(t.WaitFor("demo-exit=0")) << t.Capture();
}

}  // namespace
