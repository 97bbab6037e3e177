// The host conversation as a state machine, driven in-process the way a
// simulated terminal drives it, and the spool it takes jobs from.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "hostsim/conversation_texts.h"
#include "hostsim/host_session.h"
#include "tests/hostsim/reference_decoder.h"
#include "tests/hostsim/test_support.h"

using namespace hostsim;
using testing_support::file_exists;
using testing_support::read_file;
using testing_support::write_file;

namespace {

std::string screen_text(const HostSession& s) { return std::string(s.GetScreen().GetText()); }
std::string at(const HostSession& s, int position, int width) {
  return std::string(s.GetScreen().GetText().substr(static_cast<std::size_t>(position),
                                                    static_cast<std::size_t>(width)));
}

void start(HostSession& s, Key key = Key::kPF6) {
  ASSERT_EQ(s.Type(0, kStartCommand), kStartCommand.size());
  s.Press(key);
}

// Reads data screens with Clear until the end marker; returns the job bytes.
std::string read_job(HostSession& s, bool prefixed, std::size_t* screens = nullptr) {
  reference::Decoder decoder(prefixed);
  std::string job;
  for (std::size_t n = 0; n < 100000; ++n) {
    std::string copied = reference::copy_screen(screen_text(s));
    auto block = decoder.decode(copied);
    EXPECT_TRUE(block.has_value());
    if (!block) return job;
    s.Type(0, "OK;;;;;;");
    s.Press(Key::kClear);
    if (block->rfind(std::string(kEndMarker), 0) == 0) {
      if (screens) *screens = n;
      return job;
    }
    job += reference::up_to_zero(*block);
  }
  ADD_FAILURE() << "no end marker";
  return job;
}

const Key kHostKeys[] = {Key::kEnter, Key::kClear, Key::kPA1,  Key::kPA2, Key::kPA3,
                         Key::kPF1,   Key::kPF2,   Key::kPF3,  Key::kPF4, Key::kPF5,
                         Key::kPF6,   Key::kPF7,   Key::kPF8,  Key::kPF9, Key::kPF10,
                         Key::kPF11,  Key::kPF12,  Key::kPF13, Key::kPF24};

}  // namespace

TEST(HostSession, IdleUntilAJobArrives) {
  TempDir spool_dir;
  Spool spool(spool_dir.path());
  HostSession s(spool);
  EXPECT_EQ(s.GetState(), SessionState::kIdle);
  EXPECT_NE(at(s, 0, 8), "QORPRINT");
  const uint64_t before = s.ChangeCount();
  s.Press(Key::kEnter);  // nothing waiting: the idle screen again
  EXPECT_EQ(s.GetState(), SessionState::kIdle);
  EXPECT_GT(s.ChangeCount(), before);

  EXPECT_FALSE(s.LookForJob());
  write_file(spool_dir / "PAYROLL.txt", "x\n");
  EXPECT_TRUE(s.LookForJob());
  EXPECT_EQ(s.GetState(), SessionState::kHeader);
  EXPECT_FALSE(s.LookForJob());  // only while idle
}

TEST(HostSession, HeaderScreenLayout) {
  TempDir spool_dir;
  std::string report;
  for (int page = 0; page < 3; ++page) report += "line one\r\nline two\r\n\f";
  write_file(spool_dir / "MONTHLY.rpt", report);
  Spool spool(spool_dir.path());
  HostSession s(spool, SessionOptions{});
  ASSERT_EQ(s.GetState(), SessionState::kHeader);
  EXPECT_EQ(at(s, 0, 8), "QORPRINT");
  EXPECT_EQ(at(s, kLevelPosition, 1), "V");
  EXPECT_EQ(at(s, kPrefixPosition, 3), "QOR");
  EXPECT_EQ(at(s, kIdentPosition, 14), "MONTHLY,00001 ");
  EXPECT_EQ(at(s, kCodePosition, 3), "LST");
  EXPECT_EQ(at(s, kField4Position, 3), "001");
  EXPECT_EQ(at(s, kLinesPosition, 7), "      6");
  EXPECT_EQ(at(s, kPagesPosition, 5), "    3");
  // One unprotected field from position 0; its attribute holds the last position.
  EXPECT_FALSE(s.GetScreen().IsProtected(0));
  EXPECT_TRUE(s.GetScreen().IsAttribute(kFieldAttributePosition));
  EXPECT_EQ(s.Type(kFieldAttributePosition, "x"), 0u);
  EXPECT_NE(s.GetScreen().Cursor(), 0);
}

TEST(HostSession, LevelLetterIsConfigurable) {
  TempDir spool_dir;
  write_file(spool_dir / "A", "a");
  Spool spool(spool_dir.path());
  SessionOptions options;
  options.level = 'W';
  HostSession s(spool, options);
  EXPECT_EQ(at(s, kLevelPosition, 1), "W");
}

