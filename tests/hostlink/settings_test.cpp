// Reading and saving the host interface settings.
#include <string>

#include "common/registry_access.h"
#include "tests/hostlink/link_fixture.h"

namespace {

class SettingsTest : public LinkTest {
 protected:
  void Put(const char* name, const std::string& value) {
    common::RegistryAccess reg;
    ASSERT_EQ(reg.PutValue(hostlink::kInterfaceSettingsKey, name, value.c_str(),
                           common::RegistryOpen::kCreate),
              0);
  }
};

TEST_F(SettingsTest, DefaultsWithoutAKey) {
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  EXPECT_EQ(conn.SessionLetter(), 'A');
  EXPECT_EQ(conn.timeout, 30);
  EXPECT_EQ(conn.flicker, 5);
  EXPECT_EQ(conn.session_type, 0);
  EXPECT_EQ(conn.library_name, "RAZEVU3.DLL");
  EXPECT_EQ(conn.GetSessionParameters(), std::nullopt);
  EXPECT_TRUE(TraceHas(" Registry Open Error <>Subkey[O]=SOFTWARE\\VORNTEK\\QORPRT RC=2(0002)"));
}

TEST_F(SettingsTest, ValuesAreParsedByPrefixInTheFixedOrder) {
  Put("SESSION", "B");
  Put("FLICKERING", "7");  // a longer name still counts as FLICKER
  Put("TIMEOUT", "45s");
  Put("LOOP", "Novel");
  Put("DLL", "QOR32PCS.DLL");
  Put("LOGON", "2 LOGON APPL");
  Put("LOGOFF", "*NONE*");
  Put("TCP/IPNETNAME", "net");
  Put("TCP/IPPORT", "x");
  Put("STRUCTUREDFIELDS", "Converse");
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  EXPECT_EQ(conn.SessionLetter(), 'B');
  EXPECT_EQ(conn.flicker, 7);
  EXPECT_EQ(conn.timeout, 45);
  EXPECT_EQ(conn.session_type, 'N');
  EXPECT_STREQ(hostlink::HostConnection::ShownKindWord(conn.session_type), "NOVEL");
  EXPECT_EQ(conn.library_name, "QOR32PCS.DLL");
}

TEST_F(SettingsTest, ABlankLibraryIsTheDefaultAdapter) {
  Put("DLL", " ");
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  EXPECT_EQ(conn.library_name, "RAZEVU3.DLL");
}

TEST_F(SettingsTest, DebugValueStartsTheScreenTrace) {
  char old_cwd[4096];
  ASSERT_NE(getcwd(old_cwd, sizeof old_cwd), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  Put("DEBUG", "anything");
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  EXPECT_EQ(std::string(trace.File()->Path()), dir / "QORPRTW.SCR");
  ASSERT_EQ(chdir(old_cwd), 0);
}

TEST_F(SettingsTest, SaveWritesSixValuesAndKindWords) {
  {
    hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
    conn.session_number = 3;
    conn.timeout = 120;
    conn.session_type = 'P';
    conn.library_name = "QOR32HLL.DLL";
    conn.SaveInterfaceSettings();
  }
  hostlink::HostConnection again("QORPRTW.INI", &services, trace);
  EXPECT_EQ(again.SessionLetter(), 'C');
  EXPECT_EQ(again.timeout, 120);
  EXPECT_EQ(again.session_type, 'P');
  EXPECT_EQ(again.library_name, "QOR32HLL.DLL");
  common::RegistryAccess reg;
  EXPECT_STREQ(
      reg.GetValue(hostlink::kInterfaceSettingsKey, "LOOP", common::RegistryOpen::kExisting),
      "Pause");
  EXPECT_STREQ(
      reg.GetValue(hostlink::kInterfaceSettingsKey, "SESPARMS", common::RegistryOpen::kExisting),
      "");
  EXPECT_STREQ(hostlink::HostConnection::SavedKindWord('x'), "ANY");
  EXPECT_STREQ(hostlink::HostConnection::ShownKindWord('E'), "ANY");
}

TEST_F(SettingsTest, LongSessionParametersSurviveTheNextStart) {
  std::string parms(255, 'P');
  {
    hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
    conn.SetSessionParameters(parms.c_str());
    conn.timeout = 99;
    conn.SaveInterfaceSettings();
  }
  hostlink::HostConnection again("QORPRTW.INI", &services, trace);
  EXPECT_EQ(again.GetSessionParameters(), parms);
  EXPECT_EQ(again.timeout, 99);  // values after it are read too
  EXPECT_EQ(again.SessionLetter(), 'A');
}

TEST_F(SettingsTest, OverLongValueIsSkippedNotFatal) {
  Put("SESPARMS", std::string(300, 'Q'));
  Put("TIMEOUT", "12");
  hostlink::HostConnection conn("QORPRTW.INI", &services, trace);
  EXPECT_EQ(conn.GetSessionParameters(), std::nullopt);
  EXPECT_EQ(conn.timeout, 12);
  EXPECT_TRUE(TraceHas(" Registry Browse Error <>"));
}

}  // namespace
