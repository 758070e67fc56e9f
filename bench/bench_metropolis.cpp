// One Metropolis block of 100,000 attempts per iteration, at three parameter sets.
#include <benchmark/benchmark.h>

#include <string>

#include "sim/initialise.h"
#include "sim/metropolis.h"

namespace {

using namespace vellora::sim;

class FixedTexts : public ParameterTexts {
 public:
  FixedTexts(std::string t, std::string h, std::string j1, std::string j2)
      : texts_{std::move(t), std::move(h), std::move(j1), std::move(j2)} {}
  std::string Text(ParameterEdit edit) const override { return texts_[static_cast<int>(edit)]; }

 private:
  std::string texts_[4];
};

void BM_MetropolisBlock(benchmark::State& bench, const char* t, const char* h, const char* j2,
                        const char* j1 = "1") {
  const FixedTexts texts(t, h, j1, j2);
  RandomSource random([]() -> std::uint32_t { return 12345; });
  SimulationState state;
  Initialise(state, texts, random);
  // Let the lattice settle so the figure is that of a running simulation.
  for (int warmup = 0; warmup < 20; ++warmup) RunSweep(state, texts, random);
  for (auto _ : bench) {
    RunSweep(state, texts, random);
    benchmark::DoNotOptimize(state.energyEstimate);
  }
  // Seconds per attempt; the report prints it with its SI prefix ("9.1n" is 9.1 ns).
  bench.counters["ns_per_attempt"] = benchmark::Counter(
      kBlockLength, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK_CAPTURE(BM_MetropolisBlock, T = 2.269, "2.269", "0", "0")
    ->Name("BM_MetropolisBlock/T=2.269")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetropolisBlock, T = 5, "5", "0", "0")
    ->Name("BM_MetropolisBlock/T=5")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MetropolisBlock, T = 2_h = 0.5_J2 = -0.25, "2", "0.5", "-0.25")
    ->Name("BM_MetropolisBlock/T=2,h=0.5,J2=-0.25")
    ->Unit(benchmark::kMillisecond);
// Typed, non-dyadic couplings: the running sum checks each addition's rounding error.
BENCHMARK_CAPTURE(BM_MetropolisBlock, T = 1_J1 = 0.7_J2 = -0.2, "1", "0", "-0.2", "0.7")
    ->Name("BM_MetropolisBlock/T=1,J1=0.7,J2=-0.2")
    ->Unit(benchmark::kMillisecond);
