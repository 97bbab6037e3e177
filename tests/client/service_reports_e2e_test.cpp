// What a headless client tells beyond its log lines, through s3270 and
// qorhost: the command run after each job with the job's facts in a minimal
// environment, the JSON Lines log, the status query while idle, during a job
// and after the run, and the metrics file's counts.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "qorhost_process.h"
#include "tests/installed_client.h"
#include "tests/json_check.h"
#include "tests/programs.h"
#include "tests/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Child;
using testing_support::eventually;

class ServiceReportsTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string downloads = dir / "downloads";
  std::string spool = dir / "spool";
  std::string hooks = dir / "hooks";
  std::string metrics = dir / "metrics/qorprt.prom";
  testing_support::InstalledClient installed =
      testing_support::InstalledClient::InHome(dir / "home");

  void SetUp() override {
    for (const std::string& d : {downloads, spool, hooks}) fs::create_directory(d);
  }
  std::unique_ptr<Child> Start(std::vector<std::string> args, const std::string& err) {
    std::vector<std::string> argv =
        installed.Command({"XDG_RUNTIME_DIR=" + (dir / "run"), "QOR_SPOOL=" + spool});
    argv.insert(argv.end(), args.begin(), args.end());
    return std::make_unique<Child>(argv, err);
  }
  // `qorprtt --status plant2 --json`: what it printed, its exit status in *code.
  std::string Status(int* code) {
    auto child = Start({"--status", "plant2", "--json"}, dir / "status.err");
    std::string out;
    for (std::string line; child->read_line(&line, 10000);) out += line + "\n";
    int status = -1;
    EXPECT_TRUE(child->wait_exit(10000, &status));
    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
  }
  // The environments the command after each job wrote, by file name.
  std::map<std::string, std::map<std::string, std::string>> HookRuns() {
    std::map<std::string, std::map<std::string, std::string>> runs;
    for (const auto& e : fs::directory_iterator(hooks)) {
      std::istringstream in(ReadFile(e.path().string()));
      auto& vars = runs[e.path().filename().string()];
      for (std::string line; std::getline(in, line);)
        if (size_t eq = line.find('='); eq != std::string::npos)
          vars[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return runs;
  }
  std::string Lines() { return ReadFile(dir / "client.err"); }
};

// The metrics file's samples by name, and each name's # TYPE.
void ReadMetrics(const std::string& text, std::map<std::string, long long>* values,
                 std::map<std::string, std::string>* types) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string a, b, c, d;
    words >> a >> b >> c >> d;
    if (a == "#" && b == "TYPE") (*types)[c] = d;
    if (a != "#") (*values)[a.substr(0, a.find('{'))] = std::stoll(b);
  }
}

