// The Windows build's adapter and provider on a Linux emulator's script port:
// s3270 connected to qorhost here, and script_port_job.cpp, built for
// Windows, under Wine taking the ALLBYTES job through QOR32PCS.DLL over
// Winsock. Runs when $QOR_WINDOWS_BUILD names the Windows build's directory
// and $QOR_WINE its Wine loader (scripts/test-windows sets both).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "qorhost_process.h"
#include "test_support.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

TEST(WineScriptPort, AWindowsProgramTakesAJobByteExactFromS3270sScriptPort) {
  const char* windows_build = std::getenv("QOR_WINDOWS_BUILD");
  const char* wine = std::getenv("QOR_WINE");
  if (!windows_build || !*windows_build || !wine || !*wine)
    GTEST_SKIP() << "no Windows build named ($QOR_WINDOWS_BUILD, $QOR_WINE)";
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  TempDir dir;
  const std::string spool = dir / "spool";
  ASSERT_EQ(0, ::mkdir(spool.c_str(), 0755));
  const std::string sample =
      testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/ALLBYTES");
  testing_support::write_file(spool + "/ALLBYTES", sample);
  testing_support::QorhostProcess host(spool, {}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0) << testing_support::read_file(dir / "qorhost.log");
  const int port = testing_support::free_loopback_port();
  ASSERT_GT(port, 0);
  testing_support::Child emulator(
      {"s3270", "-utf8", "-model", "3279-2", "-scriptport", "127.0.0.1:" + std::to_string(port),
       "127.0.0.1:" + std::to_string(host.port())},
      dir / "s3270.log");
  ASSERT_TRUE(emulator.started());
  testing_support::write_file(dir / "sessions",
                              "A script 127.0.0.1:" + std::to_string(port) + " timeout=10\n");
  ScopedEnv sessions("QOR_SESSIONS", dir / "sessions");
  ScopedEnv job_out("QOR_JOB_OUT", dir / "job");
  ScopedEnv emulator_log("QOR_EMULATOR_LOG", dir / "emulator.log");
  // The Windows program loads the Windows build's libraries, not ours.
  ScopedEnv bin("QOR_TEST_BIN", std::string(windows_build) + "/bin");

  testing_support::Child program(
      {wine, std::string(windows_build) + "/tests/adapters_script_port_job.exe"}, dir / "wine.log");
  ASSERT_TRUE(program.started());
  int status = -1;
  // Wine's start, and every screen a round trip across it: minutes on a busy machine.
  const bool ended = program.wait_exit(300000, &status);
  if (!ended) program.stop();
  std::string output, line;
  while (program.read_line(&line, 100)) output += line + "\n";
  const std::string why = output + ReadFile(dir / "wine.log") + ReadFile(dir / "emulator.log");
  ASSERT_TRUE(ended) << why;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << why;
  EXPECT_EQ(std::string::npos, output.find("SKIPPED")) << why;
  const std::string job = ReadFile(dir / "job");
  EXPECT_EQ(sample.size(), job.size());
  EXPECT_TRUE(job == sample) << "the job's bytes differ from the sample";
  EXPECT_TRUE(testing_support::eventually(
      [&] { return testing_support::file_exists(spool + "/done/ALLBYTES"); }, 10000))
      << "the host delivered the job";
  emulator.stop();
}

}  // namespace
