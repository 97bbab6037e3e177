// The transfer engine against a scripted host: header checks, the download
// step's names and duplicate rules, the block loop and how every job ends,
// progress, and the transfer log.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>

#include "client/engine/download_ledger.h"
#include "client/engine/job_file.h"
#include "client/engine/job_name.h"
#include "client/engine/printer.h"
#include "client/windows/job_dialog.h"
#include "client/windows/progress_bar.h"
#include "client/windows/window_front_end.h"
#include "platform/print/print_recording_device.h"
#include "tests/client/transfer_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(JobHeaderTest, MarkerLevelFileNameAndCounts) {
  client::ClientState st;
  client::JobHeader h;
  std::string lower = HeaderScreen("PAYROLL,12345", 'V', "qorPrint", "     23", "    2");
  EXPECT_TRUE(client::IsJobHeader(lower.data(), lower.size()));
  EXPECT_FALSE(client::IsJobHeader("QORPRIN", 7));
  ASSERT_EQ(client::ParseJobHeader(lower.data(), lower.size(), h, st), 0);
  EXPECT_EQ(st.job_file_name, "PAYROLL");
  EXPECT_STREQ(h.job_ident, "PAYROLL,12345 ");
  EXPECT_STREQ(h.job_prefix, "QOR");
  EXPECT_STREQ(h.job_code, "LST");
  EXPECT_EQ(h.job_lines, 23);
  EXPECT_EQ(h.job_pages, 2);

  std::string no_comma = HeaderScreen("SHORT", 'V', "QORPRINT", "       ", "     ");
  ASSERT_EQ(client::ParseJobHeader(no_comma.data(), no_comma.size(), h, st), 0);
  EXPECT_EQ(st.job_file_name,
            "SHORT         ");  // all 14, blanks kept until the download trims them
  EXPECT_EQ(h.job_lines, 0);
  EXPECT_EQ(h.job_pages, 0);

  std::string digits = HeaderScreen("X", 'V', "QORPRINT", "  12x45", "00007");
  ASSERT_EQ(client::ParseJobHeader(digits.data(), digits.size(), h, st), 0);
  EXPECT_EQ(h.job_lines, 12);
  EXPECT_EQ(h.job_pages, 7);

  std::string lower_level = HeaderScreen("OTHER,1", 'v');
  EXPECT_EQ(client::ParseJobHeader(lower_level.data(), lower_level.size(), h, st), 1);
  EXPECT_EQ(st.job_file_name, "X             ");  // nothing copied
  // A screen that ends before the level position is refused without reading past it.
  EXPECT_EQ(client::ParseJobHeader("QORPRINT", 8, h, st), 1);
}

TEST(DownloadTest, TargetPathsAndNumbering) {
  EXPECT_EQ(client::BuildTargetPath("/data/*.*", "JOB"), "/data/JOB");
  EXPECT_EQ(client::BuildTargetPath("/data/", "JOB"), "/data/JOB");
  EXPECT_EQ(client::BuildTargetPath("", "JOB"), "/JOB");

  TempDir t;
  std::string d = t.path() + "/spool.dir";  // a dot in the directory's name
  fs::create_directory(d);
  EXPECT_EQ(client::NumberTarget(d + "/name"), d + "/name.1");  // no numbered file yet
  WriteFile(d + "/name", "");
  WriteFile(d + "/name.1", "");
  WriteFile(d + "/name.7", "");
  WriteFile(d + "/other.9", "");
  WriteFile(d + "/names.20", "");
  EXPECT_EQ(client::NumberTarget(d + "/name"), d + "/name.8");
  WriteFile(d + "/rep.lst", "");
  WriteFile(d + "/rep.3", "");
  EXPECT_EQ(client::NumberTarget(d + "/rep.lst"), d + "/rep.4");
  fs::create_directory(d + "/name.12");  // a matching subdirectory counts
  EXPECT_EQ(client::NumberTarget(d + "/name"), d + "/name.13");
  WriteFile(d + "/*.40", "");  // a job name's wildcard matches only itself
  EXPECT_EQ(client::NumberTarget(d + "/name"), d + "/name.13");
}

