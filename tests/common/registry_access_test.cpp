#include "common/registry_access.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "common/program_flavour.h"
#include "common/trace.h"
#include "tests/registry_sandbox.h"
#include "tests/temp_dir.h"

namespace {

constexpr const char* kKey = "SOFTWARE\\VORNTEK\\QORPRT";

class QorregTest : public ::testing::Test {
 protected:
  TempDir dir;
  RegistrySandbox registry{dir / "registry.reg"};
  common::Tracer trace;
  void SetUp() override {
    ASSERT_TRUE(trace.Start((dir / "T.TRC").c_str(), common::TraceMode::kFresh));
  }
  std::string Trace() { return ReadFile(trace.File()->Path()); }
};

TEST_F(QorregTest, PutThenGetAndErrorText) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  EXPECT_EQ(reg.PutValue(kKey, "DLL", "QOR32PCS.DLL", common::RegistryOpen::kCreate), 0);
  const char* value = reg.GetValue(kKey, "DLL", common::RegistryOpen::kExisting);
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, "QOR32PCS.DLL");
  char text[32];
  EXPECT_EQ(reg.ErrorText(text), common::RegistryAccess::kNone);
  EXPECT_STREQ(text, "Registry NO Error");
}

TEST_F(QorregTest, ValueLengthLimits) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  std::string v127(127, 'x'), v200(200, 'y');
  reg.PutValue(kKey, "A", v127.c_str(), common::RegistryOpen::kCreate);
  reg.PutValue(kKey, "B", v200.c_str(), common::RegistryOpen::kCreate);
  const char* a = reg.GetValue(kKey, "A", common::RegistryOpen::kExisting);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(std::string(a), v127);
  EXPECT_EQ(reg.GetValue(kKey, "B", common::RegistryOpen::kExisting), nullptr);
  char text[32];
  EXPECT_EQ(reg.ErrorText(text), common::RegistryAccess::kGet);
  EXPECT_STREQ(text, "Registry Get Error");
  std::string trace = Trace();
  EXPECT_NE(trace.find(" Registry Get Error <>Subkey[O]=SOFTWARE\\VORNTEK\\QORPRT RC=234(00ea)"),
            std::string::npos);
}

TEST_F(QorregTest, EnumerationLimitsAndRestart) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  // An empty key: null at once, nothing traced.
  common::RegistryAccess empty(common::ProgramFlavour::kClient, &trace);
  empty.Open("SOFTWARE\\EMPTY", common::RegistryOpen::kCreate);
  EXPECT_EQ(empty.Enumerate("SOFTWARE\\EMPTY", common::RegistryItems::kValues), nullptr);
  EXPECT_EQ(empty.ErrorText(nullptr), common::RegistryAccess::kNone);
  EXPECT_EQ(Trace(), "");

  std::string d62(62, 'd'), d63(63, 'e');
  reg.PutValue(kKey, "FIRST", d62.c_str(), common::RegistryOpen::kCreate);
  reg.PutValue(kKey, "SECOND", d63.c_str(), common::RegistryOpen::kCreate);
  const char* item = reg.Enumerate(kKey, common::RegistryItems::kValues);
  ASSERT_NE(item, nullptr);
  EXPECT_STREQ(item, "FIRST");
  EXPECT_EQ(std::string(item + std::strlen(item) + 1), d62);
  EXPECT_EQ(reg.Enumerate(kKey, common::RegistryItems::kValues),
            nullptr);  // 63 characters: browse error
  EXPECT_EQ(reg.ErrorText(nullptr), common::RegistryAccess::kBrowse);
  // After an end or a failure the index restarts.
  item = reg.Enumerate(kKey, common::RegistryItems::kValues);
  ASSERT_NE(item, nullptr);
  EXPECT_STREQ(item, "FIRST");
}

TEST_F(QorregTest, EnumerationEndsWithNullAndStartsAgain) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  reg.PutValue(kKey, "ONE", "1", common::RegistryOpen::kCreate);
  reg.PutValue(kKey, "TWO", "2", common::RegistryOpen::kCreate);
  EXPECT_STREQ(reg.Enumerate(kKey, common::RegistryItems::kValues), "ONE");
  EXPECT_STREQ(reg.Enumerate(kKey, common::RegistryItems::kValues), "TWO");
  EXPECT_EQ(reg.Enumerate(kKey, common::RegistryItems::kValues), nullptr);
  EXPECT_EQ(reg.ErrorText(nullptr), common::RegistryAccess::kNone);
  EXPECT_STREQ(reg.Enumerate(kKey, common::RegistryItems::kValues), "ONE");
}

TEST_F(QorregTest, KeysAreEnumeratedAndDeleted) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  reg.Open("SOFTWARE\\VORNTEK\\QORPRT\\S1", common::RegistryOpen::kCreate);
  reg.Open("SOFTWARE\\VORNTEK\\QORPRT\\S2", common::RegistryOpen::kCreate);
  EXPECT_STREQ(reg.EnumerateKeys(kKey), "S1");
  EXPECT_STREQ(reg.EnumerateKeys(kKey), "S2");
  EXPECT_EQ(reg.EnumerateKeys(kKey), nullptr);
  EXPECT_EQ(reg.EnumerateKeys("SOFTWARE\\NOWHERE"), nullptr);
  EXPECT_EQ(reg.ErrorText(nullptr), common::RegistryAccess::kNone);  // never recorded
  EXPECT_EQ(reg.DeleteKey("SOFTWARE\\VORNTEK\\QORPRT\\S1"), 0);
  EXPECT_EQ(reg.DeleteKey("SOFTWARE\\VORNTEK\\QORPRT\\S1"), -1);
  char text[32];
  reg.ErrorText(text);
  EXPECT_STREQ(text, "Registry Delete Error");
}

TEST_F(QorregTest, OpenFailureIsTracedAndALaterOpenRetries) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  EXPECT_EQ(reg.Open("SOFTWARE\\LATER", common::RegistryOpen::kExisting), -1);
  EXPECT_NE(Trace().find(" Registry Open Error <>Subkey[O]=SOFTWARE\\LATER RC=2(0002)"),
            std::string::npos);
  common::RegistryAccess other(common::ProgramFlavour::kClient, &trace);
  other.Open("SOFTWARE\\LATER", common::RegistryOpen::kCreate);
  EXPECT_EQ(reg.Open("SOFTWARE\\LATER", common::RegistryOpen::kExisting), 0);
}

TEST_F(QorregTest, ReopeningTheSameSubPathReusesTheKey) {
  common::RegistryAccess reg(common::ProgramFlavour::kClient, &trace);
  ASSERT_EQ(reg.Open("SOFTWARE\\REUSE", common::RegistryOpen::kCreate), 0);
  // Even after the key disappears underneath, the same sub-path is not reopened.
  common::RegistryAccess other(common::ProgramFlavour::kClient, &trace);
  other.DeleteKey("SOFTWARE\\REUSE");
  EXPECT_EQ(reg.Open("SOFTWARE\\REUSE", common::RegistryOpen::kExisting), 0);
  EXPECT_EQ(reg.Open("SOFTWARE\\Reuse", common::RegistryOpen::kExisting),
            -1);  // case-sensitive comparison
}

TEST_F(QorregTest, ConfigurationBuildReportsNothingAndCannotDelete) {
  common::RegistryAccess reg(common::ProgramFlavour::kConfig, &trace);
  EXPECT_EQ(reg.Open("SOFTWARE\\NONE", common::RegistryOpen::kExisting), -1);
  EXPECT_EQ(reg.DeleteKey(kKey), -1);
  EXPECT_EQ(Trace(), "");
}

}  // namespace
