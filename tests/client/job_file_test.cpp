// A job's file on its way to its name: never written through a link laid in
// its way, delivered whole or kept as incomplete, and never replacing what
// another client sharing the directory delivered during this run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "client/engine/download_ledger.h"
#include "client/engine/job_file.h"
#include "platform/file_create.h"
#include "platform/process.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// One job through a JobFile: "" when it was not opened.
std::string Take(const std::string& target, const std::string& data, bool complete,
                 bool replace = true, std::string* problem = nullptr,
                 const std::string& replacing = "", client::LedgerNotices* notices = nullptr) {
  client::JobFile file(target, notices);
  if (file.Open() != 0 || !file.Write(data)) return "";
  std::string why;
  if (complete) {
    std::string delivered = file.Deliver(replace, problem ? problem : &why);
    if (!delivered.empty()) return delivered;
  }
  return file.KeepIncomplete(replacing);
}

// Another client's entry in the directory's ledger, made at when_ms.
void AnotherClientDelivered(const TempDir& dir, const std::string& name, long long when_ms) {
  std::ofstream(dir / client::DownloadLedger::kFileName, std::ios::app)
      << "D " << when_ms << " 00other0client00 " << name << "\n";
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TEST(JobFileTest, LinksInTheWayAreNeverFollowed) {
#ifdef _WIN32
  GTEST_SKIP() << "making links takes privileges there";
#else
  TempDir dir, outside;
  const std::string victim = outside / "victim";
  WriteFile(victim, "precious");
  const std::string pid = std::to_string(platform::CurrentProcessId());
  // The predictable temporary name of earlier versions, the final name and
  // its neighbours: links to a file outside, and dangling ones.
  for (const std::string& name :
       {".JOB." + pid + ".part", std::string("JOB"), std::string("JOB.incomplete")})
    fs::create_symlink(victim, dir / name);
  for (const std::string& name : {std::string("JOB.1"), std::string("JOB.incomplete.1")})
    fs::create_symlink(outside / "nothing", dir / name);

  int error = 0;
  EXPECT_LT(platform::CreateNewFile(dir / ".JOB." + pid + ".part", &error), 0);
  EXPECT_EQ(error, EEXIST);
  EXPECT_LT(platform::CreateNewFile(dir / "JOB.1", &error), 0);
  EXPECT_EQ(error, EEXIST);

  // Replace off: the link at the name is a clash, the dangling JOB.1 too.
  EXPECT_EQ(Take(dir / "JOB", "first", true, false), dir / "JOB.2");
  // Replace on: the link itself is replaced, not what it points to.
  EXPECT_EQ(Take(dir / "JOB", "second", true), dir / "JOB");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "JOB")));
  // Cut short: both incomplete names hold links, so the next free one.
  EXPECT_EQ(Take(dir / "JOB", "third", false), dir / "JOB.incomplete.2");

  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_FALSE(fs::exists(outside / "nothing"));
  EXPECT_EQ(ReadFile(dir / "JOB.2"), "first");
  EXPECT_EQ(ReadFile(dir / "JOB"), "second");
  EXPECT_EQ(ReadFile(dir / "JOB.incomplete.2"), "third");
#endif
}

TEST(JobFileTest, IncompleteCopiesAreReplacedOrBoundedNeverLost) {
  TempDir dir;
  const std::string first = Take(dir / "JOB", "try 1", false);
  ASSERT_EQ(first, dir / "JOB.incomplete");
  // The same job again: it takes the place of the copy this run kept.
  EXPECT_EQ(Take(dir / "JOB", "try 2", false, true, nullptr, first), first);
  EXPECT_EQ(ReadFile(first), "try 2");
  // Only an incomplete file beside the target is ever replaced.
  WriteFile(dir / "OTHER", "keep me");
  EXPECT_EQ(Take(dir / "JOB", "try 3", false, true, nullptr, dir / "OTHER"),
            dir / "JOB.incomplete.1");
  EXPECT_EQ(ReadFile(dir / "OTHER"), "keep me");

  // Every incomplete name taken: the data stays under its hidden name.
  for (int n = 2; n < client::JobFile::kIncompleteCopies; ++n)
    WriteFile(client::JobFile::IncompleteName(dir / "JOB", n), "old");
  std::string kept = Take(dir / "JOB", "try 4", false);
  EXPECT_EQ(kept.rfind(dir / ".JOB.", 0), 0u) << kept;
  EXPECT_EQ(ReadFile(kept), "try 4");
}

