// The real qorprtt in a terminal printing a host report as a user would:
// F6, destination Printer, the printer picked in the printer dialog, OK.
// Once through a private CUPS scheduler with a PDF queue, once through the
// "pdf" driver of a printer profile; both printouts are read back with
// pdftotext: the report's lines in order, one page per form feed.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "tests/client/printer_pdf_check.h"
#include "tests/installed_client.h"
#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

namespace fs = std::filesystem;

const std::string kJob = "MONTHRPT";

std::string Sample() { return ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + kJob); }

// With QOR_KEEP_PRINT_OUTPUT naming a directory, the printout is copied there
// to be looked at (pdftoppm) after the test.
void KeepPrintout(const std::string& pdf, const std::string& name) {
  const char* keep = std::getenv("QOR_KEEP_PRINT_OUTPUT");
  if (keep == nullptr || !fs::is_directory(keep)) return;
  std::error_code ec;
  fs::copy_file(pdf, std::string(keep) + "/" + name, fs::copy_options::overwrite_existing, ec);
  EXPECT_FALSE(ec) << "could not keep " << pdf << ": " << ec.message();
}

class PrintThroughClientTest : public ::testing::Test {
 protected:
  TempDir dir;
  TmuxSession tmux;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";
  testing_support::InstalledClient installed{dir.path()};

  void SetUp() override {
    if (!TmuxInstalled()) GTEST_SKIP() << "tmux is not installed";
    if (!Installed("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_TRUE(tmux.ok());
    ASSERT_FALSE(Sample().empty());
    // The program directory: the client, its message file and the default
    // adapter, which serves the job from the spool without an emulator.
    installed.Install({"razevu3.so"});
    fs::create_directory(downloads);
    fs::create_directory(spool);
    ASSERT_TRUE(WriteChecked(spool + "/" + kJob, Sample()));
  }

  // The client with no registry (the default adapter) and the printer
  // environment given as VAR=value words; nothing else of ours leaks in.
  void Start(const std::string& printer_env) {
    tmux.Start("cd " + dir.path() + " && env -u QOR_PROFILE -u CUPS_SERVER " +
               installed.ShellEnv() + " QOR_SPOOL=" + spool + " " + printer_env + " ./qorprtt " +
               downloads + "; echo \\$? > status; sleep 60");
    ASSERT_TRUE(tmux.WaitFor("Exit  Transfer  Options  Help")) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitGone("QORPRINT for Linux")) << tmux.Capture();
  }

  // F6, destination Printer, then the printer dialog: it must open on the
  // expected default; picking that printer in the list and OK prints.
  void PrintJobOn(const std::string& printer) {
    tmux.Keys("F6");
    ASSERT_TRUE(tmux.WaitFor("Print Job from the Host", 30)) << tmux.Capture();
    EXPECT_NE(tmux.Capture().find(kJob), std::string::npos) << tmux.Capture();
    tmux.Keys("M-p");
    ASSERT_TRUE(tmux.WaitFor("(\u2022) Printer")) << tmux.Capture();
    tmux.Keys("Enter");
    ASSERT_TRUE(tmux.WaitFor("Printer Selection")) << tmux.Capture();
    EXPECT_NE(tmux.Row("Printer:").find(printer), std::string::npos) << "the default printer\n"
                                                                     << tmux.Capture();
    tmux.Keys("Home");  // the first (and only) printer of the list
    tmux.Keys("Enter");
    ASSERT_TRUE(tmux.WaitGone("Printer Selection")) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitGone("Receiving a Print Job", 40)) << tmux.Capture();
    EXPECT_TRUE(fs::is_empty(downloads)) << "a printed job writes no file";
  }

  void Exit() {
    tmux.Keys("C-x");
    EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "status") == "0\n"; }, 20))
        << tmux.Capture();
  }
};

