// The windows of the transfer engine driven as a user would on the headless
// display: the job dialog, the file and directory chooser, the log window
// and unattended operation.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "client/engine/job_name.h"
#include "client/engine/printer.h"
#include "client/engine/printer_selection.h"
#include "client/windows/file_dialog.h"
#include "client/windows/job_dialog.h"
#include "client/windows/log_window.h"
#include "client/windows/unattended_dialog.h"
#include "platform/paths.h"
#include "platform/print/print_recording_device.h"
#include "tests/client/transfer_fixture.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;
using tk::Event;
namespace key = tk::key;

class TransferDialogTest : public TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    app->engine.poll_seconds = 0;  // a poll every second
  }
  void TearDown() override {
    app->engine.poll_seconds = 15;
    TransferTest::TearDown();
  }
  static Event Command(int code, std::string text = {}) {
    return Event::Command(code, 0, 0, std::move(text));
  }
  static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST_F(TransferDialogTest, CancellingTheJobDialogKeepsOnlyTheChoices) {
  fs::create_directory(downloads + "/inner");
  ASSERT_EQ(chdir((downloads + "/inner").c_str()), 0);
  host.header = HeaderScreen("PAYROLL,00012", 'V', "QORPRINT", "    120", "    3");
  bool shown = false, changed = false;
  display
      .Then([&] {
        shown = Shows("Print Job from the Host") && Shows("QOR  PAYROLL,00012") && Shows("120") &&
                Shows("File name:  PAYROLL") && Shows("Directory:  " + dir.path());
      })
      .Send(Command(11303))  // Rename
      .Send(Command(11305))  // printer
      .Send(Command(11310))  // ASCII off
      .Send(Command(11304))  // the file chooser, in the current directory
      .Send(Command(10102, ".."))
      .Key(key::kEnter)  // OK with "*.*": only the directory changes
      .Then([&] { changed = Shows("Directory:  " + downloads) && Shows("File name:  PAYROLL"); })
      .Key(key::kEscape);
  app->state.download_dir = dir.path();
  EXPECT_EQ(ImmediateTransfer(app->work), 0);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(changed);
  EXPECT_EQ(app->state.download_dir, dir.path());
  EXPECT_EQ(app->state.job_file_name, "PAYROLL");
  EXPECT_EQ(app->state.duplicate_option, client::DuplicateOption::kRename);
  EXPECT_TRUE(app->state.to_printer);
  EXPECT_FALSE(app->state.ascii_option);
  EXPECT_TRUE(host.sent.empty());
}

TEST_F(TransferDialogTest, OkTakesTheChosenDirectoryAndRunsTheJob) {
  fs::create_directory(downloads + "/inner");
  ASSERT_EQ(chdir((downloads + "/inner").c_str()), 0);
  app->state.download_dir = dir.path();
  host.header = HeaderScreen("PAYROLL,00012");
  host.blocks = {HostBlock::Data("pay\r\n"), HostBlock::End()};
  bool transfer_window = false;
  host.on_start = [&] {
    app->wm.Redraw();
    transfer_window =
        Shows("Receiving job QOR PAYROLL,00012") && Shows("To: " + downloads + "/PAYROLL");
  };
  display.Send(Command(11304)).Send(Command(10102, "..")).Key(key::kEnter).Key(key::kEnter);
  EXPECT_EQ(ImmediateTransfer(app->work), 1);
  EXPECT_TRUE(transfer_window);
  EXPECT_EQ(app->state.download_dir, downloads);
  EXPECT_EQ(ReadFile(downloads + "/PAYROLL"), "pay\r\n");
}

