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

Deadline Soon() { return Deadline::in_ms(2000); }

std::string Screen(SimBackend& b) {
  std::string s;
  EXPECT_EQ(Outcome::Ok, b.read_screen(&s, Soon()));
  EXPECT_EQ(1920u, s.size());
  return s;
}

// Start command, PF6, Clear until the end marker, Clear once more.
void TakeJob(SimBackend& b) {
  ASSERT_EQ("QORPRINT", Screen(b).substr(0, 8));
  ASSERT_EQ(Outcome::Ok, b.write_at(0, hostsim::kStartCommand, Soon()));
  ASSERT_EQ(Outcome::Ok, b.press(Key::PF6, Soon()));
  const std::string end = hostsim::end_marker_screen(hostsim::ScreenForm::Plain);
  for (int i = 0; i < 100 && Screen(b).compare(0, end.size(), end) != 0; ++i)
    ASSERT_EQ(Outcome::Ok, b.press(Key::Clear, Soon()));
  ASSERT_EQ(Outcome::Ok, b.press(Key::Clear, Soon()));
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
    ASSERT_EQ(Outcome::Ok, b.open(Soon(), &problem)) << problem;
    ASSERT_NE(std::string::npos, Screen(b).find("FIRST"));
    TakeJob(b);
    ASSERT_NE(std::string::npos, Screen(b).find("SECOND"));
    ASSERT_EQ(Outcome::Ok, b.write_at(0, hostsim::kStartCommand, Soon()));
    ASSERT_EQ(Outcome::Ok, b.press(Key::PF6, Soon()));
  }
  SimBackend again(run);
  ASSERT_EQ(Outcome::Ok, again.open(Soon(), &problem)) << problem;
  ASSERT_NE(std::string::npos, Screen(again).find("SECOND"));
  TakeJob(again);
  EXPECT_EQ(hostsim::idle_screen_text().substr(0, 16), Screen(again).substr(0, 16));
  EXPECT_EQ(Outcome::TimedOut, again.wait_for_change(Deadline::in_ms(300)));
  EXPECT_TRUE(testing_support::file_exists(samples / "FIRST"));
  EXPECT_FALSE(testing_support::file_exists(samples / "done"));
}

TEST(EmulatorSim, ASpoolIsServedOnceAndANewJobEndsAWaitEarly) {
  TempDir spool;
  testing_support::write_file(spool / "FIRST", "first job\n");
  SimBackend b(spool.path(), false);
  std::string problem;
  ASSERT_EQ(Outcome::Ok, b.open(Soon(), &problem)) << problem;
  TakeJob(b);
  EXPECT_TRUE(testing_support::file_exists(spool / "done/FIRST"));
  EXPECT_EQ(hostsim::idle_screen_text().substr(0, 16), Screen(b).substr(0, 16));
  // Nothing changes an idle screen but a new job.
  uint64_t start = platform::MonotonicMs();
  EXPECT_EQ(Outcome::TimedOut, b.wait_for_change(Deadline::in_ms(300)));
  EXPECT_GE(platform::MonotonicMs() - start, 290u);
  testing_support::write_file(spool / "SECOND", "second job\n");
  start = platform::MonotonicMs();
  EXPECT_EQ(Outcome::Ok, b.wait_for_change(Deadline::in_ms(3000)));
  EXPECT_LT(platform::MonotonicMs() - start, 1000u);
  EXPECT_NE(std::string::npos, Screen(b).find("SECOND"));
}

TEST(EmulatorSim, TypingStopsAtTheFieldAttributeUntilReset) {
  TempDir spool;
  SimBackend b(spool.path(), false);
  std::string problem;
  ASSERT_EQ(Outcome::Ok, b.open(Soon(), &problem));
  Keyboard k;
  EXPECT_EQ(Outcome::Protected, b.write_at(1919, "x", Soon()));
  ASSERT_EQ(Outcome::Ok, b.keyboard(&k, Soon()));
  EXPECT_EQ(Keyboard::Inhibited, k);
  EXPECT_EQ(Outcome::Protected, b.press(Key::Enter, Soon()));
  EXPECT_EQ(Outcome::Ok, b.press(Key::Reset, Soon()));
  ASSERT_EQ(Outcome::Ok, b.keyboard(&k, Soon()));
  EXPECT_EQ(Keyboard::Unlocked, k);
  // Typing at the cursor moves it along.
  ASSERT_EQ(Outcome::Ok, b.set_cursor(160, Soon()));
  ASSERT_EQ(Outcome::Ok, b.type("abc", Soon()));
  EXPECT_EQ(163, b.cursor());
  EXPECT_EQ("abc", Screen(b).substr(160, 3));
  ASSERT_EQ(Outcome::Ok, b.press(Key::Down, Soon()));
  EXPECT_EQ(243, b.cursor());
}

TEST(EmulatorSim, AMissingSpoolDirectoryIsReported) {
  SimBackend b("/nonexistent/spool", false);
  std::string problem;
  EXPECT_EQ(Outcome::Failed, b.open(Soon(), &problem));
  EXPECT_NE(std::string::npos, problem.find("/nonexistent/spool"));
}

}  // namespace
