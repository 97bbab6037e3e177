// Library names, paths and error texts as Windows gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "platform/system_error.h"

using namespace platform;

TEST(LibraryNameTest, NamesStayWindowsNames) {
  EXPECT_EQ(SharedObjectName("QOR32PCS.DLL"), "QOR32PCS.DLL");
  EXPECT_EQ(SharedObjectName("PCSHLL32"), "PCSHLL32.DLL");
  EXPECT_EQ(SharedObjectName("C:\\v1.2\\PCSHLL32"), "C:\\v1.2\\PCSHLL32.DLL");
}

TEST(LibraryLoadingTest, MissingLibraryGivesTheSystemsReason) {
  std::string error;
  EXPECT_EQ(LoadLibrary("NOSUCH99.DLL", &error), nullptr);
  EXPECT_EQ(error.rfind("NOSUCH99.DLL: ", 0), 0u) << error;
  EXPECT_GT(error.size(), sizeof "NOSUCH99.DLL: ");
  EXPECT_NE(FindLibraryInDirectory(ProgramDirectory(), "qorprobe.dll"), "");  // letter case aside
}

TEST(PathTest, BackslashesDrivesAndTheSystemsTexts) {
  EXPECT_EQ(DirectoryPart("C:\\A\\B\\C.TXT"), "C:\\A\\B\\");
  EXPECT_EQ(DirectoryPart("C:C.TXT"), "C:");
  EXPECT_EQ(DirectoryPart("/tmp/c.txt"), "/tmp/");
  // The file chooser's directories, drives and the names that are devices.
  EXPECT_EQ(ChooserDirectory("C:\\A\\B\\C.TXT"), "C:\\A\\B");
  EXPECT_EQ(ChooserDirectory("C:\\C.TXT"), "C:\\");
  EXPECT_EQ(ChooserDirectory("/C.TXT"), "/");
  std::vector<std::string> roots = DriveRoots();
  EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
  for (const char* device : {"CON", "nul.txt", "Com1", "LPT9.X", "CONOUT$"})
    EXPECT_TRUE(IsDeviceName(device)) << device;
  for (const char* file : {"CONTROL", "COM0", "COM10", "LPT", "XCON"})
    EXPECT_FALSE(IsDeviceName(file)) << file;
  EXPECT_EQ(ProgramDirectory().back(), '\\');
  EXPECT_EQ(CurrentDirectory().substr(1, 2), ":\\");
  EXPECT_FALSE(SystemErrorText(2).empty());
  EXPECT_EQ(SystemErrorText(2).find('\n'), std::string::npos);
}
