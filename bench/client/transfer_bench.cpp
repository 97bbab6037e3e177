// Throughput of one multi-megabyte job taken by the client's transfer engine
// (job header, start command, block loop, file output) through qor32pcs and a
// real s3270 connected to qorhost, next to the ceiling of the screen channel:
// a bare script that drives its own s3270 through the same screens (stamp,
// Clear, read) in the same run. Reported as MB/s each and their ratio, and as
// the ratio per block: both sides' time for a one-screen job taken off, which
// leaves out what every job costs once (the client's half-second pause before
// its start command among it). round_trips_per_block counts the command
// lines the client's session sent to s3270, in an extra run that is not timed.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "client/engine/job_header.h"
#include "client/engine/job_name.h"
#include "client/engine/transfer_engine.h"
#include "client/windows/client_app.h"
#include "client/windows/window_front_end.h"
#include "emulator/child_process.h"
#include "emulator/script_channel.h"
#include "hostlink/screen_transport.h"
#include "qorhost_process.h"
#include "test_support.h"
#include "toolkit/headless_display.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kLongJob = "LONGJOB";
const std::string kOneScreenJob = "SHORT";

std::string JobBytes(const std::string& job) {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + job);
}

// The host's options and the terminal model both sides use.
struct Setup {
  std::vector<std::string> host_options;
  int model = 2;
  std::vector<std::string> qorhost_options() const {
    std::vector<std::string> all = host_options;
    all.insert(all.end(), {"--model", std::to_string(model)});
    return all;
  }
};

// A qorhost serving one copy of the job.
struct Host {
  Host(const std::string& job, const Setup& setup) {
    ::mkdir((dir / "spool").c_str(), 0755);
    testing_support::write_file(dir / ("spool/" + job), JobBytes(job));
    process = std::make_unique<testing_support::QorhostProcess>(
        dir / "spool", setup.qorhost_options(), dir / "qorhost.log");
  }
  TempDir dir;
  std::unique_ptr<testing_support::QorhostProcess> process;
};

// Seconds the client's engine takes for the job through the adapter
// (qor32pcs over s3270 and qorhost, or razevu3's in-process host), or < 0.
// With count_file, s3270 runs behind tee, which appends every command line to it.
double ClientJob(const char* library, const std::string& job, const Setup& setup,
                 std::string* problem, const std::string& count_file = "") {
  Host host(job, setup);
  if (!count_file.empty()) {
    testing_support::write_file(host.dir / "s3270",
                                "#!/bin/sh\ntee -a '" + count_file + "' | exec s3270 \"$@\"\n");
    ::chmod((host.dir / "s3270").c_str(), 0755);
    ::setenv("QOR_S3270", (host.dir / "s3270").c_str(), 1);
  } else {
    ::unsetenv("QOR_S3270");
  }
  testing_support::write_file(host.dir / "sessions",
                              "A s3270 127.0.0.1:" + std::to_string(host.process->port()) +
                                  " model=" + std::to_string(setup.model) + "\n");
  ::setenv("QOR_SESSIONS", (host.dir / "sessions").c_str(), 1);
  ::setenv("QOR_REGISTRY", (host.dir / "registry.reg").c_str(), 1);
  ::setenv("QOR_SPOOL", (host.dir / "spool").c_str(), 1);  // razevu3 serves the same spool
  std::string file = std::string(library) == "RAZEVU3.DLL" ? "razevu3.so" : "qor32pcs.so";
  void* adapter =
      ::dlopen((std::string(QOR_BIN_DIR) + "/" + file).c_str(), RTLD_NOW);  // found again by name
  if (!adapter) {
    *problem = file + " not found";
    return -1;
  }
  tk::HeadlessDisplay display(100, 30);
  display.ClearFallback();  // nobody at the keyboard
  client::windows::ClientApp app(display);
  app.messages.MessageFileOpen(QOR_BIN_DIR "/QORPRTW.QOR");
  app.texts.Load(app.messages);
  app.connection = std::make_unique<hostlink::HostConnection>(host.dir / "QORPRTW.INI",
                                                              &app.services, app.trace);
  app.connection->library_name = library;
  app.connection->timeout = 20;
  InstallTransferEngine(app);
  app.OpenMainWindow();
  app.state.unattended_active = true;  // messages to the status line, never a box
  app.state.download_dir = host.dir / "out";
  ::mkdir(app.state.download_dir.c_str(), 0755);

  auto start = Clock::now();
  size_t length = 0;
  const char* screen = GetScreen(app.connection.get(), hostlink::ScreenMode::kRaw);
  length = screen ? app.connection->result.size() : 0;
  double seconds = -1;
  if (!screen || !client::IsJobHeader(screen, length) ||
      client::ParseJobHeader(screen, length, app.engine.header, app.state) != 0) {
    *problem = "no job header";
  } else if (app.engine.Download() != 1) {
    *problem = "the job did not run";
  } else {
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (testing_support::read_file(app.state.download_dir + "/" + job) != JobBytes(job)) {
      *problem = "the output differs from the job";
      seconds = -1;
    }
  }
  app.wm.Remove(*app.main_window);
  app.connection->Terminate();
  ::dlclose(adapter);
  return seconds;
}

