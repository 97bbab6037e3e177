// The whole program on the headless display: what the user sees, the exit
// codes, and the values and session line written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/config_program.h"
#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "tests/config/config_fixture.h"
#include "toolkit/headless_display.h"
#include "toolkit/keys.h"

namespace config {

namespace {

using namespace config_test;
namespace key = tk::key;

// A program directory with the message file, run from a directory holding the
// alpha provider and the client, with PATH leading nowhere.
class ProgramTest : public ::testing::Test {
 protected:
  explicit ProgramTest(const std::string& source = StandardSource())
      : files_(source),
        path_("PATH", files_.dir() / "nowhere"),
        sessions_("QOR_SESSIONS", files_.dir() / "conf/sessions") {
    mkdir((files_.dir() / "run").c_str(), 0700);
    for (const char* provider : {"ALPHA.DLL", "BETA.DLL"})
      WriteFile(InRun(platform::SharedObjectName(provider)), "");
    WriteFile(InRun("qorprtt"), "");
    display_.SetFallback(tk::Event::Quit());
  }
  std::string InRun(const std::string& name) const {
    return files_.dir() / "run" + platform::kPathSeparator + name;
  }
  int Run(CommandFlags flags = {}) {
    ScopedCwd cwd(files_.dir() / "run");
    return RunConfigProgram(display_, flags, files_.dir().path() + platform::kPathSeparator);
  }
  // The text of the screen row that holds text, "" when it is not shown.
  std::string RowWith(const std::string& text) const {
    tk::Point p = display_.Find(text);
    return p.y < 0 ? std::string() : display_.Text(p.y);
  }
  bool Shows(const std::string& text) const { return display_.Find(text).y >= 0; }