TEST(JobFileTest, DeliveryFailuresNameThePathAndTheCause) {
  TempDir dir;
  fs::create_directory(dir / "JOB");  // the final name is a directory
  std::string problem;
  std::string kept = Take(dir / "JOB", "data", true, true, &problem);
  EXPECT_EQ(kept, dir / "JOB.incomplete");
  EXPECT_EQ(ReadFile(kept), "data");
  EXPECT_NE(problem.find(dir / "JOB"), std::string::npos) << problem;
#ifndef _WIN32
  EXPECT_NE(problem.find("Is a directory"), std::string::npos) << problem;

  // The whole directory removed while the job came (Windows keeps a
  // directory that holds an open file).
  TempDir gone;
  client::JobFile file(gone / "JOB");
  ASSERT_EQ(file.Open(), 0);
  ASSERT_TRUE(file.Write("data"));
  fs::remove_all(gone.path());
  EXPECT_EQ(file.Deliver(true, &problem), "");
  EXPECT_NE(problem.find(file.Temporary() + " was removed while the job came"), std::string::npos)
      << problem;
  EXPECT_FALSE(fs::exists(gone.path()));
#endif
}

// What other clients delivered in the directory during this run is never
// replaced; older files are, as the Replace option asks.
TEST(JobFileTest, AnotherClientsFilesOfThisRunAreNumbered) {
  TempDir dir;
  client::LedgerNotices notices;
  auto take = [&](const std::string& target, const std::string& data) {
    return Take(target, data, true, true, nullptr, "", &notices);
  };
  WriteFile(dir / "OLD", "from yesterday");
  AnotherClientDelivered(dir, "OLD", NowMs() - 86400000);
  WriteFile(dir / "NEW", "theirs");
  AnotherClientDelivered(dir, "NEW", NowMs());
  EXPECT_EQ(take(dir / "OLD", "mine"), dir / "OLD");
  EXPECT_EQ(take(dir / "NEW", "mine"), dir / "NEW.1");
  EXPECT_EQ(ReadFile(dir / "OLD"), "mine");
  EXPECT_EQ(ReadFile(dir / "NEW"), "theirs");
  EXPECT_EQ(ReadFile(dir / "NEW.1"), "mine");
  // Entries after this run's own count whatever their clock says.
  AnotherClientDelivered(dir, "OLD", 1);
  EXPECT_EQ(take(dir / "OLD", "again"), dir / "OLD.1");
  EXPECT_TRUE(notices.Take().empty());

  // A ledger that cannot be used: every existing file is a clash, said once.
  fs::rename(dir / client::DownloadLedger::kFileName, dir / "saved");
  fs::create_directory(dir / client::DownloadLedger::kFileName);
  EXPECT_EQ(take(dir / "OLD", "a"), dir / "OLD.2");
  EXPECT_EQ(take(dir / "OLD", "b"), dir / "OLD.3");
  std::vector<std::string> told = notices.Take();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("numbered, never replaced"), std::string::npos) << told[0];
  EXPECT_NE(told[0].find(dir / client::DownloadLedger::kFileName), std::string::npos) << told[0];
  fs::remove(dir / client::DownloadLedger::kFileName);
  fs::rename(dir / "saved", dir / client::DownloadLedger::kFileName);
  EXPECT_EQ(take(dir / "NEW", "c"), dir / "NEW.2");
  EXPECT_EQ(notices.Take().size(), 1u);  // in use again
  {
    client::DownloadLedger stuck(dir.path());  // a client hanging with the lock held
    EXPECT_EQ(take(dir / "OLD", "d"), dir / "OLD.4");
  }
  told = notices.Take();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("stayed locked by another client"), std::string::npos) << told[0];
}

// The ledger stays small: runs that ended and their deliveries go, and of a
// running client's deliveries one entry a name is enough.
TEST(JobFileTest, TheLedgerKeepsOnlyWhatRunningClientsNeed) {
  TempDir dir;
  {
    std::ofstream ledger(dir / client::DownloadLedger::kFileName);
    ledger << "S 1000 0ended0run00000 999999999\n";
    for (int i = 0; i < 3000; ++i) ledger << "D 2000 0ended0run00000 GONE" << i << "\n";
    // A client still running (this process's pid, another run).
    ledger << "S " << NowMs() << " 00other0client00 " << platform::CurrentProcessId() << "\n";
    for (int i = 0; i < 100; ++i) ledger << "D " << NowMs() << " 00other0client00 LIVE\n";
  }
  EXPECT_EQ(Take(dir / "MINE", "x", true), dir / "MINE");
  EXPECT_LT(fs::file_size(dir / client::DownloadLedger::kFileName), 1000u);
  client::DownloadLedger ledger(dir.path());
  EXPECT_TRUE(ledger.DeliveredByAnotherClient("LIVE"));
  EXPECT_FALSE(ledger.DeliveredByAnotherClient("GONE1"));
  EXPECT_FALSE(ledger.DeliveredByAnotherClient("MINE"));
}

}  // namespace
