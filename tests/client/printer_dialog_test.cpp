// The printer selection dialog with MODE and FONT, driven through the
// headless display on a printer list of PDF printers (no CUPS needed).
#include "client/windows/printer_dialog.h"

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "client/engine/printer_selection.h"
#include "client/windows/main_window.h"
#include "client/windows/printer_font_dialog.h"
#include "client/windows/printer_mode_dialog.h"
#include "platform/print/print_cups.h"
#include "platform/print/print_fonts.h"
#include "platform/print/print_recording_device.h"
#include "tests/client/client_fixture.h"

namespace {

constexpr int kCols = 100, kRows = 30;  // the fixture's headless screen

class PrinterDialogTest : public ClientTest {
 protected:
  std::string long_name = std::string(100, 'L');
  ScopedEnv profile{"QOR_PROFILE", dir / "profile.ini"};

  void SetUp() override {
    ClientTest::SetUp();
    // Listed in this order; the default is the second one.
    WriteFile(dir / "profile.ini",
              "[windows]\ndevice=Office,pdf," + (dir / "office.pdf") + "\n[devices]\nDraft=pdf," +
                  (dir / "draft.pdf") + "\nOffice=pdf," + (dir / "office.pdf") + "\nLabels=pdf," +
                  (dir / "labels.pdf") + "\nArchive=pdf," + (dir / "archive.pdf") + "\n" +
                  long_name + "=pdf," + (dir / "long.pdf") + "\n" + std::string(140, 'X') +
                  "=pdf," + (dir / "too-long.pdf") + "\n");
  }
  // Every client has its own printing context: the last one made here.
  std::unique_ptr<ClientApp> MakeApp() {
    auto app = ClientTest::MakeApp();
    app_ = app.get();
    return app;
  }
  client::Printing& printing() { return app_->state.printing; }
  const char* Name() { return printing().PrinterName(); }
  ClientApp* app_ = nullptr;

