// Get screen's decoding on full 1919-character data screens: shift
// translation alone, and translation with run-length expansion. The copy of a
// screen of the same size is the baseline.
#include <benchmark/benchmark.h>

#include <string>

#include "hostlink/screen_codec.h"

namespace {

// A report screen: text in the ';' and '=' tables with new lines.
std::string TextScreen() {
  std::string s;
  while (s.size() < 1900) s += "=Invoice;0042=  Amount;1234.56=_EUR;%";
  s.resize(1919, ';');
  return s;
}

// A screen of runs: "*(" is the run byte, "=+" a count of 63, ";-" the byte.
std::string RunScreen() {
  std::string s;
  while (s.size() + 6 <= 1919) s += "*(=+;-";
  s.resize(1919, ';');
  return s;
}

void BM_CopyBaseline(benchmark::State& state) {
  std::string screen = TextScreen();
  for (auto _ : state) {
    std::string copy = screen;
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(screen.size()));
}

void BM_Translate(benchmark::State& state) {
  std::string screen = TextScreen();
  for (auto _ : state) {
    std::string bytes = hostlink::screen_codec::ShiftTranslate(screen);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(screen.size()));
}

void BM_TranslateAndExpand(benchmark::State& state) {
  std::string screen = state.range(0) ? RunScreen() : TextScreen();
  hostlink::screen_codec::RunLengthExpander expander;
  int64_t out = 0;
  for (auto _ : state) {
    std::string bytes = expander.Expand(hostlink::screen_codec::ShiftTranslate(screen));
    out += static_cast<int64_t>(bytes.size());
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(out);  // job bytes produced
  state.SetLabel(state.range(0) ? "runs" : "text");
}

BENCHMARK(BM_CopyBaseline);
BENCHMARK(BM_Translate);
BENCHMARK(BM_TranslateAndExpand)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