TEST_F(TransferTest, RefusedScreensSendNothingToTheHost) {
  bool not_qor = false, level = false, link = false;
  host.header = "READY; T=0.01/0.01 12:00:00" + std::string(100, ' ');
  display
      .Then([&] {
        not_qor = Shows("READY; T=0.01/0.01 12:00:00") && Shows("not a print job header");
      })
      .Key(tk::key::kEnter);
  EXPECT_EQ(ImmediateTransfer(app->work), 0);
  host.header = HeaderScreen("JOB,1", 'v');
  display.Then([&] { level = Shows("level this client does not support"); }).Key(tk::key::kEnter);
  EXPECT_EQ(ImmediateTransfer(app->work), 0);
  host.header.clear();
  display.Then([&] { link = Shows("link down") && Shows("could not be read"); })
      .Key(tk::key::kEnter);
  EXPECT_EQ(ImmediateTransfer(app->work), 0);
  EXPECT_TRUE(not_qor);
  EXPECT_TRUE(level);
  EXPECT_TRUE(link);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(LogLines(), std::vector<std::string>{"* * *"});
}

TEST_F(TransferTest, AJobLandsInTheDownloadDirectoryByteForByte) {
  host.header = HeaderScreen("MONTHRPT,0042", 'V', "QORPRINT", "      2", "    1");
  ParseHeader();
  host.blocks = {HostBlock::Data("Line 1\r\n"), HostBlock::Data("Line 2\r\n\f"), HostBlock::End()};
  // The Clear on the end marker tells the host the job is safe: the file has its name by then.
  bool named_at_acknowledgement = false;
  host.on_key = [&](const std::string& key) {
    if (key == "Clear" && host.blocks.empty())
      named_at_acknowledgement = fs::exists(downloads + "/MONTHRPT");
  };
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_TRUE(named_at_acknowledgement);
  EXPECT_EQ(ReadFile(downloads + "/MONTHRPT"), "Line 1\r\nLine 2\r\n\f");
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "Clear",
                                                 "Clear", "Reset"}));
  EXPECT_EQ(app->engine.LastJob().end, client::JobEnd::kDelivered);
  EXPECT_EQ(app->engine.counts.lines, 2);
  EXPECT_EQ(app->engine.counts.pages, 1);
  EXPECT_EQ(app->engine.counts.characters, 17);  // carriage returns and line feeds count
  ASSERT_EQ(LogLines().size(), 2u);
  EXPECT_NE(LogLines()[0].find(" QOR JOB MONTHRPT,0042"), std::string::npos);
  EXPECT_EQ(LogLines()[1], "        " + downloads + "/MONTHRPT");
  EXPECT_EQ(app->wm.Windows().size(), 1u);  // the transfer window is gone
}