TEST(HostSession, EveryKeyButAStartedPf6OrPf7RepaintsTheHeader) {
  TempDir spool_dir;
  write_file(spool_dir / "JOB1", "data");
  Spool spool(spool_dir.path());
  HostSession s(spool);
  const std::string header = screen_text(s);
  for (Key key : kHostKeys) {
    if (key == Key::kPF3) continue;  // the host's Cancel of the job
    s.Type(0, "0009,=   ");          // not the whole start command
    const uint64_t before = s.ChangeCount();
    s.Press(key);
    EXPECT_EQ(s.GetState(), SessionState::kHeader) << KeyName(key);
    EXPECT_EQ(screen_text(s), header) << KeyName(key);  // the typing is painted over
    EXPECT_EQ(s.ChangeCount(), before + 1);
  }
  // Keys that stay in the terminal change nothing.
  for (Key key : {Key::kReset, Key::kAttn, Key::kSysReq}) {
    const uint64_t before = s.ChangeCount();
    s.Press(key);
    EXPECT_EQ(s.ChangeCount(), before);
  }
  // The start command alone, without PF6/PF7, does not start either.
  s.Type(0, kStartCommand);
  s.Press(Key::kEnter);
  EXPECT_EQ(s.GetState(), SessionState::kHeader);
}

TEST(HostSession, WholeJobPlainAndLengthPrefixed) {
  std::string job;
  for (int i = 0; i < 3000; ++i) job += "Line " + std::to_string(i) + "        --------\r\n";
  job += '\f';
  for (Key key : {Key::kPF6, Key::kPF7}) {
    TempDir spool_dir;
    write_file(spool_dir / "BIGJOB", job);
    Spool spool(spool_dir.path());
    HostSession s(spool);
    start(s, key);
    ASSERT_EQ(s.GetState(), SessionState::kData);
    EXPECT_EQ(s.Form(), key == Key::kPF6 ? ScreenForm::kPlain : ScreenForm::kLengthPrefixed);
    std::size_t screens = 0;
    EXPECT_EQ(read_job(s, key == Key::kPF7, &screens), job);
    EXPECT_GT(screens, 5u);
    EXPECT_EQ(s.GetState(), SessionState::kIdle);
    EXPECT_TRUE(file_exists(spool_dir / "done/BIGJOB"));
    EXPECT_FALSE(file_exists(spool_dir / "BIGJOB"));
  }
}

TEST(HostSession, OtherKeysRepaintTheSameDataScreen) {
  TempDir spool_dir;
  write_file(spool_dir / "JOB", std::string(5000, 'q'));
  Spool spool(spool_dir.path());
  SessionOptions options;
  options.screen_capacity = 40;
  HostSession s(spool, options);
  start(s);
  const std::string first = screen_text(s);
  for (Key key : kHostKeys) {
    if (key == Key::kClear || key == Key::kPF3) continue;
    s.Type(0, "OK;;;;;;");
    s.Press(key);
    EXPECT_EQ(s.GetState(), SessionState::kData);
    EXPECT_EQ(screen_text(s), first) << KeyName(key);
    EXPECT_EQ(s.BlocksSent(), 1u);
  }
  s.Press(Key::kClear);
  EXPECT_EQ(s.BlocksSent(), 2u);
}

// PF3 is the host's Cancel: during the data it ends the job early, on a
// header it drops that job; a cancelled job goes to failed/, never done/.
// A job left to the spool keeps its number when it is offered again.
TEST(HostSession, Pf3CancelsTheJobIntoFailed) {
  TempDir spool_dir;
  write_file(spool_dir / "A1", std::string(5000, 'a'));
  write_file(spool_dir / "B2", "second job");
  write_file(spool_dir / "C3", "third job");
  ::mkdir((spool_dir / "done").c_str(), 0755);
  write_file(spool_dir / "done/A1", "an earlier A1");
  Spool spool(spool_dir.path());
  SessionOptions options;
  options.screen_capacity = 40;
  HostSession s(spool, options);
  start(s);
  s.Press(Key::kClear);
  s.Press(Key::kPF3);
  ASSERT_EQ(s.GetState(), SessionState::kEndMarker);
  reference::Decoder decoder;
  EXPECT_EQ(*decoder.decode(reference::copy_screen(screen_text(s))), kEndMarker);
  // A second PF3 (the client presses it twice) and other keys show the end marker again.
  s.Press(Key::kPF3);
  s.Press(Key::kEnter);
  EXPECT_EQ(s.GetState(), SessionState::kEndMarker);
  s.Press(Key::kClear);
  EXPECT_EQ(read_file(spool_dir / "failed/A1"), std::string(5000, 'a'));
  EXPECT_EQ(read_file(spool_dir / "done/A1"), "an earlier A1");
  // The next job's header follows at once; its session goes away before the
  // end marker's Clear, and the job is offered again under the same number.
  EXPECT_EQ(s.GetState(), SessionState::kHeader);
  const std::string b2 = at(s, kIdentPosition, 9);
  EXPECT_EQ(b2.substr(0, 3), "B2,");
  s.Abandon();
  EXPECT_TRUE(file_exists(spool_dir / "B2"));
  HostSession again(spool, options);
  EXPECT_EQ(at(again, kIdentPosition, 9), b2);
  // PF3 on a header cancels that job and shows the next.
  again.Press(Key::kPF3);
  EXPECT_EQ(read_file(spool_dir / "failed/B2"), "second job");
  EXPECT_EQ(again.GetState(), SessionState::kHeader);
  EXPECT_EQ(at(again, kIdentPosition, 3), "C3,");
  start(again);
  EXPECT_EQ(read_job(again, false), "third job");
  EXPECT_TRUE(file_exists(spool_dir / "done/C3"));
}

