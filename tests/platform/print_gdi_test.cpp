// Windows printing that needs no printer: the device-mode block seen as the
// MODE dialog's settings, and what the printing calls answer for printers
// that do not exist.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/print/print_device.h"
#include "platform/print/print_fonts.h"
#include "platform/print/print_gdi_mode_win32.h"

namespace {

using platform::DeviceMode;

DeviceMode Mode(const char* media, const char* orientation, const char* sides, int copies) {
  DeviceMode m;
  m.media = media;
  m.orientation = orientation;
  m.sides = sides;
  m.copies = copies;
  return m;
}

TEST(GdiDeviceModeTest, SettingsRoundTripThroughTheDriversBlock) {
  const DeviceMode modes[] = {
      Mode("iso_a4_210x297mm", "portrait", "one-sided", 1),
      Mode("na_letter_8.5x11in", "landscape", "two-sided-long-edge", 3),
      Mode("na_legal_8.5x14in", "portrait", "two-sided-short-edge", 999),
      Mode("iso_a5_148x210mm", "landscape", "one-sided", 2),
  };
  for (const DeviceMode& m : modes) {
    DEVMODEA dm{};
    platform::ApplyDeviceMode(m, &dm);
    EXPECT_EQ(platform::DeviceModeFromDevmode(dm), m) << platform::SerializeDeviceMode(m);
  }

  // Empty fields and sheets without a paper code keep what the driver has,
  // and a custom size the driver had no longer overrides a named sheet.
  DEVMODEA dm{};
  dm.dmFields = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES;
  dm.dmPaperSize = DMPAPER_USER;
  dm.dmCopies = 4;
  platform::ApplyDeviceMode(Mode("oe_photo-l_3.5x5in", "", "", 0), &dm);
  EXPECT_EQ(dm.dmPaperSize, DMPAPER_USER);
  EXPECT_EQ(dm.dmFields,
            static_cast<DWORD>(DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES));
  platform::ApplyDeviceMode(Mode("iso_a3_297x420mm", "", "", 0), &dm);
  EXPECT_EQ(dm.dmPaperSize, DMPAPER_A3);
  EXPECT_EQ(dm.dmFields, static_cast<DWORD>(DM_PAPERSIZE | DM_COPIES));
  EXPECT_EQ(dm.dmCopies, 4);

  // What the driver reports and the list does not know stays empty.
  DEVMODEA odd{};
  odd.dmFields = DM_PAPERSIZE | DM_COPIES;
  odd.dmPaperSize = DMPAPER_USER;
  odd.dmCopies = 0;
  EXPECT_EQ(platform::DeviceModeFromDevmode(odd), DeviceMode());
}

TEST(GdiPrintersTest, UnknownPrintersAndDriversGiveNoDevice) {
  EXPECT_EQ(platform::CreatePrintDevice(nullptr, "No Such Printer", nullptr, nullptr), nullptr);
  EXPECT_EQ(platform::CreatePrintDevice("winspool", "No Such Printer", "LPT1:", nullptr), nullptr);
  EXPECT_EQ(platform::CreatePrintDevice("pdf", "Files", "C:\\out.pdf", nullptr), nullptr)
      << "PDF files are the Linux build's own renderer";
  platform::DeviceCapabilities caps;
  EXPECT_FALSE(platform::QueryDeviceCapabilities("No Such Printer", &caps));

  // Without a printer the list comes from the screen: the system's fonts, once each.
  std::vector<std::string> families = platform::ListFontFamilies();
  EXPECT_FALSE(families.empty());
  EXPECT_EQ(std::set<std::string>(families.begin(), families.end()).size(), families.size());
  for (const std::string& f : families) EXPECT_NE(f[0], '@') << f;
}

}  // namespace
