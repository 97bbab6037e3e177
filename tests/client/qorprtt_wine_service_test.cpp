// The Windows client as a Windows service under Wine, as an administrator
// sets it up: the adapter named in the registry, a sim session in a
// --config directory, --install-service, sc start, the job delivered
// byte-exact into a directory with a blank in its name with no console
// program running, sc stop ending it within
// seconds, the log's start and stop, --remove-service. Runs when
// $QOR_WINDOWS_BIN names the Windows build's programs and $QOR_WINE its
// Wine loader (scripts/test-windows sets both).
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/temp_dir.h"
#include "tests/tmux_session.h"

namespace {

struct WineRun {
  int status = -1;
  std::string out;
};

// A fresh prefix of its own, its server (with the service) ended at the end.
class ServicePrefix {
 public:
  ServicePrefix(const std::string& loader, const std::string& path, const std::string& scratch)
      : env_("env WINEPREFIX=" + path + " WINEDEBUG=-all "), loader_(loader), scratch_(scratch) {
    // 64-bit Wine is named by its path and must load its programs itself.
    if (loader.find('/') != std::string::npos) env_ += "WINELOADER=" + loader + " ";
    // wine64 is served by wineserver64, wine by wineserver.
    std::string name = std::filesystem::path(loader).filename().string();
    server_ = (std::filesystem::path(loader).parent_path() /
               ("wineserver" + name.substr(std::string("wine").size())))
                  .string();
    // The prefix made first, its server ended: a first boot was seen to
    // leave two service managers running, each with its own services.
    // Then one server throughout, so the system's services start once, at
    // the second boot: a new session would start the auto-start service
    // itself. Output goes to files: Wine's background processes would hold
    // a pipe open.
    std::filesystem::create_directories(path);
    Run("wineboot --init");
    Shell(env_ + server_ + " -w 2>/dev/null");
    Shell(env_ + server_ + " -p >/dev/null 2>&1 </dev/null");
    Run("wineboot");
  }
  ~ServicePrefix() {
    Shell(env_ + server_ + " -k 2>/dev/null; " + env_ + server_ + " -w 2>/dev/null");
  }
  WineRun Run(const std::string& args) const {
    WineRun run;
    std::string status =
        Shell(env_ + loader_ + " " + args + " >" + scratch_ + " 2>&1 </dev/null; echo $?");
    run.status = std::atoi(status.c_str());
    run.out = ReadFile(scratch_);
    return run;
  }

 private:
  std::string env_, loader_, server_, scratch_;
};

// The Linux processes running the service's program from dir.
int ServiceProcesses(const std::string& dir) {
  int count = 0;
  DIR* proc = opendir("/proc");
  while (dirent* entry = proc ? readdir(proc) : nullptr) {
    std::string cmdline = ReadFile("/proc/" + std::string(entry->d_name) + "/cmdline");
    if (cmdline.find("qorprtt.exe") != std::string::npos &&
        cmdline.find(std::filesystem::path(dir).filename().string()) != std::string::npos)
      ++count;
  }
  if (proc) closedir(proc);
  return count;
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TEST(WindowsService, InstalledStartedTakesAJobStoppedAndRemovedUnderWine) {
  const char* bin = std::getenv("QOR_WINDOWS_BIN");
  const char* loader = std::getenv("QOR_WINE");
  if (!bin || !*bin || !loader || !*loader)
    GTEST_SKIP() << "no Windows build named ($QOR_WINDOWS_BIN, $QOR_WINE)";
  TempDir dir;
  std::filesystem::create_directories(dir / "program");
  for (const char* name : {"qorprtt.exe", "QOR32PCS.DLL", "PCSHLL32.DLL", "QORPRTW.QOR"})
    std::filesystem::copy_file(std::string(bin) + "/" + name,
                               dir / ("program/" + std::string(name)));
  for (const char* sub : {"host", "config", "job files"})
    std::filesystem::create_directories(dir / sub);
  const std::string sample = ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT");
  WriteFile(dir / "host/MONTHRPT", sample);
  WriteFile(dir / "config/sessions", "A sim " + (dir / "host") + " timeout=30\n");
  ServicePrefix wine(loader, dir / "prefix", dir / "wine.out");
  // The settings in the profile of the account services run as (the user, in Wine).
  ASSERT_EQ(
      wine.Run("reg add HKCU\\\\SOFTWARE\\\\VORNTEK\\\\QORPRT /v DLL /d QOR32PCS.DLL /f").status,
      0);

  const std::string install = dir / "program/qorprtt.exe" +
                              " --install-service --name T --config " + (dir / "config") + " '" +
                              (dir / "job files") + "'";
  // A blank in a path: the service's command line quotes it.
  WineRun installed = wine.Run(install);
  ASSERT_EQ(installed.status, 0) << installed.out;
  EXPECT_NE(installed.out.find("installed the service T"), std::string::npos) << installed.out;
  WineRun again = wine.Run(install);
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.out.find("exists already"), std::string::npos) << again.out;

  ASSERT_EQ(wine.Run("sc start T").status, 0);
  const std::string log_path = dir / "prefix/drive_c/ProgramData/qorprt/T.log";
  EXPECT_TRUE(Eventually([&] { return ReadFile(dir / "job files/MONTHRPT") == sample; }, 180))
      << ReadFile(log_path);
  EXPECT_TRUE(
      Eventually([&] { return ReadFile(log_path).find("MONTHRPT") != std::string::npos; }, 30));
  // Only the service runs the program: nothing was started from a console.
  EXPECT_EQ(ServiceProcesses(dir.path()), 1);

  // Each sc under Wine takes about a second of its own: the figures are upper bounds.
  const long long stop_began = NowMs();
  WineRun stop = wine.Run("sc stop T");
  EXPECT_EQ(stop.status, 0) << stop.out;
  WineRun query;
  EXPECT_TRUE(Eventually(
      [&] { return (query = wine.Run("sc query T")).out.find("STOPPED") != std::string::npos; },
      30))
      << query.out;
  const long long stopped_ms = NowMs() - stop_began;
  EXPECT_TRUE(Eventually([&] { return ServiceProcesses(dir.path()) == 0; }, 10));
  const long long gone_ms = NowMs() - stop_began;
  std::printf("sc stop to STOPPED in sc query: %lld ms; to the process's end: %lld ms\n",
              stopped_ms, gone_ms);
  EXPECT_LT(stopped_ms, 10000);
  EXPECT_NE(query.out.find("SERVICE_EXIT_CODE  : 0 "), std::string::npos) << query.out;
  const std::string log = ReadFile(log_path);
  EXPECT_NE(log.find("start: Unattended operation into"), std::string::npos) << log;
  EXPECT_NE(log.find("end: Stopped"), std::string::npos) << log;

  // Removing a running service stops it first.
  ASSERT_EQ(wine.Run("sc start T").status, 0);
  WineRun removed = wine.Run(dir / "program/qorprtt.exe" + " --remove-service --name T");
  EXPECT_EQ(removed.status, 0) << removed.out;
  EXPECT_NE(wine.Run("sc query T").status, 0);
  EXPECT_TRUE(Eventually([&] { return ServiceProcesses(dir.path()) == 0; }, 10));
  EXPECT_TRUE(ReadFile(log_path).ends_with("end: Stopped\n")) << ReadFile(log_path);
}

}  // namespace
