// The printer list and default printer as read from a profile file, and the
// Windows-style reads of its sections.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <string>

#include "platform/print/printer_profile.h"

namespace {

using platform::GetProfileString;
using platform::ParsePrinterProfile;
using platform::PrinterProfile;

const char kIni[] =
    "; printers of the test office\r\n"
    "[Windows]\r\n"
    "Device = Second Floor,pdf,/tmp/second.pdf\r\n"
    "device=ignored,pdf,/tmp/x.pdf\r\n"
    "[other]\n"
    "First=pdf,/tmp/not-a-printer.pdf\n"
    "[devices]\n"
    "Ground Floor=pdf,/tmp/ground.pdf\n"
    "Second Floor = pdf , /tmp/second floor, copy.pdf\n"
    "# a comment\n"
    "Laser=cups,ipp://127.0.0.1/printers/laser\n"
    "ground floor=pdf,/tmp/duplicate.pdf\n"
    "no value line\n";

TEST(PrinterProfileTest, SectionsAreReadInOrderWithFirstKeysWinning) {
  PrinterProfile p = ParsePrinterProfile(kIni);
  EXPECT_EQ(p.default_device, "Second Floor,pdf,/tmp/second.pdf");
  ASSERT_EQ(p.devices.size(), 3u);
  EXPECT_EQ(p.devices[0].name, "Ground Floor");
  EXPECT_EQ(p.devices[0].port, "/tmp/ground.pdf");
  EXPECT_EQ(p.devices[1].name, "Second Floor");
  EXPECT_EQ(p.devices[1].driver, "pdf");
  EXPECT_EQ(p.devices[1].port, "/tmp/second floor, copy.pdf");
  EXPECT_EQ(p.devices[2].driver, "cups");
  ASSERT_NE(platform::FindPrinter(p, "LASER"), nullptr);
  EXPECT_EQ(platform::FindPrinter(p, "First"), nullptr);
}

TEST(PrinterProfileTest, KeyReadsCutToTheBufferAndFallBackToTheDefault) {
  PrinterProfile p = ParsePrinterProfile(kIni);
  char buf[80];
  EXPECT_EQ(GetProfileString(p, "windows", "device", ",,,", buf, sizeof buf), 32u);
  EXPECT_STREQ(buf, "Second Floor,pdf,/tmp/second.pdf");
  GetProfileString(p, "devices", "laser", ",,,", buf, sizeof buf);
  EXPECT_STREQ(buf, "cups,ipp://127.0.0.1/printers/laser");
  GetProfileString(p, "devices", "Nowhere", ",,,", buf, sizeof buf);
  EXPECT_STREQ(buf, ",,,");
  char small[8];
  EXPECT_EQ(GetProfileString(p, "windows", "device", ",,,", small, sizeof small), 7u);
  EXPECT_STREQ(small, "Second ");

  PrinterProfile none = ParsePrinterProfile("");
  GetProfileString(none, "windows", "device", ",,,", buf, sizeof buf);
  EXPECT_STREQ(buf, ",,,");
}

TEST(PrinterProfileTest, KeyListHoldsWholeNamesOnly) {
  PrinterProfile p = ParsePrinterProfile(kIni);
  char buf[64];
  memset(buf, 'x', sizeof buf);
  size_t n = GetProfileString(p, "devices", nullptr, "", buf, sizeof buf);
  ASSERT_EQ(n, 32u);
  EXPECT_EQ(std::string(buf, n + 1), std::string("Ground Floor\0Second Floor\0Laser\0\0", 33));
  char small[20];
  n = GetProfileString(p, "devices", nullptr, "", small, sizeof small);
  EXPECT_EQ(std::string(small, n + 1), std::string("Ground Floor\0\0", 14));
  char tiny[4];
  n = GetProfileString(p, "devices", nullptr, "", tiny, sizeof tiny);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(tiny[0], '\0');
  EXPECT_EQ(tiny[1], '\0');
}

TEST(PrinterProfileTest, ProfileFileReplacesTheSystemList) {
  char path[] = "/tmp/profile_test.XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, kIni, strlen(kIni)), static_cast<ssize_t>(strlen(kIni)));
  close(fd);
  setenv("QOR_PROFILE", path, 1);
  EXPECT_EQ(platform::LoadPrinterProfile().devices.size(), 3u);
  unlink(path);
  EXPECT_TRUE(platform::LoadPrinterProfile().devices.empty()) << "a missing file has no printers";
  unsetenv("QOR_PROFILE");
}

}  // namespace