TEST(HostSession, EmptyJobGoesStraightToTheEndMarker) {
  TempDir spool_dir;
  write_file(spool_dir / "EMPTY", "");
  Spool spool(spool_dir.path());
  HostSession s(spool);
  EXPECT_EQ(at(s, kLinesPosition, 7), "      0");
  start(s);
  EXPECT_EQ(s.GetState(), SessionState::kEndMarker);
  EXPECT_EQ(read_job(s, false), "");
  EXPECT_TRUE(file_exists(spool_dir / "done/EMPTY"));
}

TEST(HostSession, TwoSessionsNeverShareAJobAndAnAbandonedJobStays) {
  TempDir spool_dir;
  write_file(spool_dir / "FIRST", "first job bytes");
  write_file(spool_dir / "SECOND", "second job bytes");
  Spool spool(spool_dir.path());
  auto one = std::make_unique<HostSession>(spool);
  HostSession two(spool);
  ASSERT_TRUE(one->GetJob() && two.GetJob());
  EXPECT_EQ(one->GetJob()->file_name, "FIRST");
  EXPECT_EQ(two.GetJob()->file_name, "SECOND");
  HostSession three(spool);
  EXPECT_EQ(three.GetState(), SessionState::kIdle);

  start(*one);
  one->Abandon();  // the terminal went away mid-job
  EXPECT_TRUE(file_exists(spool_dir / "FIRST"));
  EXPECT_FALSE(file_exists(spool_dir / "done/FIRST"));
  EXPECT_TRUE(three.LookForJob());
  EXPECT_EQ(three.GetJob()->file_name, "FIRST");

  start(two);
  EXPECT_EQ(read_job(two, false), "second job bytes");
  start(three);
  EXPECT_EQ(read_job(three, false), "first job bytes");
  EXPECT_EQ(testing_support::list_directory(spool_dir / "done"),
            (std::vector<std::string>{"FIRST", "SECOND"}));
}

TEST(HostSession, DestroyedSessionReleasesItsJob) {
  TempDir spool_dir;
  write_file(spool_dir / "ONLY", "x");
  Spool spool(spool_dir.path());
  {
    HostSession gone(spool);
    start(gone);
  }
  HostSession next(spool);
  ASSERT_TRUE(next.GetJob());
  EXPECT_EQ(next.GetJob()->file_name, "ONLY");
}

TEST(HostSpool, NameOrderHiddenFilesAndDirectoriesSkipped) {
  TempDir spool_dir;
  write_file(spool_dir / "b", "2");
  write_file(spool_dir / "a", "1");
  write_file(spool_dir / ".partial", "0");
  ::mkdir((spool_dir / "adir").c_str(), 0755);
  Spool spool(spool_dir.path());
  auto first = spool.ClaimNext();
  auto second = spool.ClaimNext();
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->file_name, "a");
  EXPECT_EQ(second->file_name, "b");
  EXPECT_EQ(spool.ClaimNext(), nullptr);
  spool.Release(*first);
  EXPECT_TRUE(spool.HasWaitingJob());
}

TEST(HostSpool, DoneNamesDoNotOverwriteEarlierJobs) {
  TempDir spool_dir;
  Spool spool(spool_dir.path());
  for (int round = 0; round < 3; ++round) {
    write_file(spool_dir / "SAME", std::to_string(round));
    auto job = spool.ClaimNext();
    ASSERT_TRUE(job);
    EXPECT_TRUE(spool.Finish(*job));
  }
  EXPECT_EQ(testing_support::list_directory(spool_dir / "done"),
            (std::vector<std::string>{"SAME", "SAME.1", "SAME.2"}));
  EXPECT_EQ(testing_support::read_file(spool_dir / "done/SAME.2"), "2");
}

