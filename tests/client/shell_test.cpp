// Start-up, the main window, messages and help, driven through the headless display.
#include <string>

#include "client/windows/help_window.h"
#include "client/windows/main_window.h"
#include "client/windows/message_dialog.h"
#include "common/registry_access.h"
#include "platform/paths.h"
#include "tests/client/client_fixture.h"

namespace {

TEST(CommandLineTest, SwitchesAndTheDownloadDirectory) {
  client::ClientState s;
  const char* a1[] = {"qorprtt", "/srv/jobs", "/cut"};
  client::ApplyCommandLine(3, a1, s);
  EXPECT_EQ(s.download_dir, "/srv/jobs");
  EXPECT_TRUE(s.cut_mode);

  client::ClientState t;
  const char* a2[] = {"qorprtt", "/first", "/second", "/PDM", "/pdm"};
  client::ApplyCommandLine(5, a2, t);
  EXPECT_EQ(t.download_dir, "/first");  // scanned backwards: the first one stays
  EXPECT_FALSE(t.cut_mode);

  client::ClientState u;
  const char* a3[] = {"qorprtt"};
  client::ApplyCommandLine(1, a3, u);
  EXPECT_EQ(u.download_dir, platform::CurrentDirectory());
  EXPECT_FALSE(u.program_dir.empty());
  EXPECT_EQ(u.program_dir.back(), platform::kPathSeparator);
  // Never cut: the prefix names another directory.
  std::string long_dir = "/" + std::string(299, 'd');
  const char* a4[] = {"qorprtt", "--demo", long_dir.c_str()};
  EXPECT_NE(client::ApplyCommandLine(3, a4, u).find("300 characters long; at most 127 fit"),
            std::string::npos);
  EXPECT_EQ(u.download_dir, long_dir);
  EXPECT_TRUE(u.demo);

  // Relative paths are the start directory's: the client changes directory
  // into each job's target as it writes.
  client::ClientState v;
  const char* a5[] = {"qorprtt", "--trace=t.log", "--config", "etc", "jobs"};
  EXPECT_EQ(client::ApplyCommandLine(5, a5, v), "");
  const std::string here = platform::CurrentDirectory() + platform::kPathSeparator;
  EXPECT_EQ(v.download_dir, here + "jobs");
  EXPECT_EQ(v.trace_file, here + "t.log");
  EXPECT_EQ(v.config_dir, "etc");  // made absolute where it is used, for every program
}

TEST_F(ClientTest, TraceSwitchInAnyCaseStartsAFreshTrace) {
  WriteFile(dir / "QORPRTW.TRC", "old");
  WriteFile(dir / "QORPRTW.INI", "installed\n");
  common::RegistryAccess().Open(hostlink::kInterfaceSettingsKey, common::RegistryOpen::kCreate);
  EXPECT_EQ(Run({"/d"}), 0);
  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  EXPECT_EQ(trace.find("old"), std::string::npos);
  size_t program = trace.find(" PROGRAM <>QORPRTW (NT) diskette:2.0.0.3\r\n");
  size_t connect = trace.find(" CONNECT <>LU2 session=A timeout=30 DLL=RAZEVU3.DLL EMU=\r\n");
  EXPECT_EQ(program, 16u);  // the very first record: CR LF "<> hh:mm:ss.cc"
  EXPECT_GT(connect, program);
}

TEST_F(ClientTest, FirstRunShowsTheModalWindowAndTheIntroductionOnce) {
  WriteFile(dir / "QORPRTW.INI", "$\nrest\n");
  bool about_modal = false, intro = false;
  display
      .Then([&] {
        about_modal = Shows(std::string("QORPRINT for ") + platform::kPlatformName) && Shows("OK");
      })
      .Key(tk::key::kEnter)
      .Then([&] { intro = Shows("QORPRTW HELP"); })
      .Key(tk::key::kEscape);
  EXPECT_EQ(Run({}), 0);
  EXPECT_TRUE(about_modal);
  EXPECT_TRUE(intro);
  EXPECT_EQ(ReadFile(dir / "QORPRTW.INI"), "rest\n");
}

TEST_F(ClientTest, LaterRunsShowTheTimedWindow) {
  WriteFile(dir / "QORPRTW.INI", "rest\n");
  bool main_shown = false, help_shown = false;
  display.Then([&] { main_shown = Shows("QORPRINT Host Print Client") && !Shows("diskette"); })
      .Key(tk::key::F(1))
      .Then([&] { help_shown = Shows("QORPRTW HELP"); });
  EXPECT_EQ(Run({}), 0);
  EXPECT_TRUE(main_shown);
  EXPECT_TRUE(help_shown);
}

TEST_F(ClientTest, WithoutTheMessageFileTheProgramEndsAfterSayingSo) {
  std::filesystem::remove(dir / "QORPRTW.QOR");
  WriteFile(dir / "QORPRTW.INI", "rest\n");
  bool told = false;
  display.Then([&] { told = Shows("Error in opening DUVIZE.QOR File"); }).Key(tk::key::kEnter);
  display.SetFallback(tk::Event::Redisplay());  // no quit: the program must end by itself
  EXPECT_EQ(Run({}), 0);
  EXPECT_TRUE(told);
}

TEST_F(ClientTest, ExitDuringUnattendedPutsTwoEndRequests) {
  display.ClearFallback();  // count only the requests the window puts
  auto app = MakeApp();
  MainWindow window(app->ui, *app, app->commands, app->trace, app->state);
  app->wm.Add(window);
  app->state.unattended_active = true;
  window.HandleEvent(tk::Event::Key(tk::key::kCtrl | 'x'));
  tk::Event e;
  int quits = 0;
  while (app->queue.Poll(e))
    if (e.kind == tk::EventKind::kQuit) ++quits;
  EXPECT_EQ(quits, 2);
  app->state.unattended_active = false;
  window.HandleEvent(tk::Event::Key(tk::key::F(4) | tk::key::kAlt));
  quits = 0;
  while (app->queue.Poll(e))
    if (e.kind == tk::EventKind::kQuit) ++quits;
  EXPECT_EQ(quits, 1);
  app->wm.Remove(window);
}

TEST_F(ClientTest, MessagesInUnattendedOperationGoToTheStatusLine) {
  auto app = MakeApp();
  app->OpenMainWindow();
  app->state.unattended_active = true;
  display.SetFallback(tk::Event::Redisplay());  // a dialog would wait for ever
  EXPECT_EQ(app->ShowMessage("Job 7 refused", "HELP-702", client::kButtonOk), cmd::kOk);
  EXPECT_EQ(app->main_window->Status(), "Job 7 refused");
  app->wm.Remove(*app->main_window);
}

TEST_F(ClientTest, ReportMessageComposesPrefixAndLines) {
  auto app = MakeApp();
  std::string shown;
  display.Then([&] { shown = display.Dump(); }).Key(tk::key::kEnter);
  app->ReportMessage("NOTQOR", "Screen: XYZ", "HELP-703");
  EXPECT_NE(shown.find("Screen: XYZ"), std::string::npos);
  std::vector<std::string> lines = app->messages.MessageLines("NOTQOR");
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(shown.find(lines[0]), std::string::npos);
  EXPECT_EQ(app->ReportMessage("NO-SUCH-KEY", "x", nullptr), 0);  // nothing shown
}

TEST_F(ClientTest, MessageDialogSizesAndButtons) {
  auto app = MakeApp();
  tk::Rect one{}, three{}, wide{};
  int buttons_row = -1;
  std::string order;
  display.Then([&] { one = app->wm.Front()->GetRect(); })
      .Key(tk::key::kEnter)
      .Then([&] { three = app->wm.Front()->GetRect(); })
      .Key(tk::key::kEnter)
      .Then([&] { wide = app->wm.Front()->GetRect(); })
      .Key(tk::key::kEnter)
      .Then([&] {
        tk::Rect r = app->wm.Front()->GetRect();
        buttons_row = r.top + r.height - 3;
        order = display.Text(buttons_row);
      })
      .Key(tk::key::kEscape)
      .Key(tk::key::F(1));
  std::string text = "one line";
  EXPECT_EQ(MessageDialog(app->wm, app->texts, text, "", 0), cmd::kOk);
  EXPECT_EQ(one.width, 12 + 4);  // at least 12 columns a button
  EXPECT_EQ(one.height, 7);
  std::string lines3 = "a\nb\nc";
  MessageDialog(app->wm, app->texts, lines3, "T", 0);
  EXPECT_EQ(three.height, 9);
  EXPECT_EQ(lines3, std::string("a\0b\0c", 5));  // line feeds became NULs
  std::string long_line(200, 'x');
  MessageDialog(app->wm, app->texts, long_line, "T", 0);
  EXPECT_EQ(wide.width, 84);
  std::string ask = "Replace?";
  EXPECT_EQ(MessageDialog(app->wm, app->texts, ask, "T",
                          client::kButtonOk | client::kButtonCancel | client::kButtonHelp),
            cmd::kCancel);  // Esc presses Cancel
  size_t ok = order.find(app->texts("OK")), cancel = order.find(app->texts("CANCEL")),
         help = order.find(app->texts("HELP"));
  EXPECT_LT(ok, cancel);
  EXPECT_LT(cancel, help);
  std::string f1 = "F1";
  EXPECT_EQ(MessageDialog(app->wm, app->texts, f1, "T", 0), cmd::kHelp);  // no Help button
  EXPECT_EQ(display.Beeps(), 5);
}

TEST(HelpSizeTest, Limits) {
  EXPECT_EQ(HelpWindowSize(40, 40, false, 100).height, 18);
  EXPECT_EQ(HelpWindowSize(40, 16, false, 100).height, 14);
  EXPECT_EQ(HelpWindowSize(0, 0, false, 100).height, 4);  // an empty topic: minimal window
  EXPECT_EQ(HelpWindowSize(40, 5, false, 100).width, 72);
  EXPECT_EQ(HelpWindowSize(40, 5, true, 100).width, 82);
  EXPECT_EQ(HelpWindowSize(40, 5, true, 80).width, 80);  // never wider than the screen
}

TEST_F(ClientTest, HelpTopicsIndexAndNesting) {
  auto app = MakeApp();
  std::string nohelp, index, topic_from_index;
  bool index_item_in_nested_topic = true;
  display.Then([&] { nohelp = display.Dump(); })
      .Key(tk::key::kEscape)
      .Then([&] { index = display.Dump(); })
      .Key(tk::key::kEnter)  // opens the first listed topic
      .Then([&] {
        topic_from_index = app->wm.Front()->Title();
        auto& menus = app->wm.Front()->GetMenuBar().Menus();
        index_item_in_nested_topic = menus.size() > 1;
      })
      .Key(tk::key::kEscape)
      .Key(tk::key::kEscape);
  ShowHelp(app->help, "NO-SUCH-TOPIC");
  EXPECT_NE(nohelp.find(app->texts("NOHELP")), std::string::npos);
  ShowHelpIndex(app->help);
  EXPECT_NE(index.find("QORPRTW" + std::string(app->texts("HELPIXTITLE"))), std::string::npos);
  EXPECT_EQ(index.find("@"), std::string::npos);  // '@' titles are not listed
  EXPECT_EQ(topic_from_index, "QORPRTW HELP");
  EXPECT_FALSE(index_item_in_nested_topic);
  EXPECT_FALSE(app->help.index_open);
}

}  // namespace
