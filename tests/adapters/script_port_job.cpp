// A Windows program that takes a job the way the client does: through
// QOR32PCS.DLL and our PCSHLL32.DLL, whose session is an emulator's script
// port reached over Winsock. wine_script_port_test.cpp starts the emulator
// and the host on the Linux side and runs this program under Wine with
// $QOR_SESSIONS naming the session and $QOR_JOB_OUT where the job's bytes go.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support.h"
#include "tests/adapters/job_conversation.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

using adapter_test::AdapterLibrary;
using adapter_test::Family;
using adapter_test::JobConversation;

TEST(ScriptPortThroughWinsock, TakesTheJobThroughTheAdapterAsTheClientDoes) {
  const char* out = std::getenv("QOR_JOB_OUT");
  if (!out || !std::getenv("QOR_SESSIONS")) GTEST_SKIP() << "run by wine_script_port_test";
  AdapterLibrary lib(BinDir(), "QOR32PCS.DLL");
  ASSERT_TRUE(lib.loaded()) << BinDir() << ": " << lib.error();
  EXPECT_EQ(0, lib.init());
  // The emulator reaches the host on its own time: connect until it shows the job.
  JobConversation job(lib, Family::Wide);
  ASSERT_TRUE(testing_support::eventually(
      [&] {
        char id[4] = {'A'};
        return lib.call(1, id, 4).rc == 0 && job.screen().compare(0, 8, "QORPRINT") == 0;
      },
      30000));
  int rows = 0, columns = 0;
  job.connect(&rows, &columns);
  EXPECT_EQ(24, rows);
  EXPECT_EQ(80, columns);
  std::string bytes;
  EXPECT_GT(job.transfer("ALLBYTES", &bytes), 0);
  job.disconnect();
  EXPECT_EQ(0, lib.term());
  EXPECT_TRUE(WriteChecked(out, bytes));
}

}  // namespace
