// Rounding of reals to integers as the drawing code needs it.
#pragma once

#include <cmath>
#include <cstdint>

namespace vellora {

// Nearest integer, a half going to the even neighbour (pixel positions).
inline std::int64_t RoundHalfEven(long double value) {
  const long double lower = std::floor(value);
  const long double diff = value - lower;
  auto result = static_cast<std::int64_t>(lower);
  if (diff > 0.5L || (diff == 0.5L && (result & 1) != 0)) ++result;
  return result;
}

// Nearest integer, a half going away from zero (the chart's percent margins).
inline std::int64_t RoundHalfAway(long double value) {
  return static_cast<std::int64_t>(value < 0 ? -std::floor(-value + 0.5L)
                                             : std::floor(value + 0.5L));
}

// The device pixels that a length of `logical` pixels covers on a screen with `ratio` device
// pixels per logical pixel: round(logical * ratio), halves to even. A ratio of 1 keeps the length.
inline int DevicePixels(double logical, double ratio) {
  return static_cast<int>(RoundHalfEven(static_cast<long double>(logical) * ratio));
}

}  // namespace vellora