TEST(HostSpool, KeptJobsAreServedOncePerRun) {
  TempDir spool_dir;
  write_file(spool_dir / "DEMO", "demo");
  Spool spool(spool_dir.path(), SpoolOptions{true});
  auto job = spool.ClaimNext();
  ASSERT_TRUE(job);
  EXPECT_TRUE(spool.Finish(*job));
  EXPECT_TRUE(file_exists(spool_dir / "DEMO"));
  EXPECT_EQ(spool.ClaimNext(), nullptr);
}

TEST(HostSpool, OversizedJobIsSkippedWithAReason) {
  TempDir spool_dir;
  write_file(spool_dir / "HUGE", std::string(2000, 'x'));
  write_file(spool_dir / "SMALL", "x");
  SpoolOptions options;
  options.largest_job = 1000;
  Spool spool(spool_dir.path(), options);
  std::string problem;
  auto job = spool.ClaimNext(&problem);
  ASSERT_TRUE(job);
  EXPECT_EQ(job->file_name, "SMALL");
  EXPECT_NE(problem.find("HUGE"), std::string::npos);
}

TEST(HostJob, IdentFromTheFileName) {
  EXPECT_EQ(MakeJobIdent("PAYROLL.txt", 12), "PAYROLL,00012");
  EXPECT_EQ(MakeJobIdent("verylongname.txt", 1), "verylong,00001");
  EXPECT_EQ(MakeJobIdent("ABC,12345", 9), "ABC,12345");
  EXPECT_EQ(MakeJobIdent("my report", 3), "my_repor,00003");
  EXPECT_EQ(MakeJobIdent(".x", 4), "JOB,00004");
}

TEST(HostJob, LinesAndPagesAsPrinted) {
  long lines = 0, pages = 0;
  CountLinesAndPages("", &lines, &pages);
  EXPECT_EQ(lines, 0);
  EXPECT_EQ(pages, 0);
  CountLinesAndPages("\fa\r\nb\r\n\fc\r\nlast", &lines, &pages);
  EXPECT_EQ(lines, 4);  // three line feeds and a last line without one
  EXPECT_EQ(pages, 2);  // the leading form feed opens no empty page
  CountLinesAndPages("a\n\f\f\fb\f", &lines, &pages);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(pages, 2);
}

// Data screens on the alternate screen hold its size less one unless the
// capacity asks for less, never more; the header and the next job's header
// stay on 24 x 80.
TEST(HostSession, DataScreensUseTheDataGeometryUpToItsSize) {
  std::string job;  // text that hardly compresses
  for (unsigned i = 0; job.size() < 20000; ++i) job += std::to_string(i * 2654435761u) + " ";
  struct Case {
    ScreenGeometry geometry;
    std::size_t capacity;
    std::size_t per_screen;
  };
  for (const Case& c : {Case{{27, 132}, 0, 3563}, Case{{27, 132}, 100, 100},
                        Case{{43, 80}, 9999, 3439}, Case{kDefaultGeometry, 0, 1919}}) {
    TempDir spool_dir;
    write_file(spool_dir / "JOB", job + std::to_string(c.per_screen));
    write_file(spool_dir / "NEXT", "next");
    Spool spool(spool_dir.path());
    SessionOptions options;
    options.data_geometry = c.geometry;
    options.screen_capacity = c.capacity;
    HostSession s(spool, options);
    EXPECT_FALSE(s.GetScreen().Alternate());
    start(s);
    EXPECT_EQ(s.GetScreen().GetSize(), c.geometry.GetSize());
    EXPECT_TRUE(s.GetScreen().IsAttribute(c.geometry.GetSize() - 1));
    EXPECT_LE(s.GetScreen().PaintedLength(), c.per_screen);
    EXPECT_GT(s.GetScreen().PaintedLength(), c.per_screen * 9 / 10);
    std::string got;
    reference::Decoder decoder;
    while (s.GetState() == SessionState::kData) {
      got += *decoder.decode(reference::copy_screen(
          screen_text(s), static_cast<std::size_t>(s.GetScreen().GetSize() - 1)));
      s.Press(Key::kClear);
    }
    EXPECT_EQ(got, job + std::to_string(c.per_screen));
    s.Press(Key::kClear);  // past the end marker: the next header, on 24 x 80
    EXPECT_EQ(s.GetScreen().GetSize(), kScreenSize);
    EXPECT_EQ(at(s, kIdentPosition, 5), "NEXT,");
  }
}
