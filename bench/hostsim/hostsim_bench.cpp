// Encoding speed and screens per job for the sample jobs, and the in-process
// conversation rate (one Clear to the next painted screen).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "hostsim/conversation_texts.h"
#include "hostsim/host_session.h"
#include "hostsim/screen_encoder.h"

namespace {

std::string sample(const char* name) {
  std::string path = std::string(QOR_SOURCE_DIR) + "/hostsim/samples/" + name;
  std::string bytes;
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
    bytes.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  return bytes;
}

void encode_sample(benchmark::State& state, const char* name, hostsim::ScreenForm form) {
  const std::string job = sample(name);
  std::size_t screens = 0, characters = 0;
  for (auto _ : state) {
    hostsim::JobEncoder encoder(job, form);
    screens = characters = 0;
    while (!encoder.GetDone()) {
      characters += encoder.NextScreen().size();
      ++screens;
    }
    benchmark::DoNotOptimize(screens);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * job.size()));
  state.counters["screens"] = static_cast<double>(screens);
  state.counters["job_bytes_per_screen_char"] =
      characters ? static_cast<double>(job.size()) / static_cast<double>(characters) : 0;
}

void BM_EncodeLongReport(benchmark::State& s) {
  encode_sample(s, "LONGJOB", hostsim::ScreenForm::kPlain);
}
void BM_EncodeRulers(benchmark::State& s) {
  encode_sample(s, "RULERS", hostsim::ScreenForm::kPlain);
}
void BM_EncodeAllBytesPrefixed(benchmark::State& s) {
  encode_sample(s, "ALLBYTES", hostsim::ScreenForm::kLengthPrefixed);
}
BENCHMARK(BM_EncodeLongReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeRulers)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeAllBytesPrefixed)->Unit(benchmark::kMicrosecond);

// Clear after Clear through a report, as a simulated terminal would drive it.
void BM_ConversationScreens(benchmark::State& state) {
  char pattern[] = "/tmp/hostsim-bench-XXXXXX";
  if (!::mkdtemp(pattern)) {
    state.SkipWithError("mkdtemp failed");
    return;
  }
  const std::string dir = pattern;
  const std::string job = sample("MONTHRPT");
  const std::string path = dir + "/MONTHRPT";
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::write(fd, job.data(), job.size()) != static_cast<ssize_t>(job.size()) ||
      ::close(fd) != 0) {
    state.SkipWithError("cannot write the job");
    return;
  }
  hostsim::Spool spool(dir, hostsim::SpoolOptions{true});
  std::size_t screens = 0;
  for (auto _ : state) {
    state.PauseTiming();
    hostsim::Spool fresh(dir, hostsim::SpoolOptions{true});
    hostsim::HostSession session(fresh);
    session.Type(0, hostsim::kStartCommand);
    state.ResumeTiming();
    session.Press(hostsim::Key::kPF6);
    while (session.GetState() != hostsim::SessionState::kIdle) {
      session.Press(hostsim::Key::kClear);
      ++screens;
    }
  }
  state.counters["screens_per_s"] =
      benchmark::Counter(static_cast<double>(screens), benchmark::Counter::kIsRate);
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
}
BENCHMARK(BM_ConversationScreens)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
