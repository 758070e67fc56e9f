// Rounding of reals to integers as the drawing code needs it.
#pragma once

#include <cstdint>

#include "base/extended.h"

namespace vellora {

// Nearest integer, a half going to the even neighbour (pixel positions); the most negative
// integer beyond the 64-bit range.
inline std::int64_t RoundHalfEven(const Extended& value) {
  return value.Nearest().TruncToInt64();
}

// Nearest integer, a half going away from zero (the chart's percent margins).
inline std::int64_t RoundHalfAway(const Extended& value) {
  const Extended half = 0.5;
  return (value < 0 ? -(half - value).Floor() : (value + half).Floor()).TruncToInt64();
}

// The device pixels that a length of `logical` pixels covers on a screen with `ratio` device
// pixels per logical pixel: round(logical * ratio), halves to even. A ratio of 1 keeps the length.
inline int DevicePixels(double logical, double ratio) {
  return static_cast<int>(RoundHalfEven(Extended(logical) * ratio));
}

}  // namespace vellora
