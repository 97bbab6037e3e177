// The pieces of a service's reports that the end-to-end run cannot force:
// JSON strings from any bytes, and the command after each
// job failing, overstaying and arriving faster than it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "client/engine/job_hook.h"
#include "client/engine/service_options.h"
#include "common/json_text.h"
#include "platform/clock.h"
#include "tests/temp_dir.h"

namespace {

TEST(JsonText, EscapesEveryByteSoTheStringStaysValid) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"plain", "\"plain\""},
      {"q\"b\\s/", "\"q\\\"b\\\\s/\""},
      {"\n\r\t\x01\x1f\x7f", "\"\\n\\r\\t\\u0001\\u001f\\u007f\""},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x96\xa8",
       "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x96\xa8\""},
      {"\xff\xfe", "\"\\ufffd\\ufffd\""},  // not UTF-8 at all (a codepage's bytes)
      {"cut \xc3", "\"cut \\ufffd\""},     // a sequence cut at the end
      {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80",
       "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\""},  // overlong,
                                                                                // surrogate, too
                                                                                // high
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
  };
  for (const auto& c : cases) EXPECT_EQ(common::JsonString(c.in), c.out) << c.in;
  EXPECT_EQ(common::UtcTimestamp(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(common::UtcTimestamp(1796801046), "2026-12-09T07:24:06Z");
}

#ifndef _WIN32
// Tends the hook as the client's wait does until nothing runs or ms pass.
bool TendUntilIdle(client::JobHook& hook, int ms) {
  const uint64_t end = platform::MonotonicMs() + static_cast<uint64_t>(ms);
  for (int next = hook.Tend(); next >= 0; next = hook.Tend()) {
    if (platform::MonotonicMs() >= end) return false;
    platform::WaitForAny(hook.Waitables(), std::min(next, 100));
  }
  return true;
}

TEST(JobHook, FailuresAndOverstayingAreLoggedAndAFullQueueDropsRuns) {
  TempDir dir;
  std::vector<std::string> said;
  auto say = [&said](const std::string& text) { said.push_back(text); };
  client::JobReport report;
  report.name = "QOR A,00001";

  client::JobHook failing({"/bin/sh", "-c", "exit 3"}, 60, say);
  failing.Run(report);
  client::JobHook missing({dir / "no-such-program"}, 60, say);
  missing.Run(report);
  client::JobHook hanging({"sleep", "30"}, 1, say);
  hanging.Run(report);
  EXPECT_TRUE(TendUntilIdle(failing, 10000));
  EXPECT_TRUE(TendUntilIdle(hanging, 10000));
  EXPECT_EQ(said, (std::vector<std::string>{
                      "Command after job QOR A,00001 could not start: " +
                          (dir / "no-such-program") + ": No such file or directory",
                      "Command after job QOR A,00001 failed with exit status 3",
                      "Command after job QOR A,00001 killed: still running after 1 s"}));

  // Runs beyond those running and waiting are dropped; the rest all run.
  said.clear();
  const std::string gate = dir / "gate";
  client::JobHook slow(
      {"/bin/sh", "-c",
       "while [ ! -e '" + gate + "' ]; do sleep 0.05; done; echo >> '" + (dir / "ran") + "'"},
      60, say);
  for (size_t i = 0; i < client::JobHook::kMostRunning + client::JobHook::kMostWaiting + 2; ++i)
    slow.Run(report);
  EXPECT_EQ(slow.Running(), client::JobHook::kMostRunning);
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[0], "Command after job QOR A,00001 not run: 4 commands run and 32 wait already");
  WriteFile(gate, "");
  EXPECT_TRUE(TendUntilIdle(slow, 30000));
  EXPECT_EQ(ReadFile(dir / "ran").size(),
            client::JobHook::kMostRunning + client::JobHook::kMostWaiting);
}
#endif

}  // namespace
