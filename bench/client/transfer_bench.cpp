// Throughput of one multi-megabyte job taken by the client's transfer engine
// (job header, start command, block loop, file output) through qor32pcs and a
// real s3270 connected to qorhost, next to the ceiling of the screen channel:
// a bare script that drives its own s3270 through the same screens (stamp,
// Clear, read) in the same run. Reported as MB/s each and their ratio.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "client/client_app.h"
#include "client/download.h"
#include "client/job_header.h"
#include "client/main_window.h"
#include "client/window_front_end.h"
#include "client/transfer_engine.h"
#include "emulator/child_process.h"
#include "emulator/script_channel.h"
#include "hostlink/screen_transport.h"
#include "qorhost_process.h"
#include "test_support.h"
#include "toolkit/headless_display.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kJob = "LONGJOB";

std::string JobBytes() {
  return testing_support::read_file(std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + kJob);
}

// A qorhost serving one copy of the job.
struct Host {
  Host() {
    ::mkdir((dir / "spool").c_str(), 0755);
    testing_support::write_file(dir / ("spool/" + kJob), JobBytes());
    process = std::make_unique<testing_support::QorhostProcess>(dir / "spool", std::vector<std::string>{},
                                                                dir / "qorhost.log");
  }
  TempDir dir;
  std::unique_ptr<testing_support::QorhostProcess> process;
};

// Seconds the client's engine takes for the job through the adapter
// (qor32pcs over s3270 and qorhost, or razevu3's in-process host), or < 0.
double ClientJob(const char* library, std::string* problem) {
  Host host;
  testing_support::write_file(host.dir / "sessions",
                              "A s3270 127.0.0.1:" + std::to_string(host.process->port()) + "\n");
  ::setenv("QOR_SESSIONS", (host.dir / "sessions").c_str(), 1);
  ::setenv("QOR_REGISTRY", (host.dir / "registry.reg").c_str(), 1);
  ::setenv("QOR_SPOOL", (host.dir / "spool").c_str(), 1);  // razevu3 serves the same spool
  std::string file = std::string(library) == "RAZEVU3.DLL" ? "razevu3.so" : "qor32pcs.so";
  void* adapter = ::dlopen((std::string(QOR_BIN_DIR) + "/" + file).c_str(), RTLD_NOW);  // found again by name
  if (!adapter) {
    *problem = file + " not found";
    return -1;
  }
  tk::HeadlessDisplay display(100, 30);
  display.clear_fallback();  // nobody at the keyboard
  ClientApp app(display);
  app.messages.MessageFileOpen(QOR_BIN_DIR "/QORPRTW.QOR");
  app.texts.Load(app.messages);
  app.connection = std::make_unique<HostConnection>(host.dir / "QORPRTW.INI", &app.services);
  app.connection->library_name = library;
  app.connection->timeout = 20;
  InstallTransferEngine(app);
  app.main_window = std::make_unique<MainWindow>(app);
  app.wm.Add(*app.main_window);
  app.state.unattended_active = true;  // messages to the status line, never a box
  app.state.download_dir = host.dir / "out";
  ::mkdir(app.state.download_dir.c_str(), 0755);

  auto start = Clock::now();
  size_t length = 0;
  const char* screen = GetScreen(app.connection.get(), ScreenMode::kRaw);
  length = screen ? app.connection->result.size() : 0;
  double seconds = -1;
  if (!screen || !IsJobHeader(screen, length) || ParseJobHeader(screen, length, app.engine.header, app.state) != 0) {
    *problem = "no job header";
  } else if (app.engine.Download() != 1) {
    *problem = "the job did not run";
  } else {
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (testing_support::read_file(app.state.download_dir + "/" + kJob) != JobBytes()) {
      *problem = "the output differs from the job";
      seconds = -1;
    }
  }
  app.wm.Remove(*app.main_window);
  app.connection->Terminate();
  ::dlclose(adapter);
  return seconds;
}

// Seconds a bare script takes through the same screens, or < 0 on failure.
double BareScript(std::string* problem) {
  Host host;
  emulator::ChildProcess child;
  int fd = child.start("s3270", {"-utf8", "-model", "3279-2"}, problem);
  if (fd < 0) return -1;
  emulator::ScriptChannel channel(fd, false);
  emulator::ScriptReply reply;
  auto deadline = [] { return emulator::Deadline::in_ms(20000); };
  auto run = [&](const std::string& command) {
    return channel.run(command, &reply, deadline(), problem) == emulator::ChannelResult::Ok;
  };
  auto start = Clock::now();
  double seconds = -1;
  long blocks = 0;
  if (run("Connect(127.0.0.1:" + std::to_string(host.process->port()) + ")") &&
      run("Wait(InputField)") && run("MoveCursor(0,0) String(\"0009,=         ;\") PF(6) Ascii()")) {
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
  channel.close();
  child.stop(500);
  return seconds;
}

void BM_JobThroughClientNextToBareS3270(benchmark::State& state) {
  const double mb = static_cast<double>(JobBytes().size()) / 1e6;
  double client_total = 0, bare_total = 0;
  for (auto _ : state) {
    std::string problem;
    double bare = BareScript(&problem);
    double client = bare < 0 ? -1 : ClientJob("QOR32PCS.DLL", &problem);
    if (bare < 0 || client < 0) {
      state.SkipWithError(problem.c_str());
      return;
    }
    bare_total += bare;
    client_total += client;
  }
  double n = static_cast<double>(state.iterations());
  state.counters["client_MBps"] = mb * n / client_total;
  state.counters["bare_MBps"] = mb * n / bare_total;
  state.counters["client_to_bare"] = bare_total / client_total;
  state.counters["job_MB"] = mb;
}

// The engine's own cost: the same job from razevu3's in-process host.
void BM_JobThroughClientInProcess(benchmark::State& state) {
  const double mb = static_cast<double>(JobBytes().size()) / 1e6;
  double total = 0;
  for (auto _ : state) {
    std::string problem;
    double seconds = ClientJob("RAZEVU3.DLL", &problem);
    if (seconds < 0) {
      state.SkipWithError(problem.c_str());
      return;
    }
    total += seconds;
  }
  state.counters["client_MBps"] = mb * static_cast<double>(state.iterations()) / total;
}

BENCHMARK(BM_JobThroughClientInProcess)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_JobThroughClientNextToBareS3270)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
