// Printing through a real CUPS scheduler: a private cupsd on a loopback port
// with a PDF queue on a file: device; the printer list, the default printer
// and a host report printed as one job, checked with pdftotext.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "client/engine/printer.h"
#include "platform/print/print_device_mode.h"
#include "platform/print/printer_profile.h"
#include "platform/whole_file.h"
#include "tests/client/printer_pdf_check.h"

namespace {

class PrinterCupsTest : public ::testing::Test {
 protected:
  client::Printing printing;
  static void SetUpTestSuite() {
    char dir[] = "/tmp/printer_cups.XXXXXX";
    if (!mkdtemp(dir)) {
      skip_reason_ = "no temporary directory";
      return;
    }
    dir_ = dir;
    std::string cmd = std::string(QOR_SOURCE_DIR "/scripts/cups-test-server start '") + dir_ +
                      "' qortest 2>'" + dir_ + "/start.err'";
    FILE* p = popen(cmd.c_str(), "r");
    char line[128] = "";
    if (p && !fgets(line, sizeof line, p)) line[0] = '\0';
    int status = p ? pclose(p) : -1;
    if (status != 0 || sscanf(line, "%d", &port_) != 1) {
      std::string err;
      platform::ReadWholeFile(dir_ + "/start.err", &err);
      skip_reason_ = "private cupsd could not run here: " + err;
      return;
    }
    setenv("CUPS_SERVER", ("127.0.0.1:" + std::to_string(port_)).c_str(), 1);
    unsetenv("QOR_PROFILE");
    cupsSetServer(nullptr);  // take CUPS_SERVER afresh
  }
  static void TearDownTestSuite() {
    if (dir_.empty()) return;
    std::string stop = std::string(QOR_SOURCE_DIR "/scripts/cups-test-server stop '") + dir_ + "'";
    if (system(stop.c_str()) != 0) ADD_FAILURE() << "cupsd did not stop";
    if (!getenv("QOR_KEEP_PRINT_OUTPUT") && system(("rm -rf '" + dir_ + "'").c_str()) != 0)
      ADD_FAILURE() << "could not remove " << dir_;
  }
  void SetUp() override {
    if (!skip_reason_.empty()) GTEST_SKIP() << skip_reason_;
  }

  static std::string dir_, skip_reason_;
  static int port_;
};

std::string PrinterCupsTest::dir_, PrinterCupsTest::skip_reason_;
int PrinterCupsTest::port_ = 0;

TEST_F(PrinterCupsTest, PrinterListAndDefaultComeFromTheScheduler) {
  platform::PrinterProfile profile = platform::LoadPrinterProfile();
  ASSERT_EQ(profile.devices.size(), 1u);
  EXPECT_EQ(profile.devices[0].name, "qortest");
  EXPECT_EQ(profile.devices[0].driver, "cups");
  EXPECT_EQ(profile.devices[0].port, "file://" + dir_ + "/out/qortest.pdf");
  EXPECT_EQ(profile.default_device, "qortest,cups," + profile.devices[0].port);
  EXPECT_EQ(client::DefaultPrinterName(), "qortest");

  platform::DeviceCapabilities caps;
  ASSERT_TRUE(platform::QueryDeviceCapabilities("qortest", &caps));
  EXPECT_FALSE(caps.media.empty());
  EXPECT_FALSE(caps.defaults.media.empty());
  EXPECT_GE(caps.max_copies, 1);
}

TEST_F(PrinterCupsTest, HostReportPrintsAsOneJobNamedAfterTheDocument) {
  std::string report;
  ASSERT_EQ(platform::ReadWholeFile(QOR_SOURCE_DIR "/hostsim/samples/MONTHRPT", &report), 0);
  {
    client::PrintJob job(printing, "");
    ASSERT_TRUE(job.HasDevice());
    EXPECT_STREQ(printing.PrinterName(), "qortest");
    for (size_t pos = 0; pos < report.size(); pos += 1917)
      ASSERT_EQ(job.PrintBuffer(report.substr(pos, 1917).c_str()), 0);
    job.EndPrint();
  }
  // Wait, with a generous time-out, for the scheduler to finish the job.
  cups_job_t* jobs = nullptr;
  int count = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, "qortest", 0, CUPS_WHICHJOBS_ALL);
    if (count == 1 && jobs[0].state >= IPP_JSTATE_CANCELED) break;
    cupsFreeJobs(count, jobs);
    jobs = nullptr;
    count = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(count, 1) << "exactly one job for the document";
  EXPECT_STREQ(jobs[0].title, "QORPRTW.1");
  EXPECT_EQ(jobs[0].state, IPP_JSTATE_COMPLETED);
  EXPECT_STREQ(jobs[0].format, "application/pdf");
  cupsFreeJobs(count, jobs);
  printer_test::ExpectPdfHolds(dir_ + "/out/qortest.pdf", report);
}

}  // namespace
