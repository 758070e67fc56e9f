// The decimal form of an extended real: the digit generator behind the number read-outs and
// the chart labels.
#pragma once

#include <cstdint>

#include "base/extended.h"

namespace vellora::numtext {

// Exponent values that mark the non-finite values (their digits are empty).
inline constexpr std::int16_t kInfinityExponent = 32767;
inline constexpr std::int16_t kNanExponent = -32768;
// Passed as decimals when only the precision limits the digits.
inline constexpr int kUnlimitedDecimals = 9999;
inline constexpr int kMaxDecimalDigits = 18;

// The value is 0.d1d2d3... x 10^exponent.
struct DecimalDigits {
  std::int16_t exponent = 0;
  // Never set when no digit is left.
  bool negative = false;
  // Significant digits without trailing zeros, NUL-terminated; empty means zero.
  char digits[kMaxDecimalDigits + 1] = {};

  bool IsZero() const { return digits[0] == '\0'; }
  bool IsInfinity() const { return exponent == kInfinityExponent; }
  bool IsNan() const { return exponent == kNanExponent; }
};

// The decimal digits of `value`, cut after at most `precision` significant digits and at most
// `decimals` digits after the decimal point, the cut rounding half away from zero on the
// 18-digit decimal form.
DecimalDigits ToDecimalDigits(const Extended& value, int precision, int decimals);

}  // namespace vellora::numtext
