// The libraries as the client loads them: each adapter with its provider
// beside it, publishing the entry points under the names the client binds,
// and the default adapter taking jobs from its in-process host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/dynamic_library.h"
#include "test_support.h"
#include "tests/adapters/job_conversation.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

using adapter_test::AdapterLibrary;
using adapter_test::Family;
using adapter_test::JobConversation;

std::string Sample(const std::string& name) {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

using LastErrorFn = const char* (*)();

// The four adapters publish QOR_WHICH and QOR_LOOP under decorated names
// only, so the client's look-up by plain name finds nothing there; the
// default adapter publishes all five plainly. The client reaches the cause of
// a provider's failure through the adapter that carries the provider.
TEST(AdapterLoading, EachAdapterLoadsWithItsProviderAndBindsThePlainEntryPoints) {
  struct Case {
    const char* name;
    bool plain_which_and_loop;
  };
  for (const Case& c :
       {Case{"QOR32HLL.DLL", false}, Case{"QOR32WHL.DLL", false}, Case{"QOR32E62.DLL", false},
        Case{"QOR32PCS.DLL", false}, Case{"RAZEVU3.DLL", true}}) {
    AdapterLibrary lib(BinDir(), c.name);
    ASSERT_TRUE(lib.loaded()) << c.name << ": " << lib.error();
    for (const char* entry : {"QOR_WHICH", "QOR_LOOP"})
      EXPECT_EQ(platform::GetProcAddress(lib.handle(), entry) != nullptr, c.plain_which_and_loop)
          << c.name << " " << entry;
    if (!c.plain_which_and_loop) {
      EXPECT_NE(platform::GetProcAddressWithImports(lib.handle(), "qor_provider_last_error"),
                nullptr)
          << c.name;
    }
  }
}

#ifdef _WIN32
// Nothing on Windows starts an s3270 of its own: the cause the client shows
// says what to run and write instead.
TEST(AdapterLoading, AnS3270SessionNamesTheScriptPortInItsCause) {
  TempDir dir;
  testing_support::write_file(dir / "sessions", "A s3270 mainframe.example.com:23\n");
  ScopedEnv sessions("QOR_SESSIONS", dir / "sessions");
  AdapterLibrary lib(BinDir(), "QOR32PCS.DLL");
  ASSERT_TRUE(lib.loaded()) << lib.error();
  lib.init();
  EXPECT_EQ(lib.call_text(1, "A").rc, 9);
  auto cause = reinterpret_cast<LastErrorFn>(
      platform::GetProcAddressWithImports(lib.handle(), "qor_provider_last_error"));
  ASSERT_NE(cause, nullptr);
  EXPECT_NE(std::string(cause()).find("start ws3270 -scriptport 127.0.0.1:PORT "
                                      "mainframe.example.com:23 and name it in the sessions file "
                                      "as \"script 127.0.0.1:PORT\""),
            std::string::npos)
      << cause();
  lib.term();
}
#endif

TEST(AdapterDefault, ServesTheShippedSamplesWithoutAnEmulatorAndKeepsThem) {
  ::unsetenv("QOR_SPOOL");
  AdapterLibrary lib(BinDir(), "RAZEVU3.DLL");
  ASSERT_TRUE(lib.loaded()) << lib.error();
  EXPECT_EQ(0, lib.init());
  JobConversation job(lib, Family::WinHllapi);
  int rows = 0, columns = 0;
  job.connect(&rows, &columns);
  EXPECT_EQ(24, rows);
  EXPECT_EQ(80, columns);
  EXPECT_GT(job.transfer("ALLBYTES"), 1);
  EXPECT_TRUE(testing_support::file_exists(BinDir() + "/samples/ALLBYTES"));
  job.disconnect();
  // A new session of the same run goes on with the next sample; a new run
  // (after QOR_TERM) starts from the first again.
  job.connect(&rows, &columns);
  EXPECT_EQ(std::string::npos, job.screen().find("ALLBYTES"));
  job.disconnect();
  EXPECT_EQ(0, lib.term());
  EXPECT_EQ(0, lib.init());
  job.connect(&rows, &columns);
  EXPECT_NE(std::string::npos, job.screen().find("ALLBYTES"));
  job.disconnect();
  EXPECT_EQ(0, lib.term());
}

TEST(AdapterDefault, ServesTheSpoolNamedByQorSpoolAndMovesFinishedJobs) {
  TempDir dir;
  testing_support::write_file(dir / "SHORT", Sample("SHORT"));
  ScopedEnv spool("QOR_SPOOL", dir.path());
  AdapterLibrary lib(BinDir(), "RAZEVU3.DLL");
  ASSERT_TRUE(lib.loaded()) << lib.error();
  lib.init();
  JobConversation job(lib, Family::WinHllapi);
  int rows = 0, columns = 0;
  job.connect(&rows, &columns);
  EXPECT_EQ(1, job.transfer("SHORT"));
  EXPECT_TRUE(testing_support::file_exists(dir / "done/SHORT"));
  EXPECT_FALSE(testing_support::file_exists(dir / "SHORT"));
  job.disconnect();
  lib.term();
}

}  // namespace