// A private cupsd with one PDF queue, the default of its scheduler.
class CupsScheduler {
 public:
  explicit CupsScheduler(const std::string& dir) : dir_(dir) {
    std::string cmd = std::string(QOR_SOURCE_DIR "/scripts/cups-test-server start '") + dir_ +
                      "' qortest 2>'" + dir_ + ".err'";
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
      failure_ = "cannot run scripts/cups-test-server";
      return;
    }
    char line[128] = "";
    if (!fgets(line, sizeof line, p)) line[0] = '\0';
    int status = pclose(p);
    started_ = WIFEXITED(status) && WEXITSTATUS(status) == 0 && sscanf(line, "%d", &port_) == 1;
    if (!started_) {
      (WIFEXITED(status) && WEXITSTATUS(status) == 77 ? skip_reason_ : failure_) =
          "private cupsd could not run: " + ReadFile(dir_ + ".err");
    }
  }
  ~CupsScheduler() {
    if (!fs::exists(dir_ + "/cupsd.pid")) return;
    std::string stop = std::string(QOR_SOURCE_DIR "/scripts/cups-test-server stop '") + dir_ + "'";
    if (system(stop.c_str()) != 0) ADD_FAILURE() << "cupsd did not stop";
  }
  CupsScheduler(const CupsScheduler&) = delete;
  CupsScheduler& operator=(const CupsScheduler&) = delete;

  bool started() const { return started_; }
  const std::string& skip_reason() const { return skip_reason_; }
  const std::string& failure() const { return failure_; }
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string pdf() const { return dir_ + "/out/qortest.pdf"; }

 private:
  std::string dir_, skip_reason_, failure_;
  bool started_ = false;
  int port_ = 0;
};

struct FinishedJob {
  int count = 0;
  std::string title, format;
  ipp_jstate_t state = IPP_JSTATE_PENDING;
};

// The queue's jobs once every one of them has finished (or the time is up).
FinishedJob WaitForJobs(const std::string& queue, int seconds) {
  FinishedJob seen;
  Eventually(
      [&] {
        cups_job_t* jobs = nullptr;
        int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
        bool done = count > 0;
        for (int i = 0; i < count; ++i) done = done && jobs[i].state >= IPP_JSTATE_CANCELED;
        seen.count = count < 0 ? 0 : count;
        if (count > 0) {
          seen.title = jobs[0].title ? jobs[0].title : "";
          seen.format = jobs[0].format ? jobs[0].format : "";
          seen.state = jobs[0].state;
        }
        cupsFreeJobs(count, jobs);
        return done;
      },
      seconds);
  return seen;
}

TEST_F(PrintThroughClientTest, HostReportPrintsThroughCupsOnThePickedQueue) {
  if (!Installed("lpstat")) GTEST_SKIP() << "the CUPS client tools are missing";
  // The scheduler's filters run as another user: they must reach its directory.
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  CupsScheduler cups(dir / "cups");
  if (!cups.skip_reason().empty()) GTEST_SKIP() << cups.skip_reason();
  ASSERT_TRUE(cups.started()) << cups.failure();
  ScopedEnv server("CUPS_SERVER", cups.server());
  cupsSetServer(nullptr);  // take CUPS_SERVER afresh

  Start("CUPS_SERVER=" + cups.server());
  PrintJobOn("qortest");
  FinishedJob job = WaitForJobs("qortest", 40);
  ASSERT_EQ(job.count, 1) << "one job for the document";
  EXPECT_EQ(job.title, "QORPRTW.1");
  EXPECT_EQ(job.format, "application/pdf");
  ASSERT_EQ(job.state, IPP_JSTATE_COMPLETED);
  printer_test::ExpectPdfHolds(cups.pdf(), Sample());
  KeepPrintout(cups.pdf(), "print_e2e_cups.pdf");
  Exit();
}

TEST_F(PrintThroughClientTest, HostReportPrintsThroughThePdfDriverWithoutCups) {
  std::string pdf = dir / "out.pdf";
  ASSERT_TRUE(WriteChecked(dir / "profile.ini", "[windows]\ndevice=PDF,pdf," + pdf +
                                                    "\n[devices]\nPDF=pdf," + pdf + "\n"));
  // A server nobody answers on: the profile alone lists the printers.
  Start("QOR_PROFILE=" + (dir / "profile.ini") + " CUPS_SERVER=127.0.0.1:1");
  PrintJobOn("PDF");
  ASSERT_TRUE(Eventually([&] { return fs::exists(pdf) && !fs::exists(pdf + ".part"); }, 20))
      << tmux.Capture();
  printer_test::ExpectPdfHolds(pdf, Sample());
  KeepPrintout(pdf, "print_e2e_pdf.pdf");
  Exit();
}

}  // namespace