TEST_F(TransferDialogTest, FileChooserListsWalksAndAnswers) {
  std::string d = downloads + "/pick";
  fs::create_directories(d + "/Sub");
  WriteFile(d + "/a.txt", "");
  WriteFile(d + "/B.txt", "");
  WriteFile(d + "/c.log", "");
  WriteFile(d + "/ro.txt", "");
  chmod((d + "/ro.txt").c_str(), 0444);
  WriteFile(d + "/.hidden", "");
  ASSERT_EQ(chdir(d.c_str()), 0);

  FileWindow w(app->ui, app->state.file_dialog_name, "Choose", FileChoice::kFile, nullptr);
  EXPECT_EQ(w.PathField().GetText(), d);  // names keep their case
  EXPECT_EQ(w.NameField()->GetText(), "*.*");
  std::vector<std::string> files, dirs;
  for (int i = 0; i < w.Files()->Count(); ++i) files.push_back(w.Files()->Item(i));
  for (int i = 0; i < w.Directories().Count(); ++i) dirs.push_back(w.Directories().Item(i));
  std::sort(files.begin(), files.end());
  std::sort(dirs.begin(), dirs.end());
  EXPECT_EQ(files,
            (std::vector<std::string>{"B.txt", "a.txt", "c.log"}));  // no read-only, no hidden
  EXPECT_EQ(dirs, (std::vector<std::string>{"..", "Sub"}));

  // A typed pattern starting with '*' lists the matching files only.
  tk::Rect c = w.ClientRect();
  display.Click(c.left + 14, c.top + 1)
      .Keys({key::kEnd, key::kBackspace, key::kBackspace, key::kBackspace})
      .Type("*.log")
      .Then([&] {
        ASSERT_EQ(w.Files()->Count(), 1);
        EXPECT_EQ(w.Files()->Item(0), "c.log");
      })
      .DoubleClick(c.left + 38, c.top + 4);  // the first file entry accepts the dialog
  int answer = app->wm.RunModal(w, {filecmd::kAccepted, cmd::kCancel});
  EXPECT_EQ(answer, filecmd::kAccepted);
  EXPECT_EQ(w.GetResult(), d + "/c.log");

  // Directory mode remembers the accepted file name; ".." walks up.
  std::string chosen;
  display.Send(Command(10102, "..")).Key(key::kEnter);
  ASSERT_TRUE(RunFileDialog(app->ui, app->state.file_dialog_name, "Dir", FileChoice::kDirectory,
                            (d + "/").c_str(), &chosen));
  EXPECT_EQ(chosen, downloads + "/c.log");
  EXPECT_EQ(platform::CurrentDirectory(), downloads);  // left where the user went

  display.Key(key::kEscape);
  EXPECT_FALSE(RunFileDialog(app->ui, app->state.file_dialog_name, "Dir", FileChoice::kDirectory,
                             (d + "/").c_str(), &chosen));
  EXPECT_EQ(chosen, downloads + "/c.log");
}

TEST_F(TransferDialogTest, LogWindowListsAndDeletes) {
  app->engine.log.AddJobRecord("JOB1,1        ", "QOR", "/data/JOB1");
  app->engine.log.AddStatusText("EIFcopy error RC=-1 link down");
  bool listed = false, empty = false;
  display
      .Then([&] {
        listed = Shows("Transfer Log") && Shows("QOR JOB JOB1,1") && Shows("        /data/JOB1") &&
                 Shows("EIFcopy error RC=-1 link down");
      })
      .Send(Command(logcmd::kDelete));
  ShowTransferLog(app->printer);
  display.Then([&] { empty = Shows("* * *"); }).Key(key::kEnter);
  EXPECT_EQ(ShowTransferLog(app->printer), cmd::kOk);
  EXPECT_TRUE(listed);
  EXPECT_TRUE(empty);
  EXPECT_TRUE(app->engine.log.Entries().empty());
}

TEST_F(TransferDialogTest, PrintLogGoesToTheChosenPrinterAndTheWindowStays) {
  ScopedEnv profile("QOR_PROFILE", dir / "profile.ini");
  WriteFile(dir / "profile.ini", "[windows]\ndevice=Office,pdf," + (dir / "office.pdf") +
                                     "\n[devices]\nOffice=pdf," + (dir / "office.pdf") + "\n");
  app->engine.log.AddJobRecord("JOB1,1        ", "QOR", "/data/JOB1");
  app->engine.log.AddStatusText("printer said\fno");
  bool still_open = false;
  display.Send(Command(logcmd::kPrint))
      .Send(Command(cmd::kCancel))  // the printer dialog: nothing printed
      .Then([&] { still_open = Shows("Delete log") && !fs::exists(dir / "office.pdf"); })
      .Send(Command(logcmd::kPrint))
      .Send(Command(cmd::kOk))
      .Key(key::kEscape);
  ShowTransferLog(app->printer);
  EXPECT_TRUE(still_open);
  ASSERT_TRUE(fs::exists(dir / "office.pdf"));
  std::string text = Shell("pdftotext -layout '" + (dir / "office.pdf") + "' - 2>/dev/null");
  if (text.empty()) GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_NE(text.find("Transfer Log"), std::string::npos) << text;
  EXPECT_NE(text.find("QOR JOB JOB1,1"), std::string::npos) << text;
  EXPECT_NE(text.find("/data/JOB1"), std::string::npos) << text;
  EXPECT_NE(text.find("printer said.no"), std::string::npos) << text;  // one page: no form feed
  EXPECT_EQ(text.find('\f'), text.rfind('\f'));
}

