// A client on the headless display, with the built message file in a
// private program directory.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "client/windows/client_app.h"
#include "client/windows/run_client.h"
#include "common/trace.h"
#include "platform/paths.h"
#include "tests/temp_dir.h"
#include "toolkit/headless_display.h"
#include "toolkit/keys.h"

using namespace client::windows;  // the code under test

class ClientTest : public ::testing::Test {
 protected:
  TempDir dir;
  ScopedEnv registry{"QOR_REGISTRY", dir / "registry.reg"};
  ScopedEnv settings{"QOR_SETTINGS", dir / "per-user.INI"};  // never the real home
  std::string program_dir = dir.path() + platform::kPathSeparator;
  std::string old_cwd;
  tk::HeadlessDisplay display{100, 30};

  void SetUp() override {
    std::filesystem::copy_file(std::string(QOR_BIN_DIR) + "/QORPRTW.QOR", dir / "QORPRTW.QOR");
    char buf[4096];
    old_cwd = getcwd(buf, sizeof buf);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_cwd.c_str()), 0); }
  // A client whose message file is open and texts loaded, without running it;
  // host, when given, stands in for the connection.
  std::unique_ptr<ClientApp> MakeApp(client::TransferHost* host = nullptr) {
    auto app = std::make_unique<ClientApp>(display, host);
    app->messages.MessageFileOpen((dir / "QORPRTW.QOR").c_str());
    app->texts.Load(app->messages);
    return app;
  }
  int Run(std::initializer_list<const char*> args) {
    std::vector<const char*> argv = {"qorprtt"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunClient(static_cast<int>(argv.size()), argv.data(), display, program_dir);
  }
  bool Shows(const std::string& text) const { return display.Find(text).x >= 0; }
};
