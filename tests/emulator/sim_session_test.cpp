// The in-process host session behind `A sim SPOOLDIR` and razevu3.so.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/sim_backend.h"
#include "hostsim/conversation_texts.h"
#include "hostsim/screen_encoder.h"
#include "hostsim/spool.h"
#include "platform/clock.h"
#include "test_support.h"

namespace {

using emulator::Deadline;
using emulator::Key;
using emulator::Keyboard;
using emulator::Outcome;
using emulator::SimBackend;

Deadline Soon() { return Deadline::InMs(2000); }

std::string Screen(SimBackend& b) {
  std::string s;
  EXPECT_EQ(Outcome::kOk, b.ReadScreen(&s, Soon()));
  EXPECT_EQ(1920u, s.size());
  return s;
}

// Start command, PF6, Clear until the end marker, Clear once more.
void TakeJob(SimBackend& b) {
  ASSERT_EQ("QORPRINT", Screen(b).substr(0, 8));
  ASSERT_EQ(Outcome::kOk, b.WriteAt(0, hostsim::kStartCommand, Soon()));
  ASSERT_EQ(Outcome::kOk, b.Press(Key::kPF6, Soon()));
  const std::string end = hostsim::EndMarkerScreen(hostsim::ScreenForm::kPlain);
  for (int i = 0; i < 100 && Screen(b).compare(0, end.size(), end) != 0; ++i)
    ASSERT_EQ(Outcome::kOk, b.Press(Key::kClear, Soon()));
  ASSERT_EQ(Outcome::kOk, b.Press(Key::kClear, Soon()));
}

// Sessions sharing a spool (one run) serve each sample once, also across a
// new session, and never move it; a job cut off by a session's end comes again.
TEST(EmulatorSim, ShippedSamplesAreServedOncePerRunAndNeverMoved) {
  TempDir samples;
  testing_support::write_file(samples / "FIRST", "one line\n");
  testing_support::write_file(samples / "SECOND", "one line\n");
  hostsim::SpoolOptions keep;
  keep.keep_finished = true;
  auto run = std::make_shared<hostsim::Spool>(samples.path(), keep);
  std::string problem;
  {
    SimBackend b(run);
    ASSERT_EQ(Outcome::kOk, b.Open(Soon(), &problem)) << problem;
    ASSERT_NE(std::string::npos, Screen(b).find("FIRST"));
    TakeJob(b);
    ASSERT_NE(std::string::npos, Screen(b).find("SECOND"));
    ASSERT_EQ(Outcome::kOk, b.WriteAt(0, hostsim::kStartCommand, Soon()));
    ASSERT_EQ(Outcome::kOk, b.Press(Key::kPF6, Soon()));
  }
  SimBackend again(run);
  ASSERT_EQ(Outcome::kOk, again.Open(Soon(), &problem)) << problem;
  ASSERT_NE(std::string::npos, Screen(again).find("SECOND"));
  TakeJob(again);
  EXPECT_EQ(hostsim::IdleScreenText().substr(0, 16), Screen(again).substr(0, 16));
  EXPECT_EQ(Outcome::kTimedOut, again.WaitForChange(Deadline::InMs(300)));
  EXPECT_TRUE(testing_support::file_exists(samples / "FIRST"));
  EXPECT_FALSE(testing_support::file_exists(samples / "done"));
}

TEST(EmulatorSim, ASpoolIsServedOnceAndANewJobEndsAWaitEarly) {
  TempDir spool;
  testing_support::write_file(spool / "FIRST", "first job\n");
  SimBackend b(spool.path(), false);
  std::string problem;
  ASSERT_EQ(Outcome::kOk, b.Open(Soon(), &problem)) << problem;
  TakeJob(b);
  EXPECT_TRUE(testing_support::file_exists(spool / "done/FIRST"));
  EXPECT_EQ(hostsim::IdleScreenText().substr(0, 16), Screen(b).substr(0, 16));
  // Nothing changes an idle screen but a new job.
  uint64_t start = platform::MonotonicMs();
  EXPECT_EQ(Outcome::kTimedOut, b.WaitForChange(Deadline::InMs(300)));
  EXPECT_GE(platform::MonotonicMs() - start, 290u);
  testing_support::write_file(spool / "SECOND", "second job\n");
  start = platform::MonotonicMs();
  EXPECT_EQ(Outcome::kOk, b.WaitForChange(Deadline::InMs(3000)));
  EXPECT_LT(platform::MonotonicMs() - start, 1000u);
  EXPECT_NE(std::string::npos, Screen(b).find("SECOND"));
}

TEST(EmulatorSim, TypingStopsAtTheFieldAttributeUntilReset) {
  TempDir spool;
  SimBackend b(spool.path(), false);
  std::string problem;
  ASSERT_EQ(Outcome::kOk, b.Open(Soon(), &problem));
  Keyboard k;
  EXPECT_EQ(Outcome::kProtected, b.WriteAt(1919, "x", Soon()));
  ASSERT_EQ(Outcome::kOk, b.GetKeyboard(&k, Soon()));
  EXPECT_EQ(Keyboard::kInhibited, k);
  EXPECT_EQ(Outcome::kProtected, b.Press(Key::kEnter, Soon()));
  EXPECT_EQ(Outcome::kOk, b.Press(Key::kReset, Soon()));
  ASSERT_EQ(Outcome::kOk, b.GetKeyboard(&k, Soon()));
  EXPECT_EQ(Keyboard::kUnlocked, k);
  // Typing at the cursor moves it along.
  ASSERT_EQ(Outcome::kOk, b.SetCursor(160, Soon()));
  ASSERT_EQ(Outcome::kOk, b.Type("abc", Soon()));
  EXPECT_EQ(163, b.Cursor());
  EXPECT_EQ("abc", Screen(b).substr(160, 3));
  ASSERT_EQ(Outcome::kOk, b.Press(Key::kDown, Soon()));
  EXPECT_EQ(243, b.Cursor());
}

TEST(EmulatorSim, AMissingSpoolDirectoryIsReported) {
  SimBackend b("/nonexistent/spool", false);
  std::string problem;
  EXPECT_EQ(Outcome::kFailed, b.Open(Soon(), &problem));
  EXPECT_NE(std::string::npos, problem.find("/nonexistent/spool"));
}

}  // namespace
