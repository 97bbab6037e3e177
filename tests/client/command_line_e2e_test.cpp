// The three programs' command lines as a script or a service manager meets
// them: no terminal (standard input and output are pipes, TERM unset).
// --help and --version answer at once on standard output; a usage error is
// one short line and a pointer to --help on standard error, status 64.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

using testing_support::Child;

struct Outcome {
  int status = -1;
  std::string out, err;
  long long ms = 0;
};

Outcome RunProgram(const TempDir& dir, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"env", "-u", "TERM", "HOME=" + dir.path(),
                                   "QOR_CONFIG_DIR=" + (dir / "config")};
  argv.push_back(BinDir() + "/" + args[0]);
  argv.insert(argv.end(), args.begin() + 1, args.end());
  Outcome o;
  long long start = testing_support::monotonic_ms();
  Child child(argv, dir / "err");
  for (std::string line; child.read_line(&line, 10000);) o.out += line + "\n";
  int status = -1;
  EXPECT_TRUE(child.wait_exit(10000, &status));
  o.ms = testing_support::monotonic_ms() - start;
  o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  o.err = ReadFile(dir / "err");
  return o;
}

TEST(CommandLine, HelpVersionAndUsageErrorsOfEveryProgram) {
  TempDir dir;
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;  // expected on standard output ("" for none at all)
    std::string err;  // expected on standard error ("" for none at all)
  };
  std::vector<Case> cases;
  for (const char* program : {"qorprtt", "qorcnfig", "qorhost"}) {
    const std::string p = program;
    const std::string try_help = "Try '" + p + " --help' for more information.\n";
    const std::string needs_value = p == "qorhost" ? "--spool" : "--config";
    cases.push_back({{p, "--help"}, 0, "Usage: " + p + " ", ""});
    cases.push_back({{p, "--version"}, 0, p + " 2.0.0\n", ""});
    cases.push_back({{p, "--bogus", "/tmp"}, 64, "", "unrecognized option '--bogus'\n" + try_help});
    cases.push_back({{p, "-x"}, 64, "", "invalid option '-x'\n" + try_help});
    cases.push_back({{p, needs_value}, 64, "", "option '" + needs_value + "' needs an argument"});
    cases.push_back({{p, "--help=yes"}, 64, "", "option '--help' takes no argument\n" + try_help});
  }
  // The old switches stay words, not options; an option's value may look like one.
  cases.push_back({{"qorcnfig", "--adapter", "QOR32PCS.DLL", "--auto"}, 64, "", "give one"});
  cases.push_back(
      {{"qorprtt", "--headless", "--", "--not-an-option"}, 78, "", "No host is set up"});
  // Without a terminal the windows cannot run: said at once, not a silent wait.
  cases.push_back({{"qorprtt", "/tmp"}, 78, "", "the windows need a terminal"});
  // Windows services: on Linux the options point to the units.
  cases.push_back({{"qorprtt", "--install-service", "/tmp"}, 64, "", "qorprt@NAME.service"});
  cases.push_back({{"qorprtt", "--remove-service", "--name", "T"}, 64, "", "systemctl enable"});
  cases.push_back({{"qorprtt", "--service", "T", "/tmp"}, 64, "", "qorprt-service(8)"});
  // --log-file takes the lines standard error would get, a refusal's too.
  cases.push_back(
      {{"qorprtt", "--headless", "--demo", "--log-file", dir / "headless.log", dir / "missing"},
       78,
       "",
       ""});
  // A log that cannot be written is said on standard error.
  cases.push_back({{"qorprtt", "--headless", "--demo", "--log-file", "/dev/full", dir / "missing"},
                   78,
                   "",
                   "cannot write the log: No space left on device"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    Outcome o = RunProgram(dir, c.args);
    EXPECT_EQ(o.status, c.status) << o.err;
    if (c.out.empty()) {
      EXPECT_EQ(o.out, "");
    }
    if (c.err.empty()) {
      EXPECT_EQ(o.err, "");
    }
    EXPECT_NE(o.out.find(c.out), std::string::npos) << o.out;
    EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    EXPECT_LT(o.ms, 1000) << "it took " << o.ms << " ms";
  }
  EXPECT_NE(ReadFile(dir / "headless.log").find("missing cannot be used"), std::string::npos);
}

// A refused start with /D still begins a fresh QORPRTW.TRC where the command
// was given, and the start checks' registry reports are in it.
TEST(CommandLine, TraceSwitchStartsTheTraceBeforeTheStartChecks) {
  TempDir dir;
  WriteFile(dir / "QORPRTW.TRC", "an old trace");
  std::string command = "cd '" + dir.path() + "' && env -u TERM HOME='" + dir.path() +
                        "' QOR_CONFIG_DIR='" + (dir / "config") + "' '" + BinDir() +
                        "/qorprtt' --headless /D '" + dir.path() + "' </dev/null 2>/dev/null";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 78) << status;
  std::string trace = ReadFile(dir / "QORPRTW.TRC");
  EXPECT_EQ(trace.find("an old trace"), std::string::npos);
  EXPECT_NE(trace.find("SOFTWARE\\VORNTEK\\QORPRT"), std::string::npos) << trace;
}

}  // namespace
