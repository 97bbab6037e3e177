// Two instances of the installed template unit qorprt@.service, started the
// way systemd would (its Environment=, directories, ExecStartPre= and
// ExecStart= with %i expanded), each set up with qorcnfig for its own printer
// LU of one qorhost: each takes only its own jobs into its own directory and
// logs them in its own transfer log, and ends cleanly on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "qorhost_process.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// What systemd takes from the [Service] section of a unit for one instance:
// %i expanded, and the directories it manages (/var/lib, /var/log, /run) moved
// under root, as the install prefix moved the rest.
struct ServiceInstance {
  std::vector<std::string> environment, exec_start_pre, exec_start;
  std::string working_directory;
  std::vector<std::string> directories;  // StateDirectory=, LogsDirectory=, RuntimeDirectory=

  ServiceInstance(const std::string& unit_path, const std::string& instance,
                  const std::string& root) {
    std::ifstream unit(unit_path);
    for (std::string line; std::getline(unit, line);) {
      line = Replace(Replace(Replace(line, "%i", instance), "=/var/", "=" + root + "/var/"),
                     "=/run/", "=" + root + "/run/");
      size_t equals = line.find('=');
      if (line[0] == '#' || equals == std::string::npos) continue;
      std::string key = line.substr(0, equals), value = line.substr(equals + 1);
      if (key == "Environment") environment.push_back(value);
      if (key == "ExecStartPre") exec_start_pre = Words(value);
      if (key == "ExecStart") exec_start = Words(value);
      if (key == "WorkingDirectory") working_directory = value;
      if (key == "StateDirectory") directories.push_back(root + "/var/lib/" + value);
      if (key == "LogsDirectory") directories.push_back(root + "/var/log/" + value);
      if (key == "RuntimeDirectory") directories.push_back(root + "/run/" + value);
    }
  }
  std::string Env(const std::string& name) const {
    for (const std::string& e : environment)
      if (e.rfind(name + "=", 0) == 0) return e.substr(name.size() + 1);
    return "";
  }
  // The command in the working directory, in a clean environment of the
  // unit's variables and PATH.
  std::vector<std::string> Command(const std::vector<std::string>& argv) const {
    std::vector<std::string> command = {"env", "-i", "-C", working_directory,
                                        std::string("PATH=") + std::getenv("PATH")};
    command.insert(command.end(), environment.begin(), environment.end());
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
  }
};

// Whether the program's --help names the option (a program that does not
// know --help may not end by itself: it gets ten seconds).
bool Lists(const std::string& program, const std::string& option) {
  return std::system(("timeout 10 '" + program + "' --help </dev/null 2>/dev/null | grep -q -e '" +
                      option + "'")
                         .c_str()) == 0;
}

int ExitStatus(const std::vector<std::string>& argv, const std::string& err) {
  Child child(argv, err);
  int status = -1;
  return child.wait_exit(30000, &status) && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TemplateInstancesTest, EachInstanceTakesOnlyItsOwnLusJobs) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  TempDir dir;
  const std::string root = dir / "root";
  ASSERT_EQ(std::system(
                ("cmake --install '" QOR_BUILD_DIR "' --prefix '" + root + "' >/dev/null").c_str()),
            0);
  if (!Lists(root + "/bin/qorprtt", "--config") || !Lists(root + "/bin/qorcnfig", "--config"))
    GTEST_SKIP() << "qorprtt or qorcnfig takes no --config yet";
  fs::create_directories(root + "/var/spool/qorprt");  // the package makes it

  const std::string spool = dir / "hostspool";
  const std::map<std::string, std::vector<std::string>> jobs = {{"PRT01", {"PAYROLL", "LEDGER"}},
                                                                {"PRT02", {"INVOICES"}}};
  for (const auto& [lu, names] : jobs)
    for (const std::string& name : names) {
      fs::create_directories(spool + "/lu/" + lu);
      WriteFile(spool + "/lu/" + lu + "/" + name, name + " for " + lu + "\nsecond line\n");
    }
  testing_support::QorhostProcess host(spool, {"--job-poll-ms", "100"}, dir / "qorhost.log");
  ASSERT_GT(host.port(), 0);

  std::map<std::string, std::unique_ptr<Child>> clients;
  for (const auto& [lu, names] : jobs) {
    ServiceInstance unit(root + "/lib/systemd/system/qorprt@.service", lu, root);
    for (const std::string& d : unit.directories) fs::create_directories(d);
    ASSERT_EQ(ExitStatus(unit.Command(unit.exec_start_pre), dir / (lu + ".pre.err")), 0);
    const std::string config = unit.exec_start[unit.exec_start.size() - 2];
    ASSERT_EQ(config, root + "/etc/qorprt/" + lu);
    ASSERT_EQ(
        ExitStatus({root + "/bin/qorcnfig", "--config", config, "--adapter", "QOR32PCS.DLL",
                    "--session", "A s3270 127.0.0.1:" + std::to_string(host.port()) + " lu=" + lu},
                   dir / (lu + ".qorcnfig.err")),
        0)
        << ReadFile(dir / (lu + ".qorcnfig.err"));
    clients[lu] = std::make_unique<Child>(unit.Command(unit.exec_start), dir / (lu + ".err"));
  }

  for (const auto& [lu, names] : jobs) {
    ServiceInstance unit(root + "/lib/systemd/system/qorprt@.service", lu, root);
    const std::string downloads = root + "/var/spool/qorprt/" + lu;
    auto delivered = [&] {
      std::vector<std::string> found;
      for (const auto& e : fs::directory_iterator(downloads))  // not the client's own dot files
        if (e.path().filename().string()[0] != '.') found.push_back(e.path().filename());
      std::sort(found.begin(), found.end());
      return found;
    };
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(eventually([&] { return delivered() == expected; }, 60000))
        << lu << ": " << testing::PrintToString(delivered()) << "\n"
        << ReadFile(dir / (lu + ".err")) << ReadFile(dir / "qorhost.log");
    for (const std::string& name : names) {
      EXPECT_EQ(ReadFile(downloads + "/" + name), name + " for " + lu + "\nsecond line\n");
      // The log's outcome line follows the file's arrival by a moment.
      const std::string line = " delivered to " + downloads + "/" + name;
      EXPECT_TRUE(eventually(
          [&] { return ReadFile(unit.Env("QOR_TRANSFER_LOG")).find(line) != std::string::npos; },
          10000))
          << unit.Env("QOR_TRANSFER_LOG");
    }
    // Each instance answers for itself where the units keep the status files.
    EXPECT_EQ(ExitStatus(unit.Command({root + "/bin/qorprtt", "--status", lu}),
                         dir / (lu + ".status.err")),
              0)
        << ReadFile(dir / (lu + ".status.err"));
  }
  for (auto& [lu, client] : clients) {
    ::kill(client->pid(), SIGTERM);
    int status = -1;
    EXPECT_TRUE(client->wait_exit(30000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(dir / (lu + ".err"));
  }
}

}  // namespace