class TransferPrinterTest : public TransferDialogTest {
 protected:
  ScopedEnv profile{"QOR_PROFILE", dir / "profile.ini"};
  void SetUp() override {
    TransferDialogTest::SetUp();
    WriteFile(dir / "profile.ini", "[windows]\ndevice=Office,pdf," + (dir / "office.pdf") +
                                       "\n[devices]\nOffice=pdf," + (dir / "office.pdf") + "\n");
  }
};

TEST_F(TransferPrinterTest, JobDialogToThePrinter) {
  host.header = HeaderScreen("TOPRT,1");
  // The printer dialog cancelled: no print job, nothing sent.
  display.Send(Command(11305)).Key(key::kEnter).Send(Command(cmd::kCancel));
  EXPECT_EQ(ImmediateTransfer(app->work), -1);
  EXPECT_EQ(app->state.current_print_job, nullptr);
  EXPECT_TRUE(host.sent.empty());

  // A print job already open: refused.
  auto recording = std::make_shared<platform::PrintRecording>();
  app->state.current_print_job = std::make_unique<client::PrintJob>(
      app->state.printing, std::make_unique<platform::RecordingDevice>(recording, 6600, 100));
  bool refused = false;
  display.Key(key::kEnter).Then([&] { refused = Shows("already being printed"); }).Key(key::kEnter);
  EXPECT_EQ(ImmediateTransfer(app->work), 0);
  EXPECT_TRUE(refused);
  app->state.current_print_job.reset();

  // OK in both dialogs: the job is printed and its print job ended.
  host.blocks = {HostBlock::Data("printed line\r\n"), HostBlock::End()};
  display.Key(key::kEnter).Send(Command(cmd::kOk));
  EXPECT_EQ(ImmediateTransfer(app->work), 1);
  EXPECT_EQ(app->state.current_print_job, nullptr);
  EXPECT_TRUE(fs::exists(dir / "office.pdf"));
  EXPECT_NE(LogLines()[1].find("Office"), std::string::npos);
}

TEST_F(TransferPrinterTest, UnattendedToThePrinter) {
  // The printer dialog cancelled: unattended operation stays off.
  display.Send(Command(11305)).Key(key::kEnter).Send(Command(cmd::kCancel));
  EXPECT_EQ(UnattendedOperation(app->work), -1);
  EXPECT_FALSE(app->state.unattended_active);
  EXPECT_EQ(host.header_reads, 0);

  // Chosen once, then every job goes to that printer without a dialog.
  host.headers = {HeaderScreen("AUTOPRT,1"), "READY" + std::string(100, ' ')};
  host.on_start = [&] {
    host.blocks = {HostBlock::Data("unattended print\r\n"), HostBlock::End()};
  };
  display.Key(key::kEnter).Send(Command(cmd::kOk));
  for (int i = 0; i < 6; ++i)
    display
        .Then([&] {
          if (!fs::exists(dir / "office.pdf")) Pause(500);
        })
        .Send(Event::Redisplay());
  display.Send(Event::Quit());
  EXPECT_EQ(UnattendedOperation(app->work), cmd::kCancel);
  EXPECT_TRUE(fs::exists(dir / "office.pdf"));
  EXPECT_EQ(app->state.current_print_job, nullptr);
  EXPECT_NE(LogLines()[0].find("QOR JOB AUTOPRT,1"), std::string::npos);
}

