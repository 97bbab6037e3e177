// A print job through a real Windows printer: QOR_TEST_PRINTER names it and
// QOR_TEST_OUT is a directory for the file-port job. print_gdi_job.sh gives
// it a private CUPS queue as its printer and reads the pages back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/print/print_device.h"
#include "platform/print/print_device_mode.h"
#include "platform/print/print_fonts.h"
#include "platform/print/printer_profile.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool Draw(platform::PrintDevice& dev, int line, const char* text) {
  return dev.DrawText(0, line * dev.LineHeight(), text, strlen(text));
}

TEST(GdiPrintJobTest, PrinterIsListedAsTheDefaultWithItsSettings) {
  const std::string printer = Env("QOR_TEST_PRINTER");
  ASSERT_FALSE(printer.empty());
  platform::PrinterProfile profile = platform::LoadPrinterProfile();
  const platform::PrinterEntry* entry = platform::FindPrinter(profile, printer);
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->driver.empty());
  EXPECT_FALSE(entry->port.empty());
  EXPECT_EQ(profile.default_device, entry->name + "," + entry->driver + "," + entry->port);

  platform::DeviceCapabilities caps;
  ASSERT_TRUE(platform::QueryDeviceCapabilities(printer, &caps));
  EXPECT_NE(std::find(caps.media.begin(), caps.media.end(), caps.defaults.media), caps.media.end());
  EXPECT_NE(std::find(caps.orientations.begin(), caps.orientations.end(), "landscape"),
            caps.orientations.end());
  EXPECT_EQ(caps.defaults.copies, 1);
  {
    // The block the MODE dialog hands back is taken by the device.
    platform::DeviceMode mode = caps.defaults;
    mode.orientation = "landscape";
    auto dev = platform::CreatePrintDevice(nullptr, printer.c_str(), nullptr, &mode);
    ASSERT_NE(dev, nullptr);
    auto portrait = platform::CreatePrintDevice(nullptr, printer.c_str(), nullptr, &caps.defaults);
    ASSERT_NE(portrait, nullptr);
    EXPECT_LT(dev->PageHeight(), portrait->PageHeight()) << "landscape turns the sheet";
  }
}

// The job the script reads back: two pages in the chosen font on the queue.
TEST(GdiPrintJobTest, JobReachesThePrinterInTheChosenFont) {
  const std::string printer = Env("QOR_TEST_PRINTER");
  const std::string family = "DejaVu Serif";
  std::vector<std::string> families = platform::ListFontFamilies();
  ASSERT_NE(std::find(families.begin(), families.end(), family), families.end())
      << "the printer's font list offers " << family;

  auto dev = platform::CreatePrintDevice(nullptr, printer.c_str(), nullptr, nullptr);
  ASSERT_NE(dev, nullptr);
  EXPECT_GT(dev->LineHeight(), 0);
  EXPECT_GT(dev->PageHeight(), 10 * dev->LineHeight());
  int char_height = 0, average_width = 0;
  dev->DefaultFontMetrics(&char_height, &average_width);
  EXPECT_GT(char_height, 0);
  EXPECT_GT(average_width, 0);

  // Calls out of order are refused, as on the other devices.
  EXPECT_LT(dev->BeginPage(), 0);
  EXPECT_LT(dev->EndPage(), 0);
  EXPECT_LT(dev->EndDocument(), 0);
  ASSERT_GT(dev->StartDocument("QORPRTW.1"), 0);
  EXPECT_EQ(dev->StartDocument("QORPRTW.2"), -1);
  EXPECT_NE(dev->LastError(), 0);

  EXPECT_GT(dev->BeginPage(), 0);
  EXPECT_GT(dev->BeginPage(), 0) << "a second begin-page on a begun page is accepted";
  dev->SelectFont(platform::FontFromPoints(family, 12, true, false));
  EXPECT_TRUE(Draw(*dev, 0, "QORPRINT GDI JOB"));
  EXPECT_TRUE(Draw(*dev, 1, "LINE 2: 0123456789 ABC xyz"));
  EXPECT_GT(dev->EndPage(), 0);
  EXPECT_LT(dev->EndPage(), 0) << "no page is open";
  EXPECT_GT(dev->BeginPage(), 0);
  EXPECT_TRUE(Draw(*dev, 0, "PAGE TWO"));
  EXPECT_GT(dev->EndDocument(), 0) << "ends the open page too";
}

TEST(GdiPrintJobTest, FilePortTakesTheOutputAndEmptyDocumentsPrintNothing) {
  const std::string printer = Env("QOR_TEST_PRINTER"), out = Env("QOR_TEST_OUT");
  ASSERT_FALSE(out.empty());
  const std::string path = out + "/file-port.prn";
  auto dev = platform::CreatePrintDevice("winspool", printer.c_str(), path.c_str(), nullptr);
  ASSERT_NE(dev, nullptr);
  ASSERT_GT(dev->StartDocument("QORPRTW.3"), 0);
  EXPECT_GT(dev->BeginPage(), 0);
  EXPECT_TRUE(Draw(*dev, 0, "FILE PORT JOB"));
  EXPECT_GT(dev->EndDocument(), 0);

  const std::string empty = out + "/empty.prn";
  auto blank = platform::CreatePrintDevice("winspool", printer.c_str(), empty.c_str(), nullptr);
  ASSERT_NE(blank, nullptr);
  ASSERT_GT(blank->StartDocument("QORPRTW.4"), 0);
  EXPECT_GT(blank->EndDocument(), 0);
}

}  // namespace
