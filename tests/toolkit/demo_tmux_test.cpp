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

namespace {

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

class TmuxSession {
 public:
  // A private server on a socket in a fresh directory, removed afterwards.
  TmuxSession() {
    char dir[] = "/tmp/tkdemo.XXXXXX";
    if (mkdtemp(dir) != nullptr) {
      dir_ = dir;
      socket_ = dir_ + "/tmux";
    }
  }
  ~TmuxSession() {
    if (dir_.empty()) return;
    Shell(Tmux("kill-server") + " 2>/dev/null");
    unlink(socket_.c_str());
    rmdir(dir_.c_str());
  }
  bool ok() const { return !dir_.empty(); }
  std::string Tmux(const std::string& args) const { return "tmux -S " + socket_ + " -f /dev/null " + args; }
  std::string Capture() const { return Shell(Tmux("capture-pane -p")); }
  void Keys(const std::string& keys) const { Shell(Tmux("send-keys " + keys)); }
  // Cell of the first occurrence of text in the pane, {-1, -1} if absent.
  std::pair<int, int> Locate(const std::string& text) const {
    std::string pane = Capture();
    size_t at = pane.find(text);
    if (at == std::string::npos) return {-1, -1};
    size_t line_start = pane.rfind('\n', at);
    line_start = line_start == std::string::npos ? 0 : line_start + 1;
    int y = static_cast<int>(std::count(pane.begin(), pane.begin() + line_start, '\n'));
    int x = 0;  // count characters, not bytes: the frame is UTF-8
    for (size_t i = line_start; i < at; ++i)
      if ((static_cast<unsigned char>(pane[i]) & 0xc0) != 0x80) ++x;
    return {x, y};
  }
  // A left click in the terminal's own mouse report format (X10: ESC [ M b x y).
  void Click(std::pair<int, int> cell) const {
    char hex[128];
    std::snprintf(hex, sizeof hex, "1b 5b 4d 20 %02x %02x 1b 5b 4d 23 %02x %02x", cell.first + 33,
                  cell.second + 33, cell.first + 33, cell.second + 33);
    Shell(Tmux(std::string("send-keys -H ") + hex));
  }
  // Polls the pane until it shows the text (or the time is up).
  bool WaitFor(const std::string& text, int seconds = 10) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (Capture().find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

 private:
  std::string dir_;
  std::string socket_;
};

// The terminal type inside the pane: tmux's own where its description is
// installed (it knows modified function keys), else plain screen.
std::string PaneTerm() {
  static const std::string term =
      system("infocmp tmux-256color >/dev/null 2>&1") == 0 ? "tmux-256color" : "screen";
  return term;
}

// Starts the demo in a fresh 100x30 session; false when tmux is missing.
bool StartDemo(TmuxSession& t) {
  std::string demo = std::string(QOR_BIN_DIR) + "/toolkit_demo";
  if (access(demo.c_str(), X_OK) != 0 || !t.ok()) return false;
  Shell(t.Tmux("new-session -d -x 100 -y 30 \"env TERM=" + PaneTerm() + " " + demo +
               "; echo demo-exit=\\$?; sleep 60\""));
  return t.WaitFor("Toolkit demo");
}

TEST(ToolkitDemo, RunsInATerminalAndEndsWithCtrlX) {
  if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed";
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
  if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed";
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
  if (Shell("command -v tmux").empty()) GTEST_SKIP() << "tmux is not installed";
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