TEST_F(TransferDialogTest, NoSecondJobStartsWhileOneRuns) {
  host.header = HeaderScreen("ONE,1");
  ParseHeader();
  int beeps = display.Beeps();
  host.on_start = [&] {
    app->commands.immediate();  // F6 reaching the main window from inside a wait
    app->commands.unattended();
  };
  host.blocks = {HostBlock::Data("one"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(display.Beeps(), beeps + 2);
  EXPECT_EQ(host.header_reads, 0);
  EXPECT_EQ(ReadFile(downloads + "/ONE"), "one");
}

TEST_F(TransferDialogTest, UnattendedRefusesAnExistingFileAtEveryPoll) {
  host.header = HeaderScreen("DUP,1");
  WriteFile(downloads + "/DUP", "old");
  int refused_seen = 0;
  display.Send(Command(11302)).Key(key::kEnter);
  for (int i = 0; i < 3; ++i)
    display.Then([&] { Pause(1100); }).Send(Event::Redisplay()).Then([&] {
      refused_seen += app->main_window->Status().find("Job refused") != std::string::npos;
    });
  display.Send(Event::Quit());
  EXPECT_EQ(UnattendedOperation(app->work), cmd::kCancel);
  EXPECT_TRUE(app->state.unattended_active);
  EXPECT_GE(host.header_reads, 2);
  EXPECT_GE(refused_seen, 2);
  EXPECT_TRUE(host.sent.empty());  // nothing sent for a refused job
  EXPECT_EQ(ReadFile(downloads + "/DUP"), "old");
}

TEST_F(TransferDialogTest, UnattendedTakesQueuedJobsAndShowsItsStatus) {
  std::string idle = "READY" + std::string(200, ' ');
  host.headers = {HeaderScreen("FIRST,1"), HeaderScreen("SECOND,2"), idle};
  host.header = idle;
  std::vector<std::string> statuses;
  host.on_start = [&] {
    statuses.push_back(app->main_window->Status());
    host.blocks = {HostBlock::Data(std::string(app->engine.header.job_ident, 6)), HostBlock::End()};
  };
  display.Key(key::kEnter);
  // The jobs' own loops take script steps too: wait until both have landed.
  for (int i = 0; i < 12; ++i)
    display
        .Then([&] {
          if (!fs::exists(downloads + "/SECOND")) Pause(500);
        })
        .Send(Event::Redisplay());
  display.Key(key::kCtrl | 'x');  // EXIT: one end request for polling, one for the main loop
  EXPECT_EQ(UnattendedOperation(app->work), cmd::kCancel);
  EXPECT_EQ(ReadFile(downloads + "/FIRST"), "FIRST,");
  EXPECT_EQ(ReadFile(downloads + "/SECOND"), "SECOND");
  ASSERT_EQ(statuses.size(), 2u);
  EXPECT_EQ(statuses[0], "Unattended: receiving job QOR FIRST,1       ");
  EXPECT_EQ(statuses[1], "Unattended: receiving job QOR SECOND,2      ");
  EXPECT_EQ(app->main_window->Status(), "Unattended: waiting for the next job from the host");
  tk::Event left;
  ASSERT_TRUE(app->queue.Poll(left));
  EXPECT_EQ(left.kind, tk::EventKind::kQuit);
}

TEST_F(TransferDialogTest, ExitTakenInsideAnUnattendedJobEndsPolling) {
  host.headers = {HeaderScreen("LAST,1"), "READY" + std::string(100, ' ')};
  host.on_start = [&] {
    host.blocks = {HostBlock::Data("last"), HostBlock::End()};
    // EXIT chosen while the job's waits pump events: both end requests are taken there.
    app->wm.RequestEnd();
    app->wm.RequestEnd();
    app->PumpEvent(0);
    app->PumpEvent(0);
  };
  display.Key(key::kEnter);
  for (int i = 0; i < 4; ++i) display.Then([&] { Pause(600); }).Send(Event::Redisplay());
  display.Send(Event::Quit());  // only reached if polling went on
  EXPECT_EQ(UnattendedOperation(app->work), cmd::kCancel);
  EXPECT_EQ(ReadFile(downloads + "/LAST"), "last");
  EXPECT_FALSE(display.ScriptDone());
}

TEST_F(TransferDialogTest, ChangingTheDirectoryThenCancellingKeepsIt) {
  fs::create_directory(downloads + "/auto");
  app->state.download_dir = downloads + "/auto";
  bool shown = false;
  display.Then([&] { shown = Shows("Unattended Operation") && Shows(downloads + "/auto"); })
      .Send(Command(11304))
      .Send(Command(10102, ".."))
      .Key(key::kEnter)
      .Key(key::kEscape);
  EXPECT_EQ(UnattendedOperation(app->work), 0);
  EXPECT_TRUE(shown);
  EXPECT_EQ(app->state.download_dir, downloads);
  EXPECT_FALSE(app->state.unattended_active);
  EXPECT_EQ(host.header_reads, 0);
}

}  // namespace
