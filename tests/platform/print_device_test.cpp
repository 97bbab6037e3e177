// Print devices below the client: the device-mode text, sheet geometry,
// text conversion for cairo, the pdf driver's files and the font list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/print/print_device_mode.h"
#include "platform/print/print_fonts.h"
#include "platform/print/print_pdf_device.h"
#include "platform/print/print_pdf_renderer.h"
#include "platform/print/print_recording_device.h"
#include "platform/whole_file.h"

namespace {

using platform::DeviceMode;

TEST(DeviceModeTest, TextRoundTripsAndBadTextIsRefusedWhole) {
  DeviceMode m;
  m.media = "na_letter_8.5x11in";
  m.orientation = "landscape";
  m.sides = "two-sided-long-edge";
  m.copies = 3;
  std::string text = platform::SerializeDeviceMode(m);
  EXPECT_EQ(text,
            "media=na_letter_8.5x11in orientation=landscape sides=two-sided-long-edge copies=3");
  DeviceMode back;
  ASSERT_TRUE(platform::ParseDeviceMode(text, &back));
  EXPECT_EQ(back, m);
  EXPECT_EQ(platform::SerializeDeviceMode(DeviceMode()), "");

  ASSERT_TRUE(platform::ParseDeviceMode("  resolution=600dpi\n copies=1 ", &back));
  EXPECT_EQ(back.copies, 1);
  EXPECT_TRUE(back.media.empty()) << "unknown names are skipped, the rest replaced";

  DeviceMode kept = m;
  for (const char* bad : {"copies=0", "copies=1000", "copies=-1", "copies=", "orientation=upside",
                          "sides=both", "media=", "media=a/b", "=x", "media", "copies=12x"}) {
    EXPECT_FALSE(platform::ParseDeviceMode(bad, &kept)) << bad;
    EXPECT_EQ(kept, m) << bad;
  }
}

TEST(DeviceModeTest, SheetSizesAndLandscapeGeometry) {
  int w = 0, h = 0;
  ASSERT_TRUE(platform::MediaSize("iso_a4_210x297mm", &w, &h));
  EXPECT_EQ(w, 4961);
  EXPECT_EQ(h, 7016);
  ASSERT_TRUE(platform::MediaSize("letter", &w, &h));
  EXPECT_EQ(w, 5100);
  EXPECT_EQ(h, 6600);
  ASSERT_TRUE(platform::MediaSize("oe_photo-l_3.5x5in", &w, &h));
  EXPECT_EQ(w, 2100);
  EXPECT_EQ(h, 3000);
  for (const char* bad : {"", "custom", "x_0x5in", "x_5x5cm", "x_5y5mm", "x_axbmm", "x_5x5xmm"})
    EXPECT_FALSE(platform::MediaSize(bad, &w, &h)) << bad;

  DeviceMode m;
  m.media = "na_letter_8.5x11in";
  m.orientation = "landscape";
  platform::PageGeometry g = platform::GeometryFor(&m, "iso_a4_210x297mm", 150);
  EXPECT_EQ(g.width, 6600);
  EXPECT_EQ(g.PrintableHeight(), 5100 - 300);
  g = platform::GeometryFor(nullptr, "iso_a4_210x297mm", 0);
  EXPECT_EQ(g.PrintableHeight(), 7016);
}

TEST(PdfRendererTest, HostBytesBecomeUtf8WithControlsBlanked) {
  EXPECT_EQ(platform::HostTextToUtf8("A\tB\x7f", 4), "A B ");
  EXPECT_EQ(platform::HostTextToUtf8("\xe9\x80\xa0", 3), "\xc3\xa9\xe2\x82\xac\xc2\xa0");
  EXPECT_EQ(platform::HostTextToUtf8("\x81", 1), " ");
}

class PdfFileDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/pdf_device.XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0); }
  bool Exists(const std::string& p) { return access(p.c_str(), F_OK) == 0; }
  std::string dir_;
};

TEST_F(PdfFileDeviceTest, DocumentIsRenamedIntoPlaceWhenComplete) {
  std::string path = dir_ + "/out.pdf";
  auto dev = platform::CreatePdfFileDevice(path, nullptr);
  ASSERT_NE(dev, nullptr);
  EXPECT_GT(dev->LineHeight(), 60);
  EXPECT_LT(dev->LineHeight(), 130);
  EXPECT_LT(dev->EndPage(), 0) << "no page is open";
  EXPECT_LT(dev->EndDocument(), 0) << "no document is open";
  ASSERT_GT(dev->StartDocument("QORPRTW.1"), 0);
  EXPECT_EQ(dev->StartDocument("QORPRTW.2"), -1);
  ASSERT_GT(dev->BeginPage(), 0);
  ASSERT_GT(dev->BeginPage(), 0) << "a repeated begin-page is accepted";
  EXPECT_TRUE(dev->DrawText(0, 0, "HELLO \xe9t\xe9", 10));
  ASSERT_GT(dev->EndPage(), 0);
  EXPECT_LT(dev->EndPage(), 0);
  EXPECT_TRUE(Exists(path + ".part"));
  EXPECT_FALSE(Exists(path));
  ASSERT_GT(dev->EndDocument(), 0);
  EXPECT_FALSE(Exists(path + ".part"));
  std::string pdf;
  ASSERT_EQ(platform::ReadWholeFile(path, &pdf), 0);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
}

