// Jobs from qorhost through s3270 to a headless client that hands them to a
// command or archives them as PDF: a command's standard input gets the job
// byte for byte and nothing stays behind; a command that fails leaves the job
// as a file, says why, and the host keeps the job; the next client archives
// that job as a PDF in the chosen font whose text is the job's.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "qorhost_process.h"
#include "tests/client/printer_pdf_check.h"
#include "tests/installed_client.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

std::string Sample(const std::string& name) {
  return ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name);
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

class DeliverTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string downloads = dir / "downloads", spool = dir / "spool";
  testing_support::InstalledClient installed{dir.path()};
  std::unique_ptr<testing_support::QorhostProcess> host;

  void SetUp() override {
    if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
    fs::create_directory(downloads);
    fs::create_directory(spool);
    installed.Install({"qor32pcs.so", "pcshll32.so"});
    host = std::make_unique<testing_support::QorhostProcess>(
        spool, std::vector<std::string>{"--job-poll-ms", "100"}, dir / "qorhost.log");
    ASSERT_GT(host->port(), 0);
    installed.UseS3270(host->port());
  }
  void Offer(const std::string& job) {
    WriteFile(spool + "/." + job, Sample(job));
    fs::rename(spool + "/." + job, spool + "/" + job);
  }
  // The headless client with options before the download directory; a
  // variable of ours that a command must not see.
  std::unique_ptr<Child> StartClient(std::vector<std::string> options) {
    std::vector<std::string> argv = installed.Command({"QOR_PRIVATE=not for commands"});
    argv.push_back("--headless");
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(downloads);
    WriteFile(dir / "client.err", "");
    return std::make_unique<Child>(argv, dir / "client.err");
  }
  std::string Lines() { return ReadFile(dir / "client.err"); }
  bool Says(const std::string& text) {
    return eventually([&] { return Lines().find(text) != std::string::npos; }, 60000);
  }
  void Stop(Child& client) {
    ::kill(client.pid(), SIGTERM);
    int status = -1;
    EXPECT_TRUE(client.wait_exit(30000, &status)) << Lines();
    EXPECT_EQ(status, 0) << Lines();
  }
  std::vector<std::string> Downloads() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(downloads))
      if (e.path().filename() != ".qorprt.ledger") names.push_back(e.path().filename());
    return names;
  }
};

TEST_F(DeliverTest, CommandTakesTheJobOrItIsKeptAndThePdfArchiveHoldsItsText) {
  // Every byte value through a command run without a shell: the quotes keep
  // the blank in the output's name.
  Offer("ALLBYTES");
  const std::string printed = dir / "printed copy";
  auto client = StartClient({"--command", "tee '" + printed + "'"});
  ASSERT_TRUE(Says(" delivered to the command tee '" + printed + "'")) << Lines();
  EXPECT_EQ(ReadFile(printed), Sample("ALLBYTES"));
  EXPECT_TRUE(Downloads().empty()) << "the job's file is removed once the command took it";
  Stop(*client);

  // A command that fails: the job stays a file, the log says why, and the
  // host keeps the job. The command sees the job's facts, not our variables.
  Offer("MONTHRPT");
  client = StartClient({"--command-shell", "--command",
                        "env > '" + (dir / "env") +
                            "'; echo first >&2; echo queue q is stopped "
                            ">&2; exit 3"});
  ASSERT_TRUE(Says("exited with status 3: first / queue q is stopped; 15812 bytes kept as " +
                   downloads + "/MONTHRPT.incomplete; the host keeps the job"))
      << Lines();
  EXPECT_EQ(ReadFile(downloads + "/MONTHRPT.incomplete"), Sample("MONTHRPT"));
  EXPECT_NE(ReadFile(dir / "transfer.log").find("exited with status 3"), std::string::npos);
  const std::string env = ReadFile(dir / "env");
  EXPECT_NE(env.find("QOR_JOB_IDENT=MONTHRPT,0000"), std::string::npos) << env;
  EXPECT_NE(env.find("QOR_JOB_BYTES=15812\n"), std::string::npos) << env;
  EXPECT_EQ(env.find("QOR_PRIVATE"), std::string::npos) << env;
  Stop(*client);

  // The next client takes the job the host kept, as a PDF only.
  if (!Installed("pdftotext") || !Installed("pdffonts")) GTEST_SKIP() << "poppler-utils missing";
  client = StartClient({"--pdf-only", "--print-font", "DejaVu Sans Mono,9"});
  ASSERT_TRUE(Says(" delivered to " + downloads + "/MONTHRPT.pdf:")) << Lines();
  Stop(*client);
  EXPECT_FALSE(fs::exists(downloads + "/MONTHRPT"));
  printer_test::ExpectPdfHolds(downloads + "/MONTHRPT.pdf", Sample("MONTHRPT"));
  EXPECT_NE(Output("pdffonts '" + downloads + "/MONTHRPT.pdf'").find("DejaVuSansMono"),
            std::string::npos);
}

}  // namespace
