#include <benchmark/benchmark.h>

#include <array>

#include "numtext/format.h"

namespace {

// Values like those the read-outs and axis labels meet: magnetisations and energies, axis
// steps, large and tiny magnitudes, negatives and zero.
constexpr std::array<long double, 16> kValues = {
    0.0L,   0.5L,     -1.0L,      0.125L, -0.005L,        1234567.891L,  12345678.9L, 2.27L,
    -1.85L, -0.0004L, 1234.5678L, 0.05L,  -4123456789.0L, 99999999.996L, 10.0L,       0.333L,
};

void BM_FloatToFixed(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vellora::numtext::FloatToFixed(kValues[i], 8, 2));
    i = (i + 1) % kValues.size();
  }
}
BENCHMARK(BM_FloatToFixed);

void BM_FloatToPattern(benchmark::State& state) {
  // Every value under both of the program's patterns.
  std::size_t i = 0;
  for (auto _ : state) {
    const char* pattern = i < kValues.size() ? "#,##0.###" : "#,##0.0##";
    benchmark::DoNotOptimize(
        vellora::numtext::FloatToPattern(pattern, kValues[i % kValues.size()]));
    i = (i + 1) % (2 * kValues.size());
  }
}
BENCHMARK(BM_FloatToPattern);

}  // namespace