// Seconds a bare script takes through the same screens, or < 0 on failure;
// *blocks: the data screens it went through.
double BareScript(const std::string& job, const Setup& setup, std::string* problem,
                  long* blocks_out = nullptr) {
  Host host(job, setup);
  emulator::ChildProcess child;
  int fd =
      child.Start("s3270", {"-utf8", "-model", "3279-" + std::to_string(setup.model)}, problem);
  if (fd < 0) return -1;
  emulator::ScriptChannel channel(fd, false);
  emulator::ScriptReply reply;
  auto deadline = [] { return emulator::Deadline::InMs(20000); };
  auto run = [&](const std::string& command) {
    return channel.Run(command, &reply, deadline(), problem) == emulator::ChannelResult::kOk;
  };
  auto start = Clock::now();
  double seconds = -1;
  long blocks = 0;
  if (run("Connect(127.0.0.1:" + std::to_string(host.process->port()) + ")") &&
      run("Wait(InputField)") &&
      run("MoveCursor(0,0) String(\"0009,=         ;\") PF(6) Ascii()")) {
    for (;;) {
      // The encoded end marker opens the last screen.
      if (!reply.data.empty() && reply.data[0].find("ENDPRINT") != std::string::npos &&
          reply.data[0].find("ENDPRINT") < 8)
        break;
      ++blocks;
      if (!run("MoveCursor(0,0) String(\"OK;;;;;;\") Clear() Ascii()")) break;
    }
    run("Clear()");
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  if (blocks_out) *blocks_out = blocks;
  channel.Close();
  child.Stop(500);
  return seconds;
}

// The long job and the one-screen job, client and bare script, against a
// qorhost set up as setup says.
void CompareWithBare(benchmark::State& state, const Setup& setup) {
  const double mb = static_cast<double>(JobBytes(kLongJob).size()) / 1e6;
  double client_total = 0, bare_total = 0, client_once = 0, bare_once = 0;
  long blocks = 0;
  for (auto _ : state) {
    std::string problem;
    double bare = BareScript(kLongJob, setup, &problem, &blocks);
    double client = bare < 0 ? -1 : ClientJob("QOR32PCS.DLL", kLongJob, setup, &problem);
    double bare_short = client < 0 ? -1 : BareScript(kOneScreenJob, setup, &problem);
    double client_short =
        bare_short < 0 ? -1 : ClientJob("QOR32PCS.DLL", kOneScreenJob, setup, &problem);
    if (client_short < 0) {
      state.SkipWithError(problem.c_str());
      return;
    }
    bare_total += bare;
    client_total += client;
    bare_once += bare_short;
    client_once += client_short;
  }
  // After the timed loop: tee's hop would slow the session it counts.
  TempDir count_dir;
  std::string problem, count_file = count_dir / "commands";
  if (ClientJob("QOR32PCS.DLL", kLongJob, setup, &problem, count_file) < 0) {
    state.SkipWithError(problem.c_str());
    return;
  }
  std::string commands = testing_support::read_file(count_file);
  double n = static_cast<double>(state.iterations());
  state.counters["client_MBps"] = mb * n / client_total;
  state.counters["bare_MBps"] = mb * n / bare_total;
  state.counters["client_to_bare"] = bare_total / client_total;
  state.counters["per_block_client_to_bare"] =
      (bare_total - bare_once) / (client_total - client_once);
  state.counters["client_once_s"] = client_once / n;
  state.counters["bare_once_s"] = bare_once / n;
  state.counters["round_trips_per_block"] =
      static_cast<double>(std::count(commands.begin(), commands.end(), '\n')) /
      static_cast<double>(blocks);
  state.counters["job_MB"] = mb;
}

void BM_JobThroughClientNextToBareS3270(benchmark::State& state) { CompareWithBare(state, {}); }

// Model 5 terminals: data screens of 27 x 132, about half as many.
void BM_JobThroughClientNextToBareS3270Model5(benchmark::State& state) {
  CompareWithBare(state, {.host_options = {}, .model = 5});
}

// The same with a host that takes 5 ms to answer each screen.
void BM_JobThroughClientNextToBareS3270Delay5ms(benchmark::State& state) {
  CompareWithBare(state, {.host_options = {"--delay-ms", "5"}});
}

// The engine's own cost: the same job from razevu3's in-process host.
void BM_JobThroughClientInProcess(benchmark::State& state) {
  const double mb = static_cast<double>(JobBytes(kLongJob).size()) / 1e6;
  double total = 0, once = 0;
  for (auto _ : state) {
    std::string problem;
    double seconds = ClientJob("RAZEVU3.DLL", kLongJob, {}, &problem);
    double short_seconds = seconds < 0 ? -1 : ClientJob("RAZEVU3.DLL", kOneScreenJob, {}, &problem);
    if (short_seconds < 0) {
      state.SkipWithError(problem.c_str());
      return;
    }
    total += seconds;
    once += short_seconds;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["client_MBps"] = mb * n / total;
  state.counters["per_block_MBps"] = mb * n / (total - once);
  state.counters["client_once_s"] = once / n;
}

BENCHMARK(BM_JobThroughClientInProcess)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_JobThroughClientNextToBareS3270)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BM_JobThroughClientNextToBareS3270Model5)
    ->Unit(benchmark::kSecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BM_JobThroughClientNextToBareS3270Delay5ms)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
