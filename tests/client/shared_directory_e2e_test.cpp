// Two clients as services (headless, each with its own s3270) taking jobs
// from one qorhost into one download directory, with the Replace option and
// jobs whose names clash: every job is delivered exactly once, byte for
// byte; a file from before the run is replaced, none delivered during it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "qorhost_process.h"
#include "tests/installed_client.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

TEST(SharedDirectoryTest, TwoClientsNeverReplaceEachOthersJobs) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  TempDir dir;
  const std::string downloads = dir / "downloads", spool = dir / "spool";
  fs::create_directory(downloads);
  fs::create_directory(spool);
  testing_support::InstalledClient installed(dir.path());
  installed.Install({"qor32pcs.so", "pcshll32.so"});
  WriteFile(downloads + "/CLASH", "from before this run");
  // Screens come slowly enough for both clients to be mid-job at once.
  testing_support::QorhostProcess host(spool, {"--delay-ms", "20", "--job-poll-ms", "100"},
                                       dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);
  installed.UseS3270(host.port());

  std::vector<std::unique_ptr<Child>> clients;
  for (int n = 1; n <= 2; ++n) {
    std::string tag = std::to_string(n);
    std::vector<std::string> argv = installed.Command({}, tag);
    argv.insert(argv.end(), {"--headless", downloads});
    clients.push_back(std::make_unique<Child>(argv, dir / ("client" + tag + ".err")));
  }
  auto lines = [&](int n) { return ReadFile(dir / ("client" + std::to_string(n) + ".err")); };
  auto both = [&] {
    return lines(1) + "\n--- second client ---\n" + lines(2) + ReadFile(dir / "qorhost.log");
  };
  // Both sessions are up (the host named two terminals) before any job comes.
  ASSERT_TRUE(eventually(
      [&] { return ReadFile(dir / "qorhost.log").find("QOR00002") != std::string::npos; }, 60000))
      << both();

  // Eight jobs of one file name, and two of another.
  std::map<std::string, std::string> jobs;  // contents -> spool name
  for (int k = 1; k <= 10; ++k) {
    std::string name = (k <= 8 ? "CLASH," : "OTHER,") + std::to_string(k);
    std::string bytes;
    for (int line = 0; line < 150; ++line)
      bytes += name + " line " + std::to_string(line) + " of the report\n";
    jobs[bytes] = name;
    WriteFile(spool + "/." + name, bytes);
    fs::rename(spool + "/." + name, spool + "/" + name);
  }
  auto all_done = [&] {
    size_t done = 0;
    if (fs::exists(spool + "/done"))
      for (const auto& e : fs::directory_iterator(spool + "/done")) done += e.is_regular_file();
    return done == jobs.size();
  };
  ASSERT_TRUE(eventually(all_done, 120000)) << both();
  // The last file takes its name after the host filed the job as done.
  auto delivered = [&] {
    std::map<std::string, std::vector<std::string>> found;  // contents -> files
    for (const auto& e : fs::directory_iterator(downloads)) {
      std::string name = e.path().filename().string();
      if (name[0] != '.') found[ReadFile(e.path().string())].push_back(name);
    }
    return found;
  };
  EXPECT_TRUE(eventually([&] { return delivered().size() == jobs.size(); }, 20000)) << both();
  for (auto& client : clients) client->stop();

  std::map<std::string, std::vector<std::string>> found = delivered();
  for (const auto& [bytes, name] : jobs) {
    ASSERT_EQ(found[bytes].size(), 1u) << name << " delivered " << found[bytes].size() << " times\n"
                                       << both();
    std::string expected_base = name.substr(0, name.find(','));
    EXPECT_EQ(found[bytes][0].rfind(expected_base, 0), 0u) << found[bytes][0];
  }
  EXPECT_EQ(found.size(), jobs.size())
      << "a file holds something that is no job (the file from before stays?)";
  for (const char* name : {"CLASH", "CLASH.1", "CLASH.7", "OTHER", "OTHER.1"})
    EXPECT_TRUE(fs::is_regular_file(downloads + "/" + name)) << name;
  // Each client took jobs, and one met a file of the other's as a clash.
  for (int n = 1; n <= 2; ++n) {
    EXPECT_NE(lines(n).find("log: Job QOR "), std::string::npos) << both();
    EXPECT_EQ(lines(n).find("incomplete"), std::string::npos) << both();
  }
  EXPECT_NE(both().find(": " + downloads + "/CLASH exists"), std::string::npos) << both();
}

}  // namespace