TEST_F(ServiceReportsTest, CommandAfterEachJobJsonLogStatusAndMetrics) {
  if (!S3270Installed()) GTEST_SKIP() << "s3270 is not installed";
  if (!Installed("python3")) GTEST_SKIP() << "python3 is not installed";
  testing_support::QorhostProcess host(spool, {"--garbage-job", "BADJOB", "--delay-ms", "20"},
                                       dir / "qorhost.log");
  installed.UseS3270(host.port());
  auto client = Start(
      {"--headless", "--log-format", "json", "--instance", "plant2", "--metrics-file", metrics,
       "--on-job-shell", "--on-job",
       "env > '" + hooks + "'/\"$QOR_JOB_STATUS.$$\"; echo \"said by $QOR_JOB_NAME\"", downloads},
      dir / "client.err");
  int code = -1;
  // Idle with the session up: healthy.
  ASSERT_TRUE(eventually([&] { return JsonQuery(Status(&code), "j['session']") == "up"; }, 60000))
      << Lines();
  std::string idle = Status(&code);
  EXPECT_EQ(code, 0) << idle;
  EXPECT_EQ(JsonQuery(idle, "(j['healthy'], j['job'], j['last_job'], j['counts'])"),
            "(True, None, None, {'delivered': 0, 'incomplete': 0, 'set_aside': 0, 'bytes': 0})");

  // A long job: the query names it while it comes.
  const std::string ledger = testing_support::ledger_job();
  WriteFile(spool + "/LEDGER", ledger);
  std::string during;
  EXPECT_TRUE(eventually(
      [&] { return JsonQuery(during = Status(&code), "j['job'] and j['job']['name']") != "None"; },
      60000))
      << Lines();
  EXPECT_EQ(code, 0) << during;
  EXPECT_EQ(JsonQuery(during, "(j['job']['name'], j['job']['since'][-1])"),
            "('QOR LEDGER,00001', 'Z')");
  ASSERT_TRUE(eventually([&] { return ReadFile(downloads + "/LEDGER") == ledger; }, 120000));

  // Then one that comes damaged every time: three incomplete tries, set aside.
  WriteFile(spool + "/BADJOB", ReadFile(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/MONTHRPT"));
  // A run's file is there before its command has written it.
  ASSERT_TRUE(eventually(
      [&] {
        auto r = HookRuns();
        return r.size() == 5 && std::all_of(r.begin(), r.end(), [](auto& run) {
                 return run.second.count("QOR_JOB_BYTES") == 1;
               });
      },
      180000))
      << Lines();
  auto runs = HookRuns();
  long long bytes = 0;
  std::map<std::string, int> statuses;
  for (auto& [file, vars] : runs) {
    ++statuses[vars["QOR_JOB_STATUS"]];
    bytes += std::stoll(vars["QOR_JOB_BYTES"]);
    EXPECT_EQ(file.substr(0, file.find('.')), vars["QOR_JOB_STATUS"]);
    // Only the documented part of the client's environment goes on.
    EXPECT_EQ(vars.count("QOR_SPOOL") + vars.count("XDG_RUNTIME_DIR"), 0u) << file;
    EXPECT_EQ(vars["HOME"], dir / "home");
    EXPECT_FALSE(vars["PATH"].empty());
    if (vars["QOR_JOB_STATUS"] == "delivered") {
      EXPECT_EQ(vars["QOR_JOB_FILE"], downloads + "/LEDGER");
      EXPECT_EQ(vars["QOR_JOB_NAME"], "QOR LEDGER,00001");
      EXPECT_EQ(vars["QOR_JOB_IDENT"], "LEDGER,00001");
      EXPECT_EQ(vars["QOR_JOB_BYTES"], std::to_string(ledger.size()));
      EXPECT_EQ(vars["QOR_JOB_LINES"], "3000");
      EXPECT_EQ(vars["QOR_JOB_REASON"], "");
    } else {
      // The host numbers each job it files.
      EXPECT_EQ(vars["QOR_JOB_NAME"], "QOR " + vars["QOR_JOB_IDENT"]);
      EXPECT_EQ(vars["QOR_JOB_IDENT"].rfind("BADJOB,", 0), 0u);
      EXPECT_EQ(vars["QOR_JOB_FILE"], downloads + "/BADJOB.incomplete");
      EXPECT_FALSE(vars["QOR_JOB_REASON"].empty());
    }
  }
  EXPECT_EQ(statuses,
            (std::map<std::string, int>{{"delivered", 1}, {"incomplete", 3}, {"set-aside", 1}}));

  // The last job needs attention: the query says so, and counts it all.
  std::string after = Status(&code);
  EXPECT_EQ(code, 2) << after;
  EXPECT_EQ(JsonQuery(after, "(j['healthy'], j['last_job']['status'], j['counts'])"),
            "(False, 'set-aside', {'delivered': 1, 'incomplete': 3, 'set_aside': 1, 'bytes': " +
                std::to_string(bytes) + "})");
  std::map<std::string, long long> values;
  std::map<std::string, std::string> types;
  ReadMetrics(ReadFile(metrics), &values, &types);
  EXPECT_EQ(values,
            (std::map<std::string, long long>{{"qorprt_jobs_delivered_total", 1},
                                              {"qorprt_jobs_incomplete_total", 3},
                                              {"qorprt_jobs_set_aside_total", 1},
                                              {"qorprt_bytes_total", bytes},
                                              {"qorprt_session_up", 1},
                                              {"qorprt_last_job_timestamp_seconds",
                                               values["qorprt_last_job_timestamp_seconds"]}}))
      << ReadFile(metrics);
  EXPECT_GT(values["qorprt_last_job_timestamp_seconds"], 1700000000);
  EXPECT_EQ(types["qorprt_jobs_delivered_total"], "counter");
  EXPECT_EQ(types["qorprt_session_up"], "gauge");
  EXPECT_EQ(types.size(), values.size());

  ::kill(client->pid(), SIGTERM);
  int status = -1;
  ASSERT_TRUE(client->wait_exit(30000, &status));
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << Lines();
  EXPECT_EQ(JsonQuery(Status(&code), "j['running']"), "False");
  EXPECT_EQ(code, 3);
  // What the commands said went to a log of their own, out of the JSON.
  EXPECT_NE(
      ReadFile(dir / "home/.local/state/qorprt/on-job.log").find("said by QOR LEDGER,00001\n"),
      std::string::npos);
  // Every line of the log is one JSON object with a UTC time; the job lines
  // carry the same facts as the command's environment.
  EXPECT_EQ(JsonQuery(Lines(),
                      "(all(o['time'].endswith('Z') and 'kind' in o and 'text' in o for o in j), "
                      "sorted(o['status'] for o in j if o['kind'] == 'job'), "
                      "[o['kind'] for o in j][-1])",
                      true),
            "(True, ['delivered', 'incomplete', 'incomplete', 'incomplete', 'set-aside'], 'end')")
      << Lines();
}

}  // namespace
