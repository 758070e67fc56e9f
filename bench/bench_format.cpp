#include <benchmark/benchmark.h>

#include <array>

#include "extended_literal.h"
#include "numtext/format.h"
#include "numtext/parse.h"

namespace {

using vellora::Extended;
using vellora::testing::Lit;

// Values like those the read-outs and axis labels meet: magnetisations and energies, axis
// steps, large and tiny magnitudes, negatives and zero.
const std::array<vellora::Extended, 16> kValues = {
    Extended(0),
    Lit("0.5"),
    -Extended(1),
    Lit("0.125"),
    -Lit("0.005"),
    Lit("1234567.891"),
    Lit("12345678.9"),
    Lit("2.27"),
    -Lit("1.85"),
    -Lit("0.0004"),
    Lit("1234.5678"),
    Lit("0.05"),
    -Extended(4123456789LL),
    Lit("99999999.996"),
    Extended(10),
    Lit("0.333"),
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

void BM_ParseFloat(benchmark::State& state) {
  // Parameter texts as typed: short decimals, a long one, an exponent form.
  static const char* const kTexts[] = {"2.269", "0.5",      "-0.25", "1", "12345.678901234567891",
                                       "1e-3",  "0.000123", "100"};
  std::size_t i = 0;
  vellora::Extended value;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vellora::numtext::TryParseFloat(kTexts[i], value));
    i = (i + 1) % std::size(kTexts);
  }
}
BENCHMARK(BM_ParseFloat);

}  // namespace
