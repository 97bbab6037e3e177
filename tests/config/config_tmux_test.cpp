// Runs the real qorcnfig in a detached tmux session on a private server and
// drives it as a user would: send-keys in, capture-pane out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

// A scratch directory that holds the tmux socket, the registry, the sessions
// file and the directory qorcnfig runs in (with stand-ins for the provider
// library and the client, which it looks for there).
class Terminal {
 public:
  Terminal() {
    mkdir((dir_ / "run").c_str(), 0700);
    WriteFile(dir_ / "run/pcshll32.so", "");
    WriteFile(dir_ / "run/qorprtt", "");
    // A copy of the program with its message file but no providers beside it.
    mkdir((dir_ / "prog").c_str(), 0700);
    for (const char* f : {"qorcnfig", "QORCNFIG.QOR"})
      std::filesystem::copy_file(std::string(QOR_BIN_DIR) + "/" + f,
                                 dir_ / ("prog/" + std::string(f)));
  }
  std::string program() const { return dir_ / "prog/qorcnfig"; }

  // Starts program (a full path) with args in a 100x30 pane, in cwd (the run
  // directory when empty); the pane then shows the exit code.
  void Start(const std::string& program, const std::string& args = "", const std::string& cwd = "",
             const std::string& term = PaneTerm()) const {
    std::string env = "env TERM=" + term + " QOR_REGISTRY=" + registry() +
                      " QOR_SESSIONS=" + sessions() + " PATH=" + (dir_ / "nowhere");
    tmux_.Start(env + " " + program + " " + args + "; echo qorcnfig-exit=\\$?; sleep 60", 100, 30,
                cwd.empty() ? dir_ / "run" : cwd);
  }
  std::string Capture() const { return tmux_.Capture(); }
  void Keys(const std::string& keys) const { tmux_.Keys(keys); }
  void Type(const std::string& text) const { tmux_.Type(text); }
  bool WaitFor(const std::string& text, int seconds = 10) const {
    return tmux_.WaitFor(text, seconds);
  }
  bool WaitGone(const std::string& text, int seconds = 10) const {
    return tmux_.WaitGone(text, seconds);
  }
  std::string Row(const std::string& text) const { return tmux_.Row(text); }
  std::string registry() const { return dir_ / "registry.reg"; }
  std::string sessions() const { return dir_ / "conf/sessions"; }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  TmuxSession tmux_;
};

const std::string kProgram = std::string(QOR_BIN_DIR) + "/qorcnfig";

bool Usable() { return TmuxInstalled() && access(kProgram.c_str(), X_OK) == 0; }

TEST(QorcnfigInATerminal, ChoosingTheAdapterWritesTheRegistryAndSessionLine) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  Terminal t;
  t.Start(t.program());
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  EXPECT_TRUE(t.WaitFor("Select your 3270 emulator from the list below."));
  EXPECT_NE(t.Capture().find("QOR32PCS  32-bit HLLAPI (recommended)"), std::string::npos)
      << t.Capture();

  t.Keys("Down");
  ASSERT_TRUE(t.WaitFor("QOR32PCS.DLL")) << t.Capture();
  EXPECT_NE(t.Row("Use DLL:").find("QOR32PCS.DLL"), std::string::npos) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitFor("O.K. to proceed?")) << t.Capture();
  EXPECT_NE(t.Capture().find("The recommended adapter."), std::string::npos) << t.Capture();
  t.Keys("Enter");  // YES
  ASSERT_TRUE(t.WaitFor("Session A is")) << t.Capture();
  EXPECT_NE(t.Capture().find("Now:  no line for session A"), std::string::npos) << t.Capture();
  t.Type("127.0.0.1:3270");
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitFor("Settings written to " + t.registry())) << t.Capture();

  std::string reg = ReadFile(t.registry());
  EXPECT_NE(reg.find("[HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT]"), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"DLL\"=\"QOR32PCS.DLL\""), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"SESPARMS\"=\"NORESET\""), std::string::npos) << reg;
  EXPECT_NE(reg.find("\"STRUCTUREDFIELDS\"=\"No\""), std::string::npos) << reg;
  EXPECT_EQ(ReadFile(t.sessions()), "A s3270 127.0.0.1:3270\n");

  t.Keys("C-x");
  EXPECT_TRUE(t.WaitFor("qorcnfig-exit=11")) << t.Capture();
}

TEST(QorcnfigInATerminal, TheClientLoadsTheChosenAdapter) {
  const std::string client = std::string(QOR_BIN_DIR) + "/qorprtt";
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  if (access(client.c_str(), X_OK) != 0) GTEST_SKIP() << "the client is not built here";
  Terminal t;
  t.Start(t.program());
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  t.Keys("Down Enter");
  ASSERT_TRUE(t.WaitFor("O.K. to proceed?")) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitFor("Session A is")) << t.Capture();
  t.Keys("Escape");  // the session line stays as it is
  ASSERT_TRUE(t.WaitFor("Settings written to")) << t.Capture();

  // The client, started with its trace, names the adapter in its CONNECT record.
  t.Start(client, "/D");
  std::string trace_path = t.dir() / "run/QORPRTW.TRC";
  std::string trace;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (trace.find("DLL=QOR32PCS.DLL") == std::string::npos &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    trace = ReadFile(trace_path);
  }
  EXPECT_NE(trace.find(" CONNECT <>LU2 session=A timeout=30 DLL=QOR32PCS.DLL"), std::string::npos)
      << trace << "\n"
      << t.Capture();
}

