// Scaling by powers of ten in extended precision, shared by parsing and formatting.
#pragma once

#include "base/extended.h"

namespace vellora::numtext {

// value x 10^exponent for exponent > 0, value / 10^-exponent for exponent < 0, for
// |exponent| < 5120. The power is taken apart into 10^(n mod 32), 10^(32 x ((n div 32) mod 16))
// and 10^(512 x (n div 512)), and the value is multiplied (or divided) by each in turn, every
// step rounded to the 64-bit significand.
Extended ScaleByPowerOfTen(Extended value, int exponent);

}  // namespace vellora::numtext