TEST_F(PdfFileDeviceTest, UnwritableTargetRefusesTheDocumentStart) {
  auto dev = platform::CreatePdfFileDevice(dir_ + "/missing/out.pdf", nullptr);
  ASSERT_NE(dev, nullptr);
  EXPECT_EQ(dev->StartDocument("QORPRTW.1"), -1);
  EXPECT_EQ(dev->LastError(), ENOENT);
  EXPECT_EQ(platform::CreatePdfFileDevice("", nullptr), nullptr);
  EXPECT_EQ(platform::CreatePrintDevice("plotter", "x", "y", nullptr), nullptr);
}

TEST_F(PdfFileDeviceTest, DeviceReleasedMidDocumentLeavesNoFile) {
  std::string path = dir_ + "/out.pdf";
  {
    auto dev = platform::CreatePrintDevice("pdf", "Draft", path.c_str(), nullptr);
    ASSERT_NE(dev, nullptr);
    ASSERT_GT(dev->StartDocument("QORPRTW.1"), 0);
    dev->BeginPage();
    dev->DrawText(0, 0, "X", 1);
  }
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(path + ".part"));
}

TEST_F(PdfFileDeviceTest, DirectoryPortKeepsEveryDocumentOfTheRun) {
  auto dev = platform::CreatePrintDevice("pdf", "Spool", (dir_ + "/").c_str(), nullptr);
  ASSERT_NE(dev, nullptr);
  for (const char* name : {"QORPRTW.1", "QORPRTW.2"}) {
    ASSERT_GT(dev->StartDocument(name), 0);
    dev->BeginPage();
    EXPECT_TRUE(dev->DrawText(0, 0, name, strlen(name)));
    dev->EndPage();
    ASSERT_GT(dev->EndDocument(), 0);
  }
  EXPECT_TRUE(Exists(dir_ + "/QORPRTW.1.pdf"));
  EXPECT_TRUE(Exists(dir_ + "/QORPRTW.2.pdf"));
}

TEST(PrintFontTest, PointsBecomeDeviceUnitsAndDefaultMetricsAreSane) {
  platform::PrintFont f = platform::FontFromPoints("DejaVu Sans Mono", 12, true, false);
  EXPECT_EQ(f.height, 100);
  EXPECT_TRUE(f.bold);
  auto dev = platform::CreatePdfFileDevice("/tmp/unused.pdf", nullptr);
  int height = 0, width = 0;
  dev->DefaultFontMetrics(&height, &width);
  EXPECT_GT(height, 60);
  EXPECT_LE(height, dev->LineHeight());
  EXPECT_GT(width, 30) << "a 10-point monospace cell is about 50 units wide";
  EXPECT_LT(width, 70);
}

TEST(RecordingDeviceTest, KeepsCallsAfterRelease) {
  auto log = std::make_shared<platform::PrintRecording>();
  {
    platform::RecordingDevice dev(log, 1000, 100);
    EXPECT_EQ(dev.BeginPage(), -1) << "no document";
    dev.StartDocument("D");
    dev.BeginPage();
    EXPECT_TRUE(dev.DrawText(0, 100, "A", 1));
    dev.EndPage();
    EXPECT_FALSE(dev.DrawText(0, 0, "B", 1)) << "no page open";
    dev.EndDocument();
  }
  EXPECT_TRUE(log->released);
  EXPECT_EQ(log->Layout(), "1:100:A\n");
  EXPECT_EQ(log->Count(platform::RecordedCall::kDraw), 2);
}

TEST(PrintFontsTest, MonospacedFamiliesComeFirst) {
  std::vector<std::string> families = platform::ListFontFamilies();
  ASSERT_FALSE(families.empty());
  auto at = [&](const std::string& name) {
    for (size_t i = 0; i < families.size(); ++i)
      if (families[i] == name) return static_cast<long>(i);
    return -1L;
  };
  long mono = at("DejaVu Sans Mono"), sans = at("DejaVu Sans");
  if (mono < 0 || sans < 0) GTEST_SKIP() << "DejaVu fonts are not installed";
  EXPECT_LT(mono, sans);
}

}  // namespace
