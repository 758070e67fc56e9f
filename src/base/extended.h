// Extended precision and the checked narrowing to double.
#pragma once

#include <cmath>
#include <limits>

#include "base/errors.h"

namespace vellora {

// The simulation and the number conversions compute with a 64-bit significand: the x87
// 80-bit format that long double is on x86-64 with GCC and Clang.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended format with a 64-bit significand");
static_assert(std::numeric_limits<long double>::max_exponent == 16384);

using Extended = long double;

// Rounds an extended value to double (to nearest, ties to even). A finite value beyond the
// double range, or an infinity or NaN that slipped in, is a floating-point overflow rather
// than a silent infinity. Values below the double range become subnormal or zero.
inline double ToDoubleChecked(Extended value) {
  const double narrowed = static_cast<double>(value);
  if (!std::isfinite(narrowed)) throw EOverflow();
  return narrowed;
}

}  // namespace vellora
