#include "client/engine/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "tests/temp_dir.h"

namespace {

// The settings file stays beside a program that may write it (a build);
// an installation's directory is never written: the user's file serves, made
// at the first start so that only that start is a first run.
TEST(ProgramFilesTest, SettingsBesideTheProgramOrPerUser) {
  TempDir dir;
  ScopedEnv per_user{"QOR_SETTINGS", dir / "config/qorprt/QORPRTW.INI"};
  client::ProgramFiles installed = client::DeriveProgramFiles("/opt/qor/lib/", "QORPRTW");
  EXPECT_EQ(installed.settings, dir / "config/qorprt/QORPRTW.INI");
  EXPECT_TRUE(installed.settings_per_user);
  EXPECT_EQ(installed.messages, "/opt/qor/lib/QORPRTW.QOR");
  EXPECT_EQ(installed.trace, "QORPRTW.TRC");
  EXPECT_TRUE(client::CheckFirstRun(installed));
  EXPECT_FALSE(client::CheckFirstRun(installed));

  WriteFile(dir / "QORPRTW.INI", "$\n");
  client::ProgramFiles build =
      client::DeriveProgramFiles(dir.path() + platform::kPathSeparator, "QORPRTW");
  EXPECT_EQ(build.settings, dir / "QORPRTW.INI");
  EXPECT_FALSE(build.settings_per_user);
}

TEST(CheckFirstRunTest, MissingFileIsAFirstRunEveryTimeAndIsNotCreated) {
  TempDir dir;
  std::string ini = dir / "QORPRTW.INI";
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_NE(access(ini.c_str(), F_OK), 0);
}

TEST(CheckFirstRunTest, MarkerIsRemovedOnceAndTheRestKept) {
  TempDir dir;
  std::string ini = dir / "QORPRTW.INI";
  WriteFile(ini, "$\n");
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_EQ(ReadFile(ini), "");
  EXPECT_FALSE(client::CheckFirstRun(ini));

  std::string rest;
  for (int i = 0; rest.size() < 2997; ++i) rest += "line " + std::to_string(i) + "\r\n";
  WriteFile(ini, "$\r\n" + rest);  // longer than the 1024 characters looked at
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_EQ(ReadFile(ini), rest);
}

TEST(CheckFirstRunTest, OtherFilesAreNeverChanged) {
  TempDir dir;
  std::string ini = dir / "QORPRTW.INI";
  WriteFile(ini, "[settings]\n$not a marker\n");
  EXPECT_FALSE(client::CheckFirstRun(ini));
  EXPECT_EQ(ReadFile(ini), "[settings]\n$not a marker\n");
  // A "$" without a line end loses only the marker, no content.
  WriteFile(ini, "$abc");
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_EQ(ReadFile(ini), "abc");
}

TEST(CheckFirstRunTest, UnwritableFileKeepsItsMarker) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  TempDir dir;
  std::string ini = dir / "QORPRTW.INI";
  WriteFile(ini, "$\nrest");
  chmod(dir.path().c_str(), 0500);
  EXPECT_TRUE(client::CheckFirstRun(ini));
  EXPECT_TRUE(client::CheckFirstRun(ini));
  chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadFile(ini), "$\nrest");
}

}  // namespace