TEST(QorcnfigInATerminal, MissingProviderIsExplainedAndFileExitEndsWithTen) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  Terminal t;
  t.Start(t.program());
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  t.Keys("Down Down Enter");  // QOR32WHL: its provider is not installed here
  ASSERT_TRUE(t.WaitFor("Cannot locate Emulator's .DLL file (WHLAPI32.DLL)")) << t.Capture();
  EXPECT_NE(t.Capture().find("whlapi32.so"), std::string::npos) << t.Capture();
  t.Keys("Enter");
  ASSERT_TRUE(t.WaitGone("Cannot locate")) << t.Capture();
  t.Keys("Escape");
  // A key sent hard on the heels of Escape would read as Alt+key.
  ASSERT_TRUE(t.WaitGone("QOR Settings Configurator")) << t.Capture();
  t.Keys("F10");
  ASSERT_TRUE(t.WaitFor("Exit")) << t.Capture();
  t.Keys("Down Enter");
  EXPECT_TRUE(t.WaitFor("qorcnfig-exit=10")) << t.Capture();
  EXPECT_NE(access(t.registry().c_str(), F_OK), 0) << "nothing may be written";
}

TEST(QorcnfigInATerminal, AutoConfigFindsTheProviderAndAutoEndsTheProgram) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  Terminal t;
  t.Start(t.program(), "auto");
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  t.Keys("M-a");  // Auto Config
  if (!t.WaitFor("O.K. to proceed?", 3)) {
    // Terminals without Alt: reach the button with Tab.
    t.Keys("Tab Tab Enter");
  }
  ASSERT_TRUE(t.WaitFor("O.K. to proceed?")) << t.Capture();
  t.Keys("Escape");  // NO: the dialog stays, showing what Auto Config found
  ASSERT_TRUE(t.WaitGone("O.K. to proceed?")) << t.Capture();
  ASSERT_TRUE(t.WaitFor("Auto Config")) << t.Capture();
  EXPECT_NE(t.Row("Use DLL:").find("QOR32PCS.DLL"), std::string::npos) << t.Capture();
  t.Keys("Escape");  // Cancel: with AUTO the program ends
  EXPECT_TRUE(t.WaitFor("qorcnfig-exit=11")) << t.Capture();
  EXPECT_NE(access(t.registry().c_str(), F_OK), 0);
}

// Started from anywhere, the built program finds the providers beside itself.
TEST(QorcnfigInATerminal, AutoConfigFromAnotherDirectoryFindsTheProvidersBesideTheProgram) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  Terminal t;
  t.Start(kProgram, "auto", "/");
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  t.Keys("M-a");  // Auto Config
  if (!t.WaitFor("O.K. to proceed?", 3)) t.Keys("Tab Tab Enter");
  ASSERT_TRUE(t.WaitFor("O.K. to proceed?")) << t.Capture();
  t.Keys("Enter");  // YES: the settings are written, then the session follows
  ASSERT_TRUE(t.WaitFor("Session A is")) << t.Capture();
  EXPECT_NE(ReadFile(t.registry()).find("\"DLL\"=\"QOR32PCS.DLL\""), std::string::npos)
      << ReadFile(t.registry());
  t.Keys("Escape");
  EXPECT_TRUE(t.WaitFor("qorcnfig-exit=")) << t.Capture();
}

// A TERM that does not match the multiplexer (a common setting): tmux sends
// its own Home and End, which must still move in a field and type nothing.
TEST(QorcnfigInATerminal, HomeAndEndWorkUnderAMismatchedTerm) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  if (system("infocmp xterm-256color >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no xterm-256color description";
  Terminal t;
  t.Start(t.program(), "", "", "xterm-256color");
  ASSERT_TRUE(t.WaitFor("QOR Settings Configurator")) << t.Capture();
  t.Keys("Tab");  // from the list to the field
  t.Type("ABC");
  t.Keys("Home");
  t.Type("X");
  t.Keys("End");
  t.Type("Y");
  EXPECT_TRUE(t.WaitFor("XABCY")) << t.Capture();
  EXPECT_EQ(t.Capture().find("1~"), std::string::npos) << t.Capture();
  EXPECT_EQ(t.Capture().find("4~"), std::string::npos) << t.Capture();
}

TEST(QorcnfigInATerminal, WithoutItsMessageFileItSaysSoAndEndsWithZero) {
  if (!Usable()) GTEST_SKIP() << "tmux or qorcnfig missing";
  Terminal t;
  std::string copy = t.dir() / "alone";
  mkdir(copy.c_str(), 0700);
  ASSERT_EQ(system(("cp " + kProgram + " " + copy + "/").c_str()), 0);
  t.Start(copy + "/qorcnfig");
  ASSERT_TRUE(t.WaitFor("Error in opening DUVIZE.QOR File")) << t.Capture();
  EXPECT_NE(t.Row("QORCNFIG").find("QORCNFIG"), std::string::npos);
  t.Keys("Enter");
  EXPECT_TRUE(t.WaitFor("qorcnfig-exit=0")) << t.Capture();
}

}  // namespace
