// Library names and error texts as Linux gives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "platform/system_error.h"

using namespace platform;

TEST(LibraryNameTest, WindowsNamesMapToSharedObjects) {
  EXPECT_EQ(SharedObjectName("QOR32PCS.DLL"), "qor32pcs.so");
  EXPECT_EQ(SharedObjectName("RazEvu3.dll"), "razevu3.so");
  EXPECT_EQ(SharedObjectName("PCSHLL32"), "pcshll32.so");
  EXPECT_EQ(SharedObjectName("whllapi.so"), "whllapi.so");
}

TEST(LibraryLoadingTest, MissingLibraryGivesAReadableError) {
  std::string error;
  EXPECT_EQ(LoadLibrary("NOSUCH99.DLL", &error), nullptr);
  EXPECT_NE(error.find("nosuch99.so"), std::string::npos);
}

TEST(SystemErrorTest, TextsComeFromTheSystem) {
  EXPECT_EQ(SystemErrorText(2), "No such file or directory");
  EXPECT_EQ(DirectoryPart("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(DirectoryPart("c.txt"), "");
  // The file chooser's directories: one root, no drives, nothing device-like.
  EXPECT_EQ(ChooserDirectory("/a/b/c.txt"), "/a/b");
  EXPECT_EQ(ChooserDirectory("/c.txt"), "/");
  EXPECT_EQ(ChooserDirectory("c:/x"), "c:");
  EXPECT_EQ(DriveRoots(), std::vector<std::string>{"/"});
  EXPECT_FALSE(IsDeviceName("CON"));
}
