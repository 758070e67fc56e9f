// One Metropolis block of 100,000 attempts per iteration, at three parameter sets, next to the
// serial limit of the generator at the same sets: BM_MetropolisBlock / BM_GeneratorLimit is how far
// the block is from the time its draws take one after another.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>

#include "sim/initialise.h"
#include "sim/metropolis.h"
#include "sim/sim_test_support.h"

namespace {

using namespace vellora::sim;

// A running simulation at the given parameters, its lattice settled by 20 sweeps, and the draws
// a block makes there: counted from how far the next ten blocks advance the generator, on a copy,
// so that BM_MetropolisBlock times those same blocks first.
struct SettledRun {
  SettledRun(const char* t, const char* h, const char* j2, const char* j1)
      : texts(t, h, j1, j2), random([]() -> std::uint32_t { return 12345; }) {
    Initialise(state, texts, random);
    for (int warmup = 0; warmup < 20; ++warmup) RunSweep(state, texts, random);

    constexpr int kBlocks = 10;
    SimulationState probe = state;
    RandomSource probeRandom = random;
    for (int block = 0; block < kBlocks; ++block) RunSweep(probe, texts, probeRandom);
    const long draws =
        testing::DrawsBetween(random.State(), probeRandom.State(), 300'000L * kBlocks);
    drawsPerBlock = (draws + kBlocks / 2) / kBlocks;
  }
  testing::FixedTexts texts;
  RandomSource random;
  SimulationState state;
  long drawsPerBlock = 0;
};

// Seconds per attempt; the report prints it with its SI prefix ("9.1n" is 9.1 ns). Both
// benchmarks also give the draws per attempt.
void SetCounters(benchmark::State& bench, const SettledRun& run) {
  bench.counters["ns_per_attempt"] = benchmark::Counter(
      kBlockLength, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  bench.counters["draws_per_attempt"] = static_cast<double>(run.drawsPerBlock) / kBlockLength;
}

void BM_MetropolisBlock(benchmark::State& bench, const char* t, const char* h, const char* j2,
                        const char* j1) {
  SettledRun run(t, h, j2, j1);
  for (auto _ : bench) {
    RunSweep(run.state, run.texts, run.random);
    benchmark::DoNotOptimize(run.state.energyEstimate);
  }
  SetCounters(bench, run);
}

// The generator's serial chain for as many steps as a block at these parameters draws: each step
// needs the state the step before it left.
void BM_GeneratorLimit(benchmark::State& bench, const char* t, const char* h, const char* j2,
                       const char* j1) {
  const SettledRun run(t, h, j2, j1);
  const long steps = run.drawsPerBlock;
  std::uint32_t k = run.random.State();
  for (auto _ : bench) {
    for (long step = 0; step < steps; ++step) {
      k = k * RandomSource::kMultiplier + RandomSource::kIncrement;
      // The state passes through a register the optimiser cannot see into, so the loop stays a
      // chain of single steps: no jump ahead by a combined multiplier, no independent partial
      // chains, and the state never leaves the register.
      __asm__ volatile("" : "+r"(k));
    }
  }
  benchmark::DoNotOptimize(k);
  SetCounters(bench, run);
}

// The three sets a running simulation typically shows, and typed non-dyadic couplings, where the
// running sum checks each addition's rounding error. Each block is followed by its limit.
struct Configuration {
  const char* name;
  const char* t;
  const char* h;
  const char* j2;
  const char* j1;
};
constexpr Configuration kConfigurations[] = {
    {"T=2.269", "2.269", "0", "0", "1"},
    {"T=5", "5", "0", "0", "1"},
    {"T=2,h=0.5,J2=-0.25", "2", "0.5", "-0.25", "1"},
    {"T=1,J1=0.7,J2=-0.2", "1", "0", "-0.2", "0.7"},
};

const bool kRegistered = [] {
  for (const Configuration& c : kConfigurations) {
    for (const auto& [prefix, function] : {std::pair{"BM_MetropolisBlock/", &BM_MetropolisBlock},
                                           std::pair{"BM_GeneratorLimit/", &BM_GeneratorLimit}}) {
      benchmark::RegisterBenchmark((std::string(prefix) + c.name).c_str(), function, c.t, c.h, c.j2,
                                   c.j1)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return true;
}();

}  // namespace