TEST_F(TransferTest, CutModeStartsWithPf7) {
  app->state.cut_mode = true;
  host.header = HeaderScreen("CUT");
  ParseHeader();
  host.blocks = {HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(host.Count("PF7"), 1);
  EXPECT_EQ(host.Count("PF6"), 0);
}

TEST_F(TransferTest, EndMarkerAndZeroBytesLimitWhatIsWritten) {
  host.header = HeaderScreen("EMPTY");
  ParseHeader();
  host.blocks = {HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_TRUE(fs::exists(downloads + "/EMPTY"));
  EXPECT_EQ(ReadFile(downloads + "/EMPTY"), "");

  host.header = HeaderScreen("ZERO");
  ParseHeader();
  host.blocks = {HostBlock::Data(std::string("ab\0cd", 5)), HostBlock::Data("ef"),
                 HostBlock::End("and more text")};
  // A zero byte comes only from a character outside the encoding: the job is damaged.
  app->state.unattended_active = true;
  EXPECT_EQ(app->engine.Download(), 1);
  app->state.unattended_active = false;
  EXPECT_TRUE(LogHas(
      "Job QOR ZERO           incomplete: a screen held characters outside the encoding; 4 bytes"));
  EXPECT_FALSE(fs::exists(downloads + "/ZERO"));
  EXPECT_EQ(ReadFile(downloads + "/ZERO.incomplete"), "abef");
  EXPECT_EQ(app->engine.counts.characters, 4);

  // "$-+ENDPRINT+-" with a different last character is data.
  host.header = HeaderScreen("NEAR");
  ParseHeader();
  host.blocks = {HostBlock::Data("$-+ENDPRINT+-x"), HostBlock::Data("$-+endprint+-$"),
                 HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/NEAR"), "$-+ENDPRINT+-x$-+endprint+-$");
}

// A job that reached its end marker is still checked against its header:
// fewer line or page breaks than announced (less one) means blocks went
// missing; more is only noted; blank counts are not checked.
TEST_F(TransferTest, ShortJobsAreKeptAsIncompleteAndNeverTakeTheirName) {
  app->state.unattended_active = true;  // reports go to the log only
  struct Case {
    const char* name;
    const char* lines;
    const char* pages;
    std::string data;
    bool delivered;
    const char* logged;
  } cases[] = {
      {"EXACT", "      3", "    2", "a\nb\n\fc\n", true, nullptr},
      {"LASTOPEN", "      3", "    2", "a\nb\n\fc", true,
       nullptr},  // last line and page without a break
      {"BLANK", "       ", "     ", "x", true, nullptr},
      {"SHORT", "    220", "    4", std::string(188, '\n') + "\f\f\f", false,
       "incomplete: 188 of 220 lines received"},
      {"PAGES", "       ", "    9", "\f\f", false, "incomplete: 2 of 9 pages received"},
      {"MORE", "      1", "     ", "\n\n\n", true, "MORE          : 3 lines received, 1 announced"},
  };
  for (const Case& c : cases) {
    host.header = HeaderScreen(c.name, 'V', "QORPRINT", c.lines, c.pages);
    ParseHeader();
    host.blocks = {HostBlock::Data(c.data), HostBlock::End()};
    EXPECT_EQ(app->engine.Download(), 1) << c.name;
    EXPECT_EQ(fs::exists(downloads + "/" + c.name), c.delivered) << c.name;
    EXPECT_EQ(fs::exists(downloads + "/" + c.name + ".incomplete"), !c.delivered) << c.name;
    EXPECT_EQ(ReadFile(downloads + "/" + c.name + (c.delivered ? "" : ".incomplete")), c.data)
        << c.name;
    if (c.logged) {
      EXPECT_TRUE(LogHas(c.logged)) << c.name;
    }
  }
  EXPECT_FALSE(LogHas("EXACT           incomplete"));
  // Nothing is left under a temporary name; the clients' ledger is no job's.
  for (auto& e : fs::directory_iterator(downloads)) {
    std::string name = e.path().filename().string();
    EXPECT_TRUE(name[0] != '.' || name == client::DownloadLedger::kFileName) << name;
  }
}

// Unattended, a job never replaces a file an earlier job of the run delivered
// (two idents can share a file name); a file that was there before is
// replaced as chosen, but only once the new job is complete.
TEST_F(TransferTest, UnattendedJobsNeverReplaceEachOther) {
  WriteFile(downloads + "/PAIR", "from yesterday");
  app->state.unattended_active = true;
  const char* idents[] = {"PAIR.B,1", "PAIR.C,2"};
  for (const char* ident : idents) {
    host.header = HeaderScreen(ident);
    ParseHeader();
    app->state.job_file_name = "PAIR";  // what the host's idents come to
    host.blocks = {HostBlock::Data(ident), HostBlock::End()};
    EXPECT_EQ(app->engine.Download(), 1);
  }
  EXPECT_EQ(ReadFile(downloads + "/PAIR"), "PAIR.B,1");
  EXPECT_EQ(ReadFile(downloads + "/PAIR.1"), "PAIR.C,2");
  EXPECT_TRUE(
      LogHas("came from an earlier job of this run; this one goes to " + downloads + "/PAIR.1"));

  // A job cut short leaves the file it would have replaced alone.
  host.header = HeaderScreen("KEEP,3");
  ParseHeader();
  WriteFile(downloads + "/KEEP", "good");
  host.lose_after = host.blocks_read + 1;
  host.blocks = {HostBlock::Data("par"), HostBlock::Data("tial"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/KEEP"), "good");
  EXPECT_EQ(ReadFile(downloads + "/KEEP.incomplete"), "par");
}

// A client killed mid-job leaves its hidden part: the next one keeps it as
// an incomplete job, and leaves alone the parts of clients still running.
TEST(JobFileTest, PartsOfAClientThatIsGoneAreKeptAsIncomplete) {
  TempDir dir;
  pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);  // a pid nobody runs under now
  std::string gone = std::to_string(child);
  WriteFile(dir / ("GONE.incomplete"), "earlier");
  WriteFile(dir / (".GONE." + gone + ".part"), "cut off");
  WriteFile(dir / (".LIVE." + std::to_string(getppid()) + ".part"), "still coming");
  WriteFile(dir / (".MINE." + std::to_string(getpid()) + ".part"), "mine");
  WriteFile(dir / ".notes.part", "not ours");
  EXPECT_EQ(client::JobFile::KeepAbandonedParts(dir.path()),
            std::vector<std::string>{dir / "GONE.incomplete.1"});
  EXPECT_EQ(ReadFile(dir / "GONE.incomplete.1"), "cut off");
  EXPECT_EQ(ReadFile(dir / "GONE.incomplete"), "earlier");
  EXPECT_EQ(ReadFile(dir / (".LIVE." + std::to_string(getppid()) + ".part")), "still coming");
  EXPECT_EQ(ReadFile(dir / (".MINE." + std::to_string(getpid()) + ".part")), "mine");
  EXPECT_EQ(ReadFile(dir / ".notes.part"), "not ours");
}

TEST_F(TransferTest, DuplicateRules) {
  host.header = HeaderScreen("DUP,1");
  ParseHeader();
  WriteFile(downloads + "/DUP", "old");

  app->state.duplicate_option = client::DuplicateOption::kReplace;
  host.blocks = {HostBlock::Data("new"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/DUP"), "new");

  app->state.duplicate_option = client::DuplicateOption::kCancel;
  host.sent.clear();
  app->engine.log.Clear();
  bool told = false;
  display.Then([&] { told = Shows("Job refused: its file already exists."); }).Key(tk::key::kEnter);
  EXPECT_EQ(app->engine.Download(), 0);
  EXPECT_TRUE(told);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_EQ(LogLines(), std::vector<std::string>{"* * *"});

  app->state.duplicate_option = client::DuplicateOption::kRename;
  WriteFile(downloads + "/DUP.7", "seven");
  host.blocks = {HostBlock::Data("renamed"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/DUP.8"), "renamed");
  EXPECT_EQ(ReadFile(downloads + "/DUP"), "new");

  // A subdirectory of the job's name is an existing target too.
  host.header = HeaderScreen("SUB,1");
  ParseHeader();
  fs::create_directory(downloads + "/SUB");
  host.blocks = {HostBlock::Data("s"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/SUB.1"), "s");

  // Trailing blanks never reach the file name.
  host.header = HeaderScreen("TRAIL   ,1");
  ParseHeader();
  host.blocks = {HostBlock::Data("t"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(app->state.job_file_name, "TRAIL");
  EXPECT_EQ(ReadFile(downloads + "/TRAIL"), "t");
}

TEST_F(TransferTest, HostileJobNamesCannotLeaveTheDownloadDirectory) {
  app->state.unattended_active = true;  // no dialogs
  for (const char* ident : {"../ESCAPE,1", "..,1", "   ,1", "A/B,1", "\x1b[2J,1"}) {
    host.header = HeaderScreen(ident);
    ParseHeader();
    host.blocks = {HostBlock::Data(ident), HostBlock::End()};
    EXPECT_EQ(app->engine.Download(), 1) << ident;
  }
  EXPECT_FALSE(fs::exists(dir / "ESCAPE"));
  EXPECT_EQ(ReadFile(downloads + "/.._ESCAPE"), "../ESCAPE,1");
  EXPECT_EQ(ReadFile(downloads + "/_.."), "..,1");
  EXPECT_EQ(ReadFile(downloads + "/QORJOB"), "   ,1");
  EXPECT_EQ(ReadFile(downloads + "/A_B"), "A/B,1");
  EXPECT_TRUE(fs::exists(downloads + "/_[2J"));
  size_t files = 0;
  for (auto& e : fs::directory_iterator(downloads))
    files += e.is_regular_file() && e.path().filename() != client::DownloadLedger::kFileName;
  EXPECT_EQ(files, 5u);
}

TEST_F(TransferTest, TimeOutsAreLoggedAndNeverWritten) {
  host.header = HeaderScreen("SLOW");
  ParseHeader();
  // Attended: Get screen has told the user; the job goes on to its end marker.
  host.blocks = {HostBlock::Data("one "), HostBlock::Timeout(), HostBlock::Data("two"),
                 HostBlock::End()};
  host.stall_after = -1;
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/SLOW"), "one two");
  EXPECT_TRUE(LogHas("Timeout in LU2 loop: job QOR SLOW"));
  EXPECT_FALSE(LogHas("incomplete"));
}

TEST_F(TransferTest, UnattendedTimeOutEndsTheJobWithTheBlocksReceived) {
  app->state.unattended_active = true;
  host.header = HeaderScreen("STALL,7");
  ParseHeader();
  host.blocks = {HostBlock::Data("A"), HostBlock::Data("B"), HostBlock::Data("C"),
                 HostBlock::End()};
  host.stall_after = 2;
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_FALSE(fs::exists(downloads + "/STALL"));
  EXPECT_EQ(ReadFile(downloads + "/STALL.incomplete"), "AB");
  EXPECT_TRUE(LogHas("Timeout in LU2 loop"));
  EXPECT_TRUE(LogHas(
      "Job QOR STALL,7        incomplete: the host did not answer in time; 2 bytes kept as " +
      downloads + "/STALL.incomplete"));
  // A new session makes the host give the job up and offer it again.
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "Clear",
                                                 "Reset", "reset session"}));

  // A Get screen time-out in unattended operation ends the job the same way.
  host.header = HeaderScreen("LU2,1");
  ParseHeader();
  host.stall_after = -1;
  host.blocks = {HostBlock::Data("x"), HostBlock::Timeout(), HostBlock::Data("y"),
                 HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/LU2.incomplete"), "x");
}

TEST_F(TransferTest, AScreenThatCannotBeReadEndsTheJob) {
  app->state.unattended_active = true;
  host.header = HeaderScreen("DROP");
  ParseHeader();
  host.blocks = {HostBlock::Data("kept"), HostBlock::Null(), HostBlock::Data("never")};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/DROP.incomplete"), "kept");
  EXPECT_TRUE(LogHas("incomplete: the host screen could not be read: link down"));

  // A session that is gone ends the job at once: no key goes to a new session.
  host.header = HeaderScreen("LOST");
  ParseHeader();
  host.sent.clear();
  host.blocks_read = 0;
  host.lose_after = 1;
  host.blocks = {HostBlock::Data("one"), HostBlock::Data("two"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/LOST.incomplete"), "one");
  EXPECT_TRUE(LogHas("incomplete: the host session was lost (link down); 3 bytes kept as"));
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear"}));
}

TEST_F(TransferTest, CancelPressesPf3TwiceAndWaitsForTheEndMarker) {
  host.header = HeaderScreen("CANCEL");
  ParseHeader();
  host.blocks = {HostBlock::Data("first"), HostBlock::Data("second"), HostBlock::End()};
  app->queue.Put(tk::Event::Command(cmd::kCancel));  // taken after the first block
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/CANCEL.incomplete"), "first");
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "PF3",
                                                 "PF3", "Clear", "Reset"}));
  EXPECT_TRUE(LogHas("incomplete: cancelled; 5 bytes"));

  // A host that goes on sending after the cancel keeps the job running.
  host.sent.clear();
  host.end_on_pf3 = false;
  host.blocks = {HostBlock::Data("1"), HostBlock::Data("2"), HostBlock::Data("3"),
                 HostBlock::End()};
  app->queue.Put(tk::Event::Command(cmd::kCancel));
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/CANCEL.incomplete.1"), "123");

  // A host that no longer answers after the cancel: the job still ends.
  host.stall_after_cancel = true;
  host.pf3_seen = false;
  host.blocks = {HostBlock::Data("a"), HostBlock::Data("b"), HostBlock::Data("c"),
                 HostBlock::End()};
  app->queue.Put(tk::Event::Command(cmd::kCancel));
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/CANCEL.incomplete.2"), "a");
  EXPECT_TRUE(LogHas("incomplete: cancelled; the host did not answer after the cancel"));
  EXPECT_FALSE(fs::exists(downloads + "/CANCEL"));
}

TEST_F(TransferTest, WriteFailuresAreReportedAndLogged) {
  app->state.unattended_active = true;
  // A file-size limit (as a full disk): the second block is cut short.
  host.header = HeaderScreen("LIMIT");
  ParseHeader();
  host.blocks = {HostBlock::Data("123456"), HostBlock::Data("789012"), HostBlock::End()};
  app->engine.log.Clear();
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct sigaction ignore {
  }, old_action{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old_action);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  int result = app->engine.Download();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  sigaction(SIGXFSZ, &old_action, nullptr);
  EXPECT_EQ(result, 1);
  EXPECT_NE(app->main_window->Status().find(downloads + "/LIMIT"), std::string::npos);
  EXPECT_FALSE(fs::exists(downloads + "/LIMIT"));
  EXPECT_EQ(ReadFile(downloads + "/LIMIT.incomplete"), "1234567890");
  EXPECT_TRUE(
      LogHas("Job QOR LIMIT          incomplete: writing the file failed: File too large; 10 bytes "
             "kept as " +
             downloads + "/LIMIT.incomplete; the host keeps the job"));
  // Data stops at once and the host, never told the job is done, is left by a new session.
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "Clear",
                                                 "Reset", "reset session"}));
  EXPECT_EQ(app->engine.LastJob().end, client::JobEnd::kDestinationFault);
  EXPECT_EQ(app->engine.LastJob().cause, "writing " + downloads + "/LIMIT failed: File too large");

  // A whole job whose final name is a directory: kept, never acknowledged.
  host.header = HeaderScreen("ADIR");
  ParseHeader();
  fs::create_directory(downloads + "/ADIR");
  host.sent.clear();
  host.blocks = {HostBlock::Data("whole"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(ReadFile(downloads + "/ADIR.incomplete"), "whole");
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "Reset",
                                                 "reset session"}));
  EXPECT_EQ(app->engine.LastJob().end, client::JobEnd::kDestinationFault);
  EXPECT_NE(app->engine.LastJob().cause.find(downloads + "/ADIR: Is a directory"),
            std::string::npos)
      << app->engine.LastJob().cause;
}

// Unattended: a job that keeps coming damaged is set aside after three
// tries (one incomplete copy, one line that says so, and the host's Cancel
// on its next header); a destination that fails is said once when it starts
// and once when jobs are delivered again, its retries are quiet, and it
// never counts against the job.
TEST_F(TransferTest, UnattendedSetsAsidePoisonJobsAndSaysDestinationFaultsOnce) {
  app->state.unattended_active = true;
  std::vector<std::string> said;
  app->engine.log.mirror = [&](const std::string& text) { said.push_back(text); };
  auto said_count = [&](const std::string& text) {
    return std::count_if(said.begin(), said.end(),
                         [&](const std::string& s) { return s.find(text) != s.npos; });
  };
  host.header = HeaderScreen("BAD,1", 'V', "QORPRINT", "     10");
  for (int i = 0; i < client::TransferEngine::kFailuresBeforeSettingAside; ++i) {
    host.blocks = {HostBlock::Data("x\n"), HostBlock::End()};
    EXPECT_EQ(app->engine.LookForJob(), client::UnattendedLook::kJobTaken);
  }
  EXPECT_EQ(host.Count("reset session"), 3);
  EXPECT_EQ(host.Count("Clear"), 3);  // the data blocks'; no end marker is acknowledged
  EXPECT_EQ(ReadFile(downloads + "/BAD.incomplete"), "x\n");
  EXPECT_FALSE(fs::exists(downloads + "/BAD.incomplete.1"));
  EXPECT_EQ(
      said_count(
          "Job QOR BAD,1 needs attention: it ended incomplete 3 times in a row (1 of 10 lines "
          "received / 1 of 10 lines received / 1 of 10 lines received); what came last is kept "
          "as " +
          downloads + "/BAD.incomplete; the job is set aside with the host's Cancel"),
      1);
  host.sent.clear();
  EXPECT_EQ(app->engine.LookForJob(), client::UnattendedLook::kJobTaken);
  EXPECT_EQ(host.sent, std::vector<std::string>{"PF3"});
  EXPECT_EQ(said_count("Job QOR BAD,1 set aside: cancelled on the host"), 1);

  fs::create_directory(downloads + "/STUCK");
  host.header = HeaderScreen("STUCK,2");
  said.clear();
  size_t said_first = 0;
  for (int i = 0; i < 4; ++i) {
    host.blocks = {HostBlock::Data("s"), HostBlock::End()};
    EXPECT_EQ(app->engine.LookForJob(), client::UnattendedLook::kJobFailed);
    if (i == 0) said_first = said.size();
  }
  EXPECT_EQ(said.size(), said_first);  // the retries said nothing
  EXPECT_EQ(
      said_count("Jobs cannot be delivered: the file could not take its name " + downloads +
                 "/STUCK: Is a directory; job QOR STUCK,2 stays on the host, retrying every 15 s"),
      1);
  fs::remove(downloads + "/STUCK");
  host.blocks = {HostBlock::Data("s"), HostBlock::End()};
  EXPECT_EQ(app->engine.LookForJob(), client::UnattendedLook::kJobTaken);
  EXPECT_EQ(ReadFile(downloads + "/STUCK"), "s");
  EXPECT_EQ(ReadFile(downloads + "/STUCK.incomplete"), "s");
  EXPECT_FALSE(fs::exists(downloads + "/STUCK.incomplete.1"));
  EXPECT_EQ(said_count("Jobs are delivered again (failing since "), 1);
  EXPECT_EQ(said_count("): job QOR STUCK,2 delivered to " + downloads + "/STUCK"), 1);
}

TEST_F(TransferTest, AnOutputFileThatCannotBeCreatedSendsNothing) {
  app->state.unattended_active = true;
  app->state.download_dir = dir / "missing";
  host.header = HeaderScreen("NODIR");
  ParseHeader();
  host.blocks = {HostBlock::Data("x"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 0);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_NE(app->main_window->Status().find("cannot be created"), std::string::npos);
  EXPECT_NE(LogLines()[0].find("JOB NODIR"),
            std::string::npos);  // the record is made before the file
}

TEST_F(TransferTest, ADirectoryWhereNothingMayBeCreatedIsAFileError) {
  app->state.unattended_active = true;
  app->state.download_dir = "/proc";  // refuses new files even to root
  host.header = HeaderScreen("RDONLY");
  ParseHeader();
  host.blocks = {HostBlock::Data("x"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 0);
  EXPECT_TRUE(host.sent.empty());
  EXPECT_NE(app->main_window->Status().find("/proc/RDONLY"), std::string::npos);
}

TEST_F(TransferTest, HostLinkBoxesNeverStopUnattendedOperation) {
  app->state.unattended_active = true;
  app->services.show_message("Timeout in LU2 loop", "");  // would wait for OK in a box
  EXPECT_EQ(app->main_window->Status(), "Timeout in LU2 loop");
  EXPECT_TRUE(LogHas("Timeout in LU2 loop"));
  EXPECT_EQ(app->wm.Windows().size(), 1u);
}

TEST_F(TransferTest, PrinterJobsGoToTheOpenPrintJobAndEndIt) {
  auto recording = std::make_shared<platform::PrintRecording>();
  app->state.to_printer = true;
  app->state.current_print_job = std::make_unique<client::PrintJob>(
      app->state.printing, std::make_unique<platform::RecordingDevice>(recording, 6600, 100));
  host.header = HeaderScreen("TOPRT");
  ParseHeader();
  host.blocks = {HostBlock::Data("hello\r\n"), HostBlock::Data("world\r\n"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(app->state.current_print_job, nullptr);
  EXPECT_EQ(recording->documents_ended, 1);
  EXPECT_NE(recording->Layout().find("hello"), std::string::npos);
  EXPECT_NE(recording->Layout().find("world"), std::string::npos);
  EXPECT_FALSE(fs::exists(downloads + "/TOPRT"));
  EXPECT_EQ(host.Count("Clear"), 3);
  EXPECT_EQ(host.Count("reset session"), 0);

  // A printer that refuses a page: the host is never told the job is done.
  app->state.unattended_active = true;  // the printer's complaint goes to the status line
  recording->end_page_result = -5;
  app->state.current_print_job = std::make_unique<client::PrintJob>(
      app->state.printing, std::make_unique<platform::RecordingDevice>(recording, 6600, 100));
  host.sent.clear();
  host.blocks = {HostBlock::Data("page one\r\n\fpage two\r\n"), HostBlock::End()};
  EXPECT_EQ(app->engine.Download(), 1);
  EXPECT_EQ(app->engine.LastJob().end, client::JobEnd::kDestinationFault);
  EXPECT_EQ(host.sent, (std::vector<std::string>{"data:0009,=         ;", "PF6", "Clear", "Reset",
                                                 "reset session"}));
}

TEST_F(TransferTest, ProgressFollowsTheLineCount) {
  app->engine.header.job_lines = 200;
  WindowFrontEnd front(app->ui, app->queue, *app, app->engine);
  front.JobStarted("x");
  ProgressBar& bar = front.GetWindow()->Bar();
  client::TransferCounts& c = app->engine.counts;
  c = client::TransferCounts{};
  auto count = [&](const std::string& block) {
    client::CountBlock(c, block.c_str());
    front.JobProgress(c, client::TransferPercent(c, 200, 0));
  };
  count(std::string(4, '\n'));  // 2 %: not shown
  EXPECT_EQ(bar.Percent(), 0);
  count(std::string(96, '\n'));
  EXPECT_EQ(bar.Percent(), 50);
  count(std::string(98, '\n'));
  EXPECT_EQ(bar.Percent(), 99);
  count("\n\n");  // 100 %: keeps 99
  EXPECT_EQ(bar.Percent(), 99);
  EXPECT_EQ(client::TransferPercent({0, 5, 0}, 1, 10), 50);  // one line: pages decide
  EXPECT_EQ(client::TransferPercent({9, 9, 0}, 1, 1), 0);
  front.JobEnded();
}

TEST_F(TransferTest, ProgressBarDrawing) {
  tk::Window w({0, 0, 24, 3}, "bar");
  auto& bar = w.Add<ProgressBar>(0, 0, 20, 0);
  app->wm.Add(w);
  app->wm.Redraw();
  tk::Rect c = w.ClientRect();
  const tk::Theme& theme = app->wm.GetTheme();
  auto bg = [&](int x) { return display.CellAt(c.left + x, c.top).attr.bg; };
  EXPECT_EQ(bg(0), theme.highlight.bg);  // at 0 % one filled column
  EXPECT_EQ(bg(1), theme.window.bg);
  EXPECT_EQ(display.TextAt(c.left, c.top, 20), "        0%          ");

  bar.SetPercent(50);
  EXPECT_EQ(display.TextAt(c.left, c.top, 20), "        50%         ");
  EXPECT_EQ(bg(7), theme.highlight.bg);
  EXPECT_EQ(bg(11), theme.window.bg);
  EXPECT_EQ(display.CellAt(c.left + 8, c.top).attr.bg, theme.window.bg);  // text: unfilled scheme

  bar.SetPercent(51);
  EXPECT_EQ(display.CellAt(c.left + 8, c.top).attr,
            (tk::Attr{tk::Color::kWhite, tk::Color::kBlack, true}));

  bar.SetPercent(150);
  EXPECT_EQ(bar.Percent(), 100);
  EXPECT_EQ(bg(19), theme.highlight.bg);
  EXPECT_EQ(display.TextAt(c.left, c.top, 20), "       100%         ");

  bar.SetPercent(0);  // not repainted until the next ordinary repaint
  EXPECT_EQ(display.TextAt(c.left, c.top, 20), "       100%         ");
  bar.SetPercent(-4);
  app->wm.Redraw();
  EXPECT_EQ(display.TextAt(c.left, c.top, 20), std::string(20, ' '));
  EXPECT_EQ(bg(0), theme.window.bg);
  app->wm.Remove(w);
}

// The log on disk: every entry whole, one stamped line each; a file that
// cannot be written is said once in the run's log, not at every entry.
TEST(TransferLogTest, KeptOnDisk) {
  TempDir dir;
  client::TransferLog log;
  log.KeepOnDisk(dir / "state/qorprt/transfer.log");  // directories made as needed
  log.AddJobRecord("JOBNAME,12345 ", "QOR", "/data/JOBNAME");
  log.AddStatusText("two\nlines");
  log.NoteOutcome(
      "Job QOR JOBNAME,12345  delivered to /data/JOBNAME: 3 characters, 1 lines, 0 pages");
  std::string text = ReadFile(dir / "state/qorprt/transfer.log");
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(text.substr(at, end - at));
  ASSERT_EQ(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0].substr(19), " QOR JOB JOBNAME,12345  to /data/JOBNAME");
  EXPECT_EQ(lines[1].substr(19), " two lines");
  EXPECT_EQ(lines[2].substr(19),
            " Job QOR JOBNAME,12345  delivered to /data/JOBNAME: 3 characters, 1 lines, 0 pages");
  EXPECT_EQ(log.Entries().size(), 2u);  // the outcome is for the disk only

  client::TransferLog failing;
  failing.KeepOnDisk("/proc/qorprt/transfer.log");
  failing.AddStatusText("a");
  failing.AddStatusText("b");
  ASSERT_EQ(failing.Entries().size(), 3u);
  EXPECT_NE(failing.Entries()[1].text.find(
                "The transfer log /proc/qorprt/transfer.log cannot be written"),
            std::string::npos);
}

TEST(TransferLogTest, LinesCutsAndPrintout) {
  client::TransferLog log;
  EXPECT_EQ(client::TransferLogLines(log), std::vector<std::string>{"* * *"});
  ASSERT_EQ(client::TransferLogPrintout(log, "Transfer Log").size(), 1u);  // only the heading
  EXPECT_NE(client::TransferLogPrintout(log, "Transfer Log")[0].find("     Transfer Log\n\r\n\r"),
            std::string::npos);

  std::string long_path(100, 'p');
  log.AddJobRecord("JOBNAME,12345 ", "QOR", long_path.c_str());
  log.AddStatusText("x");
  log.AddStatusText("page\fbreak\r\nand more" + std::string(80, '.'));
  log.AddStatusText("");
  std::vector<std::string> lines = client::TransferLogLines(log);
  ASSERT_EQ(lines.size(), 4u);  // the empty status text shows no line
  EXPECT_EQ(log.Entries()[0].destination.size(), 63u);
  EXPECT_EQ(lines[0].substr(19), " QOR JOB JOBNAME,12345 ");
  EXPECT_EQ(lines[1], "        " + std::string(60, 'p'));  // 68 columns
  EXPECT_EQ(lines[2], "x");
  EXPECT_EQ(lines[3].size(), 68u);

  std::vector<std::string> printed = client::TransferLogPrintout(log, "Transfer Log");
  ASSERT_EQ(printed.size(), 6u);
  EXPECT_EQ(printed[1].substr(19), " QOR JOB JOBNAME,12345 \n\r");
  EXPECT_EQ(printed[2], "        " + std::string(63, 'p') + "\n\r");
  EXPECT_EQ(printed[3], "x\n\r");
  EXPECT_EQ(printed[4].substr(0, 20), "page.break..and more");  // no form feed reaches the printer
  EXPECT_EQ(printed[4].substr(printed[4].size() - 2), "\n\r");
  EXPECT_EQ(printed[5], "\n\r");
}

}  // namespace
