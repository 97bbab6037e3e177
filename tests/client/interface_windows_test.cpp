// The host interface windows of the options menu.
#include "client/windows/interface_windows.h"

#include "common/registry_access.h"
#include "tests/client/client_fixture.h"

namespace {

class InterfaceWindowsTest : public ClientTest {
 protected:
  std::unique_ptr<ClientApp> app;
  void SetUp() override {
    ClientTest::SetUp();
    app = MakeApp();
    app->state.program_dir = program_dir;
  }
  void Open() {
    app->connection =
        std::make_unique<hostlink::HostConnection>("QORPRTW.INI", &app->services, app->trace);
  }
  std::string Saved(const char* name) {
    common::RegistryAccess reg;  // the value lives in its buffer
    const char* v =
        reg.GetValue(hostlink::kInterfaceSettingsKey, name, common::RegistryOpen::kExisting);
    return v ? v : "<none>";
  }
};

TEST_F(InterfaceWindowsTest, AdapterListShowsWindowsStyleNames) {
  for (const char* f : {"qor32pcs.so", "QOR32HLL.so", "razevu3.so", "other.so", "qor.txt"})
    WriteFile(dir / f, "");
  EXPECT_EQ(FindAdapterLibraries(program_dir),
            (std::vector<std::string>{"QOR32HLL.DLL", "QOR32PCS.DLL"}));
  for (int i = 0; i < 12; ++i) WriteFile(dir / ("qorx" + std::to_string(i) + ".so"), "");
  EXPECT_EQ(FindAdapterLibraries(program_dir).size(), 10u);
}

TEST_F(InterfaceWindowsTest, NovellIsShownAndSavedByItsWords) {
  common::RegistryAccess().PutValue(hostlink::kInterfaceSettingsKey, "LOOP", "Novel",
                                    common::RegistryOpen::kCreate);
  Open();
  bool shown = false;
  display.Then([&] { shown = Shows("NOVEL"); }).Key(tk::key::kEnter);
  RunInterfaceSettingsWindow(app->ui, *app->connection, app->state.program_dir);
  EXPECT_TRUE(shown);
  EXPECT_EQ(Saved("LOOP"), "Novel");
  EXPECT_EQ(Saved("SESSION"), "A");
  EXPECT_EQ(Saved("TIMEOUT"), "30");
  EXPECT_EQ(Saved("DLL"), "RAZEVU3.DLL");
}

TEST_F(InterfaceWindowsTest, KindsShownAsAnyAreSavedAsAny) {
  common::RegistryAccess().PutValue(hostlink::kInterfaceSettingsKey, "LOOP", "E62",
                                    common::RegistryOpen::kCreate);
  Open();
  display.Key(tk::key::kEnter);
  RunInterfaceSettingsWindow(app->ui, *app->connection, app->state.program_dir);
  EXPECT_EQ(app->connection->session_type, 'A');
  EXPECT_EQ(Saved("LOOP"), "ANY");
}

TEST_F(InterfaceWindowsTest, FieldsChangeTheSettingsOnOkOnly) {
  WriteFile(dir / "qor32pcs.so", "");
  Open();
  // Session letter typed in lower case is forced to upper case; the time-out
  // refuses a value above 14400; the adapter list offers the built-in host too.
  display.Key(tk::key::kHome)
      .Key(tk::key::kDelete)
      .Type("b")
      .Key(tk::key::kTab)
      .Type("99999")
      .Key(tk::key::kTab)
      .Key(tk::key::kTab)
      .Key(tk::key::kTab)
      .Key(tk::key::kDown)  // next adapter in the list
      .Key(tk::key::kTab)
      .Key(tk::key::kEnter);  // OK
  RunInterfaceSettingsWindow(app->ui, *app->connection, app->state.program_dir);
  EXPECT_EQ(app->connection->SessionLetter(), 'B');
  EXPECT_EQ(app->connection->timeout, 9999);  // the fifth 9 was refused
  EXPECT_EQ(app->connection->library_name, "QOR32PCS.DLL");
  EXPECT_EQ(Saved("DLL"), "QOR32PCS.DLL");

  display.Type("c").Key(tk::key::kEscape);  // Cancel changes nothing
  RunInterfaceSettingsWindow(app->ui, *app->connection, app->state.program_dir);
  EXPECT_EQ(app->connection->SessionLetter(), 'B');
}

TEST_F(InterfaceWindowsTest, SessionParametersOfMaximumLengthSurvive) {
  Open();
  std::string parms(255, 'p');
  display.Type(parms + "x").Key(tk::key::kEnter);
  RunSessionParametersWindow(app->ui, *app->connection);
  EXPECT_EQ(app->connection->GetSessionParameters(), std::string(255, 'P'));
  app->connection->SaveInterfaceSettings();
  hostlink::HostConnection again("QORPRTW.INI", &app->services, app->trace);
  EXPECT_EQ(again.GetSessionParameters(), std::string(255, 'P'));
}

}  // namespace