  // Screen cell of a position inside PRTR_WINDOW's client area.
  static tk::Point Cell(int x, int y) {
    tk::Point corner = tk::CenterWindow({kCols, kRows}, 45, 12);
    return {corner.x + 1 + x, corner.y + 1 + y};
  }
  static tk::Point ListRow(int k) { return Cell(2, 3 + k); }
  // The name field as shown (30 cells from (12,1)).
  std::string Field() const {
    tk::Point p = Cell(12, 1);
    std::string s = display.TextAt(p.x, p.y, 30);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  void Press(int command) { display.Send(tk::Event::Command(command)); }
};

TEST_F(PrinterDialogTest, ShowsItsLayoutWithTheDefaultPrinterAndTheListInItsOrder) {
  auto app = MakeApp();
  std::string dump;
  std::string arrow_up, arrow_down;
  tk::Point title, prompt, office, draft, labels, archive, setup, font, ok, cancel, help;
  display.Then([&] {
    dump = display.Dump();
    title = display.Find("Printer Selection");
    prompt = display.Find("Printer:");
    office = display.Find("Office");  // first in the field, above the list
    draft = display.Find("Draft");
    labels = display.Find("Labels");
    archive = display.Find("Archive");
    setup = display.Find("Setup...");
    font = display.Find("Font...");
    ok = display.Find("OK");
    cancel = display.Find("Cancel");
    help = display.Find("Help");
    arrow_up = display.TextAt(Cell(24, 3).x, Cell(24, 3).y, 1);
    arrow_down = display.TextAt(Cell(24, 6).x, Cell(24, 6).y, 1);
  });
  display.SetFallback(tk::Event::Close());
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  if (getenv("QOR_SHOW_DIALOG")) printf("%s", dump.c_str());
  tk::Point corner = tk::CenterWindow({kCols, kRows}, 45, 12);
  EXPECT_EQ(title.y, corner.y);
  EXPECT_EQ(prompt.x, Cell(1, 1).x);
  EXPECT_EQ(prompt.y, Cell(1, 1).y);
  // The field shows the default printer: "device" of [windows] up to its comma.
  EXPECT_EQ(office.x, Cell(12, 1).x);
  EXPECT_EQ(office.y, Cell(12, 1).y);
  // The list: names in "devices" order from (1,3), four rows and a scroll bar.
  EXPECT_EQ(draft.x, Cell(1, 3).x);
  EXPECT_EQ(draft.y, Cell(1, 3).y);
  EXPECT_EQ(labels.y, Cell(1, 5).y);
  EXPECT_EQ(archive.y, Cell(1, 6).y);
  EXPECT_EQ(arrow_up, "▲");  // the list's last column
  EXPECT_EQ(arrow_down, "▼");
  // The buttons, 10 wide, at their places.
  auto within = [](tk::Point p, tk::Point from) {
    return p.y == from.y && p.x >= from.x && p.x < from.x + 10;
  };
  EXPECT_TRUE(within(setup, Cell(30, 3)));
  EXPECT_TRUE(within(font, Cell(30, 5)));
  EXPECT_TRUE(within(ok, Cell(4, 8)));
  EXPECT_TRUE(within(cancel, Cell(16, 8)));
  EXPECT_TRUE(within(help, Cell(28, 8)));

  std::vector<std::string> names = ListedPrinterNames();
  ASSERT_EQ(names.size(), 5u);  // the 140-character name cannot be kept
  EXPECT_EQ(names[4], long_name);
}

// An empty list says why, in the list and in the transfer log; OK then gives
// no device.
TEST_F(PrinterDialogTest, AnEmptyListSaysWhyThereAndInTheLog) {
  // A loopback port that refuses connections: bound, never listening.
  int refusing = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof at;
  ASSERT_EQ(bind(refusing, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
  ASSERT_EQ(getsockname(refusing, reinterpret_cast<sockaddr*>(&at), &length), 0);
  const std::string server = "127.0.0.1:" + std::to_string(ntohs(at.sin_port));
  ScopedEnv cups("CUPS_SERVER", server);
  WriteFile(dir / "none.ini", "[windows]\ndevice=Office,pdf,/x.pdf\n[devices]\n");
  const struct {
    std::string profile, first_row, reason;
  } cases[] = {
      {dir / "none.ini", "The printer profile",
       "The printer profile " + (dir / "none.ini") + " (QOR_PROFILE) defines no printers."},
      {dir / "missing.ini", "The printer profile",
       " (QOR_PROFILE) cannot be read: No such file or directory."},
      {"", "No CUPS server is", "No CUPS server is reachable at " + server + "."},
  };
  for (const auto& c : cases) {
    ScopedEnv profile_file("QOR_PROFILE", c.profile);
    cupsSetServer(nullptr);  // CUPS_SERVER afresh
    auto app = MakeApp();
    std::string row;
    display.Then([&] { row = display.TextAt(ListRow(0).x - 1, ListRow(0).y, 23); });
    Press(cmd::kOk);
    EXPECT_EQ(RunPrinterDialog(app->printer), nullptr) << c.reason;
    EXPECT_EQ(row.find(c.first_row), 0u) << row;
    ASSERT_FALSE(app->engine.log.Entries().empty()) << c.reason;
    const std::string logged = app->engine.log.Entries().back().text;
    EXPECT_EQ(logged.find("No printer to print on: "), 0u) << logged;
    EXPECT_NE(logged.find(c.reason), std::string::npos) << logged;
  }
  close(refusing);
  cupsSetServer(nullptr);
}

TEST_F(PrinterDialogTest, ThirdPrinterPickedThenOkGivesItsDevice) {
  auto app = MakeApp();
  tk::Point third = ListRow(2);
  std::string field;
  display.Click(third.x, third.y).Then([&] { field = Field(); });
  Press(cmd::kOk);
  auto device = RunPrinterDialog(app->printer);
  ASSERT_NE(device, nullptr);
  EXPECT_STREQ(Name(), "Labels");  // the third key of "devices"
  EXPECT_EQ(field, "Labels");
  // The device prints to that printer's file.
  ASSERT_GT(device->StartDocument("QORPRTW.1"), 0);
  ASSERT_GE(device->BeginPage(), 0);
  device->EndPage();
  device->EndDocument();
  device.reset();
  EXPECT_TRUE(std::filesystem::exists(dir / "labels.pdf"));
}

TEST_F(PrinterDialogTest, ReopeningShowsTheDefaultPrinterAgain) {
  auto app = MakeApp();
  display.Key(tk::key::kDown).Key(tk::key::kDown).Key(tk::key::kDown);
  Press(cmd::kOk);
  ASSERT_NE(RunPrinterDialog(app->printer), nullptr);
  EXPECT_EQ(std::string(Name()), long_name);  // not cut at 80

  std::string field;
  display.Then([&] { field = Field(); });
  Press(cmd::kOk);
  ASSERT_NE(RunPrinterDialog(app->printer), nullptr);
  EXPECT_EQ(field, "Office");
  EXPECT_STREQ(Name(), "Office");
}

TEST_F(PrinterDialogTest, CancelGivesNoDeviceButKeepsTheLastPick) {
  auto app = MakeApp();
  tk::Point first = ListRow(0), third = ListRow(2);
  display.Click(first.x, first.y).Click(third.x, third.y).Key(tk::key::kEscape);
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_STREQ(Name(), "Labels");

  // The window's close request cancels too; so does the Cancel button.
  display.Click(first.x, first.y).Send(tk::Event::Close());
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_STREQ(Name(), "Draft");
  Press(cmd::kCancel);
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_STREQ(Name(), "Office");
}

TEST_F(PrinterDialogTest, ProgramEndEndsTheDialogWithoutADeviceAndReachesTheMainLoop) {
  auto app = MakeApp();
  app->OpenMainWindow();
  display.SetFallback(tk::Event::Redisplay());
  Press(cmd::kExit);  // addressed to the front window: the dialog
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  tk::Event e;
  EXPECT_TRUE(app->queue.Pending() && app->queue.Poll(e) && e.kind == tk::EventKind::kQuit);
  app->wm.Remove(*app->main_window);
}

TEST_F(PrinterDialogTest, HelpShowsThePrinterTopicAndTheDialogStays) {
  auto app = MakeApp();
  bool help = false, back = false;
  display.Key(tk::key::F(1))
      .Then([&] { help = Shows("Printer selection") && Shows("two-sided printing"); })
      .Key(tk::key::kEscape)
      .Then([&] { back = Shows("Printer Selection") && !Shows("two-sided printing"); });
  Press(cmd::kOk);
  EXPECT_NE(RunPrinterDialog(app->printer), nullptr);
  EXPECT_TRUE(help);
  EXPECT_TRUE(back);
}

TEST_F(PrinterDialogTest, ModeChoiceStaysInForceWhenAnotherPrinterIsPicked) {
  auto app = MakeApp();
  ASSERT_TRUE(app->trace.Start("QORPRTW.TRC", common::TraceMode::kFresh));
  bool shown = false;
  tk::Point third = ListRow(2);
  Press(printer_dialog::kMode);
  display.Then([&] { shown = Shows("Orientation:") && Shows("portrait") && Shows("A4 210x297mm"); })
      .Key(tk::key::kTab)    // paper -> orientation
      .Key(tk::key::kDown);  // portrait -> landscape
  Press(cmd::kOk);
  display.Click(third.x, third.y);
  Press(cmd::kOk);
  {
    ScopedEnv paper("LC_PAPER", "de_DE.UTF-8");
    ASSERT_NE(RunPrinterDialog(app->printer), nullptr);
  }
  EXPECT_TRUE(shown);
  EXPECT_STREQ(Name(), "Labels");
  auto mode = printing().selection.printer_devmode;
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->orientation, "landscape");
  EXPECT_EQ(mode->media, "iso_a4_210x297mm");
  // The block as the printer's defaults gave it, traced whole.
  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  EXPECT_NE(trace.find(
                " DEV MODE <>media=iso_a4_210x297mm orientation=portrait sides=one-sided copies=1"),
            std::string::npos);
  EXPECT_NE(trace.find(" PRINTER:printsetup <>Labels"), std::string::npos);

  // Each press starts from the printer's defaults: a cancelled second
  // dialog leaves the defaults, and a job started earlier keeps its block.
  bool fresh = false;
  Press(printer_dialog::kMode);
  display.Then([&] { fresh = Shows("portrait") && !Shows("landscape"); }).Key(tk::key::kEscape);
  Press(cmd::kCancel);
  {
    ScopedEnv paper("LC_PAPER", "de_DE.UTF-8");
    EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  }
  EXPECT_TRUE(fresh);
  ASSERT_NE(printing().selection.printer_devmode, nullptr);
  EXPECT_EQ(printing().selection.printer_devmode->orientation, "portrait");
  EXPECT_EQ(mode->orientation, "landscape");
}

TEST_F(PrinterDialogTest, ModeFailuresAreShownAndLeaveTheSelection) {
  auto app = MakeApp();
  auto before = std::make_shared<const platform::DeviceMode>(platform::DeviceMode{"A5", "", "", 2});
  printing().selection.printer_devmode = before;
  printing().hooks.query_capabilities = [](const std::string&, platform::DeviceCapabilities* c) {
    *c = platform::DeviceCapabilities();  // a destination that offers nothing
    return true;
  };
  std::string no_length;
  Press(printer_dialog::kMode);
  display
      .Then([&] {
        no_length = Shows("ZEZUVODU") && Shows("Got no length") ? "shown" : display.Dump();
      })
      .Key(tk::key::kEnter);
  Press(cmd::kCancel);
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_EQ(no_length, "shown");
  EXPECT_EQ(printing().selection.printer_devmode, before);

  // Defaults the block cannot hold are discarded; a destination that cannot
  // say what it offers is reported as such.
  printing().hooks.query_capabilities = [](const std::string&, platform::DeviceCapabilities* c) {
    platform::PdfFileCapabilities(c);
    c->defaults.media = "bad media";
    return true;
  };
  bool no_devmode = false, no_info = false;
  Press(printer_dialog::kMode);
  display.Then([&] { no_devmode = Shows("Got no devmode"); }).Key(tk::key::kEnter);
  display.Then([&] {
    printing().hooks.query_capabilities = [](const std::string&, platform::DeviceCapabilities*) {
      return false;
    };
  });
  Press(printer_dialog::kMode);
  display.Then([&] { no_info = Shows("GetPrinter failed 0 [84]"); }).Key(tk::key::kEnter);
  Press(cmd::kCancel);
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_TRUE(no_devmode);
  EXPECT_TRUE(no_info);
  EXPECT_EQ(printing().selection.printer_devmode, before);

  // A printer the list does not hold cannot be opened.
  printing().hooks = client::PrinterSetupHooks();
  WriteFile(dir / "profile.ini",
            "[windows]\ndevice=Gone,pdf,/tmp/gone.pdf\n[devices]\nDraft=pdf,x.pdf\n");
  bool cannot_open = false;
  Press(printer_dialog::kMode);
  display.Then([&] { cannot_open = Shows("ZEZUVODU") && Shows("Cannot OpenPrinter"); })
      .Key(tk::key::kEnter);
  Press(cmd::kCancel);
  EXPECT_EQ(RunPrinterDialog(app->printer), nullptr);
  EXPECT_TRUE(cannot_open);
  EXPECT_EQ(printing().selection.printer_devmode, before);
}

TEST_F(PrinterDialogTest, ModeOffersWhatTheDestinationSupportsPlusTheCurrentValue) {
  auto app = MakeApp();
  platform::DeviceCapabilities caps;
  caps.media = {"na_letter_8.5x11in", "bad media", "iso_a4_210x297mm"};
  caps.orientations = {"portrait"};
  caps.max_copies = 5;
  platform::DeviceMode mode{"custom_ticket_80x200mm", "portrait", "", 0};
  bool shown = false;
  display.Then([&] { shown = Shows("Ticket 80x200mm") && Shows("(printer's own)"); })
      .Key(tk::key::kDown)  // paper: the next offered one
      .Key(tk::key::kTab)   // orientation
      .Key(tk::key::kTab)   // copies (sides offer nothing to choose)
      .Type("3");
  Press(cmd::kOk);
  ASSERT_TRUE(RunModeDialog(app->wm, app->texts, "Draft", caps, &mode));
  EXPECT_TRUE(shown);
  EXPECT_EQ(mode.media, "na_letter_8.5x11in");  // "bad media" is never offered
  EXPECT_EQ(mode.sides, "");
  EXPECT_EQ(mode.copies, 3);

  EXPECT_EQ(MediaLabel("iso_a4_210x297mm"), "A4 210x297mm");
  EXPECT_EQ(MediaLabel("na_letter_8.5x11in"), "Letter 8.5x11in");
  EXPECT_EQ(MediaLabel("A4"), "A4");
}

TEST_F(PrinterDialogTest, FontConfirmedTwiceReplacesTheFontAndCancelKeepsIt) {
  auto app = MakeApp();
  printing().hooks.list_families = [] {
    return std::vector<std::string>{"Mono A", "Mono B", "Sans C"};
  };
  printing().hooks.create_device = [] {
    return std::make_unique<platform::RecordingDevice>(std::make_shared<platform::PrintRecording>(),
                                                       6000, 100);
  };
  bool listed = false;
  Press(printer_dialog::kFont);
  display.Then([&] { listed = Shows("Mono A") && Shows("Sans C") && Shows("Printer's"); })
      .Key(tk::key::kDown);  // Mono B
  display.Key(tk::key::kTab);
  for (int i = 0; i < 7; ++i) display.Key(tk::key::kDown);  // the seventh size: 12
  display.Key(tk::key::kTab).Key(' ');                      // bold
  display.Key(tk::key::kEnter);
  Press(printer_dialog::kFont);  // the second time: first family, printer's size
  display.Key(tk::key::kEnter);
  const platform::PrintFont* second = nullptr;
  display.Then([&] { second = printing().selection.printer_font.get(); });
  Press(printer_dialog::kFont);  // the third: cancelled
  display.Key(tk::key::kEscape);
  Press(cmd::kOk);
  ASSERT_NE(RunPrinterDialog(app->printer), nullptr);
  EXPECT_TRUE(listed);
  ASSERT_NE(printing().selection.printer_font, nullptr);
  const platform::PrintFont& font = *printing().selection.printer_font;
  EXPECT_EQ(font.family, "Mono A");
  EXPECT_EQ(font.height, 100);  // the device's character height
  EXPECT_EQ(font.width, 50);    // and average width
  EXPECT_FALSE(font.bold);
  EXPECT_EQ(second, printing().selection.printer_font.get());  // cancel changed nothing
}

TEST_F(PrinterDialogTest, FontSizeBoldAndTheZeroWidthWarning) {
  auto app = MakeApp();
  printing().hooks.list_families = [] { return std::vector<std::string>{"Mono A", "Mono B"}; };
  int line = 100;
  printing().hooks.create_device = [&line] {
    return std::make_unique<platform::RecordingDevice>(std::make_shared<platform::PrintRecording>(),
                                                       6000, line);
  };
  display.Key(tk::key::kDown).Key(tk::key::kTab);
  for (int i = 0; i < 7; ++i) display.Key(tk::key::kDown);
  display.Key(tk::key::kTab).Key(' ').Key(tk::key::kEnter);
  ChoosePrintFont(app->printer);
  ASSERT_NE(printing().selection.printer_font, nullptr);
  EXPECT_EQ(printing().selection.printer_font->family, "Mono B");
  EXPECT_EQ(printing().selection.printer_font->height, 100);  // 12 points
  EXPECT_EQ(printing().selection.printer_font->width, 0);
  EXPECT_TRUE(printing().selection.printer_font->bold);

  // A device whose default font has no average width: told, font made anyway.
  line = 1;
  bool warned = false;
  display.Key(tk::key::kEnter)
      .Then([&] { warned = Shows("ZEZUVODU") && Shows("Width ain't gonna work"); })
      .Key(tk::key::kEnter);
  ChoosePrintFont(app->printer);
  EXPECT_TRUE(warned);
  ASSERT_NE(printing().selection.printer_font, nullptr);
  EXPECT_EQ(printing().selection.printer_font->family, "Mono A");
  EXPECT_EQ(printing().selection.printer_font->height, 1);

  // No device for the printer: told, nothing changes.
  printing().hooks.create_device = [] { return std::unique_ptr<platform::PrintDevice>(); };
  bool refused = false;
  display.Then([&] { refused = Shows("Cannot OpenPrinter"); }).Key(tk::key::kEnter);
  ChoosePrintFont(app->printer);
  EXPECT_TRUE(refused);
  EXPECT_EQ(printing().selection.printer_font->family, "Mono A");
}

TEST_F(PrinterDialogTest, FontOnThePdfPrinterOffersTheInstalledFamiliesMonospacedFirst) {
  auto app = MakeApp();
  printing().SetPrinterName("Office");
  std::vector<std::string> families = platform::ListFontFamilies();
  std::string first_row;
  display.Then([&] { first_row = display.Dump(); }).Key(tk::key::kEnter);
  ChoosePrintFont(app->printer);
  ASSERT_NE(printing().selection.printer_font, nullptr);
  const platform::PrintFont& font = *printing().selection.printer_font;
  // The printer's own size: its default font's metrics, in 1/600 inch.
  auto device = client::CreatePrinterDC(printing().selection, printing().Trace());
  ASSERT_NE(device, nullptr);
  int height = 0, width = 0;
  device->DefaultFontMetrics(&height, &width);
  EXPECT_EQ(font.height, height);
  EXPECT_EQ(font.width, width);
  EXPECT_GT(font.height, 0);
  if (families.empty()) {
    EXPECT_EQ(font.family, "monospace");
  } else {
    EXPECT_EQ(font.family, families[0]);
    EXPECT_NE(first_row.find(families[0].substr(0, 20)), std::string::npos);
  }
}

TEST(PrintFontForTest, ScalesToSixHundredPerInchRoundingToNearest) {
  bool no_width = true;
  FontChoice twelve{"Mono", 12, false, true};
  platform::PrintFont f = PrintFontFor(twelve, 0, 0, 600, 600, &no_width);
  EXPECT_EQ(f.height, 100);
  EXPECT_EQ(f.width, 0);
  EXPECT_TRUE(f.italic);
  EXPECT_FALSE(no_width);
  // On a 300-dpi device the defaults double; 7 pixels at 254 dpi round to 17.
  FontChoice own{"Mono", 0, false, false};
  f = PrintFontFor(own, 45, 25, 300, 300, &no_width);
  EXPECT_EQ(f.height, 90);
  EXPECT_EQ(f.width, 50);
  f = PrintFontFor(own, 7, 7, 254, 240, &no_width);
  EXPECT_EQ(f.height, 18);  // 7 * 600 / 240 = 17.5
  EXPECT_EQ(f.width, 17);   // 7 * 600 / 254 = 16.5...
  f = PrintFontFor(own, 50, 0, 600, 600, &no_width);
  EXPECT_TRUE(no_width);
  EXPECT_EQ(f.height, 50);
}

}  // namespace