  ConfigFiles files_;
  ScopedEnv path_;
  ScopedEnv sessions_;
  tk::HeadlessDisplay display_{100, 30};
};

TEST_F(ProgramTest, DialogOpensAtOnceAndFileExitEndsWithTen) {
  bool checked = false;
  display_
      .Then([&] {
        checked = true;
        EXPECT_TRUE(Shows("QOR Settings Configurator"));
        EXPECT_TRUE(Shows("Select your 3270 emulator from the list below."));
        EXPECT_TRUE(Shows("Alpha emulator"));
        EXPECT_TRUE(Shows("Gamma emulator"));
        EXPECT_TRUE(Shows("Use DLL:"));
        for (const char* b : {"Auto Config", "Ok", "Cancel", "Help"}) EXPECT_TRUE(Shows(b)) << b;
      })
      .Key(key::kEscape)
      .Then([&] { EXPECT_FALSE(Shows("QOR Settings Configurator")) << display_.Dump(); })
      .Key(key::kAlt | 'f')
      .Then([&] { EXPECT_TRUE(Shows("Settings ...")) << display_.Dump(); })
      .Key('x');
  EXPECT_EQ(Run(), 10);
  EXPECT_TRUE(checked);
  EXPECT_FALSE(files_.registry_written());
}

TEST_F(ProgramTest, ClosingTheMainWindowEndsWithEleven) {
  display_.Key(key::kEscape).Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
  display_.Key(key::kEscape).Key(key::F(4) | key::kAlt);
  EXPECT_EQ(Run(), 11);
}

TEST_F(ProgramTest, AboutBoxFromTheHelpMenu) {
  display_.Key(key::kEscape)
      .Key(key::kAlt | 'h')
      .Then([&] { EXPECT_TRUE(Shows("About DAVAVARU")) << display_.Dump(); })
      .Key('a')
      .Then([&] { EXPECT_TRUE(Shows("QORCNFIG - Configuration Assistant")) << display_.Dump(); })
      .Key(key::kEnter)
      .Then([&] { EXPECT_FALSE(Shows("Configuration Assistant")); })
      .Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
}

TEST_F(ProgramTest, AutoEndsAfterTheDialogWhateverItsOutcome) {
  display_.Then([&] { EXPECT_TRUE(Shows("QOR Settings Configurator")); })
      .Key(key::kEscape)
      .Then([&] { ADD_FAILURE() << "still running after the dialog:\n"
                                << display_.Dump(); });
  display_.SetFallback(tk::Event::Quit());
  CommandFlags flags;
  flags.auto_flag = true;
  // The script's Then after Escape must never run: the program ends first.
  EXPECT_EQ(Run(flags), 11);
  EXPECT_FALSE(display_.ScriptDone());

  // Confirmed: the values are written and the program ends as well.
  tk::HeadlessDisplay& d = display_;
  d = tk::HeadlessDisplay(100, 30);
  d.Key(key::kDown)
      .Key(key::kEnter)
      .Key(key::kEnter)   // choose, YES
      .Key(key::kEscape)  // skip the session line
      .Then([&] { ADD_FAILURE() << "still running after the dialog"; });
  EXPECT_EQ(Run(flags), 11);
  EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
}

TEST_F(ProgramTest, SelectingFillsTheFieldAndTypingTakesOver) {
  display_.Key(key::kDown)
      .Then([&] {
        EXPECT_NE(RowWith("Use DLL:").find("AAA.DLL"), std::string::npos) << display_.Dump();
      })
      .Key(key::kTab);
  for (int k = 0; k < 7; ++k) display_.Key(key::kBackspace);
  display_.Type("bbb.dll")
      .Key(key::kEnter)
      .Then([&] {
        // The typed name is used, not the entry selected before.
        EXPECT_TRUE(Shows("Using BETA.DLL")) << display_.Dump();
        EXPECT_TRUE(Shows("O.K. to proceed?"));
      })
      .Key(key::kEscape)  // NO: the dialog stays
      .Then([&] { EXPECT_TRUE(Shows("QOR Settings Configurator")); })
      .Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
  EXPECT_FALSE(files_.registry_written());
}

TEST_F(ProgramTest, UnknownNameAndEmptyFieldAreRefusedInABox) {
  display_.Key(key::kTab)
      .Type("nothere.dll")
      .Key(key::kEnter)
      .Then([&] { EXPECT_TRUE(Shows("DLL unknown")) << display_.Dump(); })
      .Key(key::kEnter)
      .Then([&] {
        EXPECT_FALSE(Shows("DLL unknown"));
        EXPECT_TRUE(Shows("QOR Settings Configurator"));
      });
  EXPECT_EQ(Run(), 11);
}

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// A user's first session line, in a profile that holds nothing of the
// program's yet: the directories are made. Windows offers no s3270 session
// (nothing there starts one), so the script port comes first there.
TEST_F(ProgramTest, TheFirstSessionLineGoesIntoAFreshProfile) {
  const std::string profile = files_.dir() / "profile";
  mkdir(profile.c_str(), 0700);
  ScopedEnv sessions("QOR_SESSIONS", ""), home("HOME", kWindows ? "" : profile);
  ScopedEnv xdg("XDG_CONFIG_HOME", kWindows ? "" : profile), appdata("APPDATA", profile);
  const std::string written =
      profile + platform::kPathSeparator + "qorprt" + platform::kPathSeparator + "sessions";
  display_.Key(key::kDown).Key(key::kEnter).Key(key::kEnter).Then([&] {  // YES
    EXPECT_TRUE(Shows("Sessions file: " + written)) << display_.Dump();
    EXPECT_EQ(Shows("s3270"), !kWindows) << display_.Dump();
    EXPECT_EQ(Shows("TLS"), !kWindows);
  });
  if (!kWindows) display_.Key(key::kShift | key::kTab).Key(key::kRight).Key(key::kAlt | 'w');
  display_.Type("4010")
      .Key(key::kEnter)
      .Then([&] { EXPECT_TRUE(Shows("Settings written to")) << display_.Dump(); })
      .Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
  EXPECT_EQ(ReadFile(written), "A script 127.0.0.1:4010\n");
}

TEST_F(ProgramTest, ConfirmedChoiceWritesAndKeepsOtherSessionLines) {
  if (kWindows) GTEST_SKIP() << "the dialog offers no s3270 session on Windows";
  mkdir((files_.dir() / "conf").c_str(), 0700);
  WriteFile(files_.dir() / "conf/sessions",
            "# my sessions\nB script 127.0.0.1:4020\nA sim /old/spool timeout=9\nC s3270 h:23\n");
  display_.Key(key::kDown)
      .Key(key::kEnter)
      .Then([&] { EXPECT_TRUE(Shows("Alpha blurb")) << display_.Dump(); })
      .Key(key::kEnter)  // YES
      .Then([&] {
        EXPECT_EQ(ClientValue("DLL"), "AAA.DLL");
        EXPECT_TRUE(Shows("session explanation")) << display_.Dump();
        EXPECT_TRUE(Shows("Now:  A sim /old/spool timeout=9"));
        EXPECT_NE(RowWith("Where:").find("/old/spool"), std::string::npos);
      })
      .Key(key::kShift | key::kTab)  // to the kinds
      .Key(key::kLeft)               // from "built-in host" back to s3270
      .Key(key::kLeft)
      .Key(key::kAlt | 'w')  // Where, by its hot key: what is typed replaces the text
      .Type("127.0.0.1:45369")
      .Then([&] {
        EXPECT_NE(RowWith("Where:").find("127.0.0.1:45369 "), std::string::npos) << display_.Dump();
        EXPECT_EQ(RowWith("Where:").find("/old/spool"), std::string::npos);
      })
      .Key(key::kAlt | 'w')  // again, while there: the same
      .Type("127.0.0.1:36367")
      .Key(key::kShift | key::kTab)
      .Key(key::kTab)  // and by Tab
      .Type("a:b:23")
      .Key(key::kEnter)
      .Then([&] {
        EXPECT_TRUE(Shows("The host is a name")) << display_.Dump();
        EXPECT_TRUE(Shows("QORCNFIG"));  // in a message box
        EXPECT_EQ(ReadFile(files_.dir() / "conf/sessions").find("A s3270"), std::string::npos);
      })
      .Key(key::kEnter)  // the box's OK: back in Where, its text selected
      .Type("mainframe.example.com:23")
      .Key(key::kEnter)
      .Then([&] {
        EXPECT_FALSE(Shows("QOR Settings Configurator")) << display_.Dump();
        EXPECT_TRUE(Shows("Settings written to")) << display_.Dump();
      })
      .Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
  EXPECT_EQ(ReadFile(files_.dir() / "conf/sessions"),
            "# my sessions\nB script 127.0.0.1:4020\nA s3270 mainframe.example.com:23 timeout=9\n"
            "C s3270 h:23\n");
}

// TLS with the certificate checked against a CA file, an LU name, a code
// page and a model, chosen in the dialog and written on session A's line.
TEST_F(ProgramTest, TheSessionDialogWritesTlsLuCodePageAndModel) {
  if (kWindows) GTEST_SKIP() << "the dialog offers no s3270 session on Windows";
  mkdir((files_.dir() / "conf").c_str(), 0700);
  WriteFile(files_.dir() / "conf/sessions", "A s3270 mainframe.example.com:992 lu=OLD\nB sim /b\n");
  display_.Key(key::kDown)
      .Key(key::kEnter)
      .Key(key::kEnter)  // YES
      .Then([&] {
        EXPECT_TRUE(Shows("Now:  A s3270 mainframe.example.com:992 lu=OLD")) << display_.Dump();
        EXPECT_NE(RowWith("LU name:").find("OLD"), std::string::npos) << display_.Dump();
        EXPECT_NE(RowWith("Code page:").find("(emulator default)"), std::string::npos);
      })
      .Key(key::kTab)  // TLS
      .Key(' ')
      .Key(key::kTab)  // Verify the certificate (stays on)
      .Key(key::kTab)  // CA file
      .Type("/etc/site-ca.pem")
      .Key(key::kTab);  // LU name
  for (int k = 0; k < 3; ++k) display_.Key(key::kBackspace);
  display_.Type("A) Q").Key(key::kEnter).Then([&] {
    EXPECT_TRUE(Shows("An LU name is 1 to 8 letters")) << display_.Dump();
  });
  display_.Key(key::kEnter);  // the message box
  for (int k = 0; k < 4; ++k) display_.Key(key::kBackspace);
  display_.Type("PRT01")
      .Key(key::kTab)  // code page: the second entry is cp037, the third cp273
      .Key(key::kDown)
      .Key(key::kDown)
      .Key(key::kTab)  // model 5
      .Key(key::kDown)
      .Key(key::kDown)
      .Key(key::kDown)
      .Then([&] {
        EXPECT_NE(RowWith("Code page:").find("cp273"), std::string::npos) << display_.Dump();
        EXPECT_NE(RowWith("Model:").find("27 x 132"), std::string::npos) << display_.Dump();
      })
      .Key(key::kShift | key::kTab)
      .Key(key::kShift | key::kTab)
      .Key(key::kEnter)  // Write
      .Then([&] { EXPECT_TRUE(Shows("Settings written to")) << display_.Dump(); })
      .Key(key::kCtrl | 'x');
  EXPECT_EQ(Run(), 11);
  EXPECT_EQ(ReadFile(files_.dir() / "conf/sessions"),
            "A s3270 mainframe.example.com:992 tls cafile=/etc/site-ca.pem lu=PRT01 codepage=cp273 "
            "model=5\n"
            "B sim /b\n");
}

TEST_F(ProgramTest, HelpShowsFifteenRowsOfEightyCharactersAtATime) {
  std::string long_line(100, 'h');
  std::string help = "|" + long_line + "\n";
  for (int k = 1; k <= 20; ++k) help += "|row " + std::to_string(k) + "\n";
  // Rebuild the message file with this help text.
  ASSERT_TRUE(BuildMessageFile(WithText(StandardSource(), "HALP", help), files_.message_path()));
  display_.Key(key::F(1))
      .Then([&] {
        tk::Point first = display_.Find(std::string(80, 'h'));
        ASSERT_GE(first.y, 0) << display_.Dump();
        EXPECT_EQ(display_.TextAt(first.x, first.y + 1, 20), std::string(20, 'h') + "");
        EXPECT_TRUE(Shows("row 13"));
        EXPECT_FALSE(Shows("row 14"));  // 2 rows of the long line + 13 = 15
        EXPECT_TRUE(Shows("QORCNFIG"));
      })
      .Key(key::kEnd)  // the list scrolls to the rest
      .Then([&] { EXPECT_TRUE(Shows("row 20")) << display_.Dump(); })
      .Key(key::kEnter)
      .Then([&] { EXPECT_FALSE(Shows("row 20")); });
  EXPECT_EQ(Run(), 11);
}

TEST_F(ProgramTest, SupportNeverWrites) {
  CommandFlags flags;
  flags.support_flag = true;
  display_.Key(key::kDown)
      .Key(key::kEnter)
      .Then([&] {
        EXPECT_TRUE(Shows("Cannot locate Emulator's .DLL file (alpha.DLL)")) << display_.Dump();
      })
      .Key(key::kEnter)
      .Then([&] { EXPECT_TRUE(Shows("O.K. to proceed?")) << display_.Dump(); })
      .Key(key::kEnter)
      .Then([&] { EXPECT_TRUE(Shows("QOR Settings Configurator")); });
  EXPECT_EQ(Run(flags), 11);
  EXPECT_FALSE(files_.registry_written());
}

TEST_F(ProgramTest, WithoutItsMessageFileTheProgramSaysSoAndEndsWithZero) {
  ASSERT_EQ(unlink(files_.message_path().c_str()), 0);
  bool shown = false;
  display_.Then([&] { shown = Shows("Error in opening DUVIZE.QOR File"); }).Key(key::kEnter);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(shown) << display_.Dump();
}

TEST_F(ProgramTest, OverlongListIsRefusedBeyondSixtyFour) {
  std::string list;
  for (int k = 0; k < 66; ++k)
    list += "|E" + std::to_string(k) + ".DLL ? N N Emulator " + std::to_string(k) + "\n";
  ASSERT_TRUE(BuildMessageFile(WithText(StandardSource(), "LISTW95", list), files_.message_path()));
  display_
      .Then([&] {
        EXPECT_TRUE(
            Shows("Only the first 64 entries of the emulator list are shown (2 more left out)."))
            << display_.Dump();
      })
      .Key(key::kEnter)
      .Key(key::kEnd)
      .Then([&] {
        EXPECT_TRUE(Shows("Emulator 63")) << display_.Dump();
        EXPECT_FALSE(Shows("Emulator 64"));
      });
  EXPECT_EQ(Run(), 11);
}

}  // namespace

namespace {

// The shipped message file on the smallest common terminal.
class ShippedTextsTest : public ProgramTest {
 protected:
  ShippedTextsTest()
      : ProgramTest(ReadFile(std::string(QOR_SOURCE_DIR) + "/messages/QORCNFIG.txt")) {
    WriteFile(InRun(platform::SharedObjectName("PCSHLL32.DLL")), "");
    display_ = tk::HeadlessDisplay(80, 24);
  }
};

TEST_F(ShippedTextsTest, DialogsSitWholeOnAnEightyColumnTerminal) {
  auto whole_row = [&](const std::string& text) {
    std::string row = RowWith(text);
    EXPECT_FALSE(row.empty()) << text << "\n" << display_.Dump();
    // Framed on both sides, and the text not wrapped.
    EXPECT_EQ(row.rfind("║"), row.size() - std::string("║").size()) << row;
  };
  display_.Key(key::F(1))
      .Then([&] {
        whole_row(kWindows
                      ? "HKEY_CURRENT_USER\\SOFTWARE\\VORNTEK\\QORPRT: DLL, SESPARMS=NORESET and"
                      : "(or the file named by QOR_REGISTRY): DLL, SESPARMS=NORESET, "
                        "STRUCTUREDFIELDS.");
      })
      .Key(key::kEnter)
      .Key(key::kDown)
      .Key(key::kEnter)
      .Then([&] {
        whole_row(kWindows
                      ? "file, %APPDATA%\\qorprt\\sessions (or the file named by QOR_SESSIONS):"
                      : "  A s3270 HOST:PORT        QORPRINT starts s3270 and connects it to "
                        "the host");
        whole_row("O.K. to proceed?");
      })
      .Key(key::kEnter)
      .Then([&] {
        whole_row("Session A tells QORPRINT where the host session is.");
        whole_row("Where:");
      })
      .Key(key::kEscape);
  EXPECT_EQ(Run(), 11);
  EXPECT_EQ(ClientValue("DLL"), "QOR32PCS.DLL");
}

}  // namespace

}  // namespace config
