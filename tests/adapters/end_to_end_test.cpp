// Jobs taken through each adapter library and its provider over a real s3270
// connected to qorhost.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "qorhost_process.h"
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

struct AdapterCase {
  const char* name;
  Family family;
};

void PrintTo(const AdapterCase& c, std::ostream* os) { *os << c.name; }

class AdapterThroughS3270 : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(AdapterThroughS3270, TakesAJobFromHeaderToEndMarker) {
  TempDir dir;
  const std::string spool = dir / "spool";
  ASSERT_EQ(0, ::mkdir(spool.c_str(), 0755));
  testing_support::write_file(spool + "/MONTHRPT", Sample("MONTHRPT"));
  testing_support::QorhostProcess host(spool, {}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0) << testing_support::read_file(dir / "qorhost.log");
  testing_support::write_file(dir / "sessions", "# test session\nA s3270 127.0.0.1:" +
                                                    std::to_string(host.port()) + " timeout=10\n");
  ScopedEnv sessions("QOR_SESSIONS", dir / "sessions");

  AdapterLibrary lib(BinDir(), GetParam().name);
  ASSERT_TRUE(lib.loaded()) << lib.error();
  lib.init();
  JobConversation job(lib, GetParam().family);
  int rows = 0, columns = 0;
  job.connect(&rows, &columns);
  EXPECT_EQ(24, rows);
  EXPECT_EQ(80, columns);
  // A function number above 65535 reaches a WinHLLAPI provider as its low
  // 16 bits (here Query Session Status); the 32-bit one sees it whole.
  unsigned char status[21] = {'A'};
  adapter_test::CallResult high = lib.call(0x10000 + 22, status, 20);
  if (GetParam().family == Family::Wide) {
    EXPECT_NE(0, high.rc);
  } else {
    EXPECT_EQ(0, high.rc);
    EXPECT_EQ(24, adapter_test::Word(status + 11));
  }
  int blocks = job.transfer("MONTHRPT");
  EXPECT_GT(blocks, 5);
  EXPECT_TRUE(testing_support::eventually(
      [&] { return testing_support::file_exists(spool + "/done/MONTHRPT"); }, 10000))
      << "the host delivered the job";
  job.disconnect();
  EXPECT_EQ(0, lib.term());
}

INSTANTIATE_TEST_SUITE_P(All, AdapterThroughS3270,
                         ::testing::Values(AdapterCase{"QOR32HLL.DLL", Family::WinHllapi},
                                           AdapterCase{"QOR32WHL.DLL", Family::WinHllapi},
                                           AdapterCase{"QOR32E62.DLL", Family::E62},
                                           AdapterCase{"QOR32PCS.DLL", Family::Wide}),
                         [](const auto& info) {
                           return std::string(info.param.name).substr(0, 8);
                         });

}  // namespace
