// The seed in a web page. The page's monotonic clock starts at 0 with the page and moves in
// steps of a tenth of a millisecond, so its readings are just load times, alike for every pupil.
// The wall clock in microseconds (the page's time origin plus its high-resolution time) differs
// between pupils and loads in its low 32 bits.
#include <emscripten/emscripten.h>

#include <cmath>

#include "sim/random_source.h"

namespace vellora::sim {
namespace {

// Milliseconds since 1970 with a fractional part, or 0 where the browser has no such clock.
// clang-format off
EM_JS(double, WallClockMilliseconds, (), {
  if (typeof performance !== "undefined" && performance.timeOrigin > 0) {
    return performance.timeOrigin + performance.now();
  }
  return Date.now();
});
// clang-format on

}  // namespace

std::uint32_t ClockSeed() {
  const double microseconds = std::floor(WallClockMilliseconds() * 1000.0);
  if (!(microseconds >= 0.0 && microseconds < 18446744073709551616.0)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(microseconds));
}

}  // namespace vellora::sim
