// A host report printed through the "pdf" driver of the printer list: the
// PDF holds the report's lines in order, one page per form feed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "client/engine/printer.h"
#include "common/trace.h"
#include "platform/whole_file.h"
#include "tests/client/printer_pdf_check.h"

namespace {

std::string SampleReport() {
  std::string text;
  if (platform::ReadWholeFile(QOR_SOURCE_DIR "/hostsim/samples/MONTHRPT", &text) == 0) return text;
  // A small report of the same shape when the host's samples are not there.
  for (int page = 1; page <= 3; ++page) {
    text += "STOCK REPORT                 PAGE " + std::to_string(page) + "\r\n\r\n";
    for (int n = 1; n <= 20; ++n)
      text += "ITEM " + std::to_string(page * 100 + n) + "   QTY " + std::to_string(n * 7) + "\r\n";
    text += "\f";
  }
  return text;
}

// Hands the text over in buffers of the given size, as the transfer does
// with the host's screens; the cuts fall anywhere, also inside CR LF pairs.
int PrintInBuffers(client::PrintJob* job, const std::string& text, size_t size) {
  for (size_t pos = 0; pos < text.size(); pos += size) {
    int rc = job->PrintBuffer(text.substr(pos, size).c_str());
    if (rc != 0) return rc;
  }
  return 0;
}

class PrinterPdfTest : public ::testing::Test {
 protected:
  client::Printing printing;
  void SetUp() override {
    char dir[] = "/tmp/printer_pdf.XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = dir;
    pdf_ = dir_ + "/out.pdf";
    std::ofstream ini(dir_ + "/profile.ini");
    ini << "[windows]\ndevice=Office PDF,pdf," << pdf_ << "\n"
        << "[devices]\nDraft=pdf," << dir_ << "/draft.pdf\nOffice PDF=pdf," << pdf_ << "\n";
    ini.close();
    ASSERT_TRUE(ini.good());
    setenv("QOR_PROFILE", (dir_ + "/profile.ini").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QOR_PROFILE");
    if (getenv("QOR_KEEP_PRINT_OUTPUT")) return;  // to look at the pages
    ASSERT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0);
  }
  std::string dir_, pdf_;
};

TEST_F(PrinterPdfTest, HostReportPrintsPageByPageOnTheDefaultPrinter) {
  std::string report = SampleReport();
  client::PrintJob job(printing, printing.PrinterName());
  EXPECT_STREQ(printing.PrinterName(), "Office PDF");
  ASSERT_TRUE(job.HasDevice());
  ASSERT_EQ(PrintInBuffers(&job, report, 1917), 0);
  job.EndPrint();
  printer_test::ExpectPdfHolds(pdf_, report);
  EXPECT_NE(access((pdf_ + ".part").c_str(), F_OK), 0) << "no partial file is left";
}

TEST_F(PrinterPdfTest, FontAndLandscapeSettingsReachThePages) {
  auto mode = std::make_shared<platform::DeviceMode>();
  mode->media = "iso_a4_210x297mm";
  mode->orientation = "landscape";
  printing.selection.printer_devmode = mode;
  auto font = std::make_unique<platform::PrintFont>();
  font->family = "DejaVu Sans Mono";
  font->height = 70;
  font->bold = true;
  printing.selection.printer_font = std::move(font);
  client::PrintJob job(printing, "Draft");
  std::string text = "LANDSCAPE LINE ONE\r\nLINE TWO\r\n\fSECOND PAGE\r\n";
  ASSERT_EQ(job.PrintBuffer(text.c_str()), 0);
  EXPECT_LT(job.PageHeight(), 5000) << "a landscape A4 sheet is about 8 inches high";
  job.EndPrint();
  printer_test::ExpectPdfHolds(dir_ + "/draft.pdf", text);
  FILE* p = popen(("pdfinfo '" + dir_ + "/draft.pdf'").c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[4096];
  size_t n = fread(buf, 1, sizeof buf - 1, p);
  buf[n] = '\0';
  pclose(p);
  EXPECT_NE(std::string(buf).find("841.92 x 595.32 pts"), std::string::npos) << buf;
}

TEST_F(PrinterPdfTest, DevicesForTheSelectionAreTracedAndKeepLongPorts) {
  common::Tracer trace;
  ASSERT_TRUE(trace.Start((dir_ + "/QORPRTW.TRC").c_str(), common::TraceMode::kFresh));
  printing.tracer = &trace;
  {
    client::PrintJob job(printing, "");
    EXPECT_TRUE(job.HasDevice());
  }
  // A port longer than the 80-byte profile read still reaches the device whole.
  std::string deep = dir_ + "/" + std::string(90, 'd');
  ASSERT_EQ(platform::MakeDirectories(deep), 0);
  std::ofstream ini(dir_ + "/profile.ini", std::ios::app);
  ini << "Deep=pdf," << deep << "/out.pdf\n";
  ini.close();
  printing.SetPrinterName("Deep");
  auto device = client::CreatePrinterDC(printing.selection, trace);
  printing.tracer = nullptr;
  ASSERT_NE(device, nullptr);
  ASSERT_GT(device->StartDocument("QORPRTW.1"), 0);
  device->BeginPage();
  device->DrawText(0, 0, "DEEP", 4);
  device->EndPage();
  ASSERT_GT(device->EndDocument(), 0);
  EXPECT_EQ(access((deep + "/out.pdf").c_str(), F_OK), 0);

  std::string text;
  ASSERT_EQ(platform::ReadWholeFile(dir_ + "/QORPRTW.TRC", &text), 0);
  EXPECT_NE(text.find(" PRINTER <>Office PDF\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" PRINTER:printsetup <>Deep\r\n"), std::string::npos) << text;
  char hdc[32];
  snprintf(hdc, sizeof hdc, " printsetup <>hdc=%08X", device->Handle());
  EXPECT_NE(text.find(hdc), std::string::npos) << text;
}

TEST_F(PrinterPdfTest, UnknownPrinterGivesAJobWithoutDevice) {
  client::PrintJob job(printing, "Nowhere");
  EXPECT_FALSE(job.HasDevice());
  EXPECT_EQ(job.PrintBuffer("X\r\n"), -1);
  job.EndPrint();
}

TEST_F(PrinterPdfTest, EmptyJobWritesNoFile) {
  client::PrintJob job(printing, "Draft");
  ASSERT_EQ(job.PrintBuffer(""), 0);
  job.EndPrint();
  EXPECT_NE(access((dir_ + "/draft.pdf").c_str(), F_OK), 0);
  EXPECT_NE(access((dir_ + "/draft.pdf.part").c_str(), F_OK), 0);
}

}  // namespace
