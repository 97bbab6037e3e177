// Screen round trips as the client makes them (stamp, Clear, wait for the
// host, copy the screen) through an adapter: over s3270 and qorhost, and
// through razevu3.so's in-process host; next to the bare s3270 round trip
// (Clear, then Ascii) measured in the same run.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "adapter_client.h"
#include "emulator/child_process.h"
#include "emulator/script_channel.h"
#include "job_conversation.h"
#include "qorhost_process.h"
#include "test_support.h"

namespace {

using adapter_test::AdapterLibrary;

// One qorhost with an empty spool: every Clear repaints the idle screen.
struct Host {
  Host() {
    ::mkdir((dir / "spool").c_str(), 0755);
    process = std::make_unique<testing_support::QorhostProcess>(
        dir / "spool", std::vector<std::string>{}, dir / "qorhost.log");
    testing_support::write_file(dir / "sessions",
                                "A s3270 127.0.0.1:" + std::to_string(process->port()) + "\n");
  }
  TempDir dir;
  std::unique_ptr<testing_support::QorhostProcess> process;
};

void ClientRoundTrips(benchmark::State& state, const char* adapter, adapter_test::Family family) {
  Host host;
  ::setenv("QOR_SESSIONS", (host.dir / "sessions").c_str(), 1);
  AdapterLibrary lib(QOR_BIN_DIR, adapter);
  if (!lib.loaded()) {
    state.SkipWithError(lib.error().c_str());
    return;
  }
  lib.init();
  adapter_test::JobConversation conversation(lib, family);
  int rows = 0, columns = 0;
  conversation.connect(&rows, &columns);
  for (auto _ : state) {
    conversation.write(1, "OK;;;;;;");
    conversation.keys("@C");
    if (!conversation.wait_for_host(5000)) {
      state.SkipWithError("no answer from the host");
      break;
    }
    benchmark::DoNotOptimize(conversation.screen());
  }
  state.counters["pauses"] = conversation.pauses();
  state.SetItemsProcessed(state.iterations());
  conversation.disconnect();
  lib.term();
}

void BM_AdapterOverS3270(benchmark::State& state) {
  ClientRoundTrips(state, "QOR32PCS.DLL", adapter_test::Family::Wide);
}
void BM_DefaultAdapterInProcess(benchmark::State& state) {
  ClientRoundTrips(state, "RAZEVU3.DLL", adapter_test::Family::WinHllapi);
}

void BM_BareS3270ClearAscii(benchmark::State& state) {
  Host host;
  emulator::ChildProcess child;
  std::string problem;
  int fd = child.Start("s3270", {"-utf8", "-model", "3279-2"}, &problem);
  if (fd < 0) {
    state.SkipWithError(problem.c_str());
    return;
  }
  emulator::ScriptChannel channel(fd, false);
  emulator::ScriptReply reply;
  auto deadline = [] { return emulator::Deadline::InMs(5000); };
  channel.Run("Connect(127.0.0.1:" + std::to_string(host.process->port()) + ")", &reply, deadline(),
              &problem);
  for (auto _ : state) {
    if (channel.Run("Clear()", &reply, deadline(), &problem) != emulator::ChannelResult::kOk ||
        channel.Run("Ascii()", &reply, deadline(), &problem) != emulator::ChannelResult::kOk) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
  channel.Close();
  child.Stop(500);
}

BENCHMARK(BM_BareS3270ClearAscii)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_AdapterOverS3270)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_DefaultAdapterInProcess)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
