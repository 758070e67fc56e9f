#include "numtext/power_of_ten.h"

#include <cassert>
#include <cstdlib>

namespace vellora::numtext {
namespace {
// Each entry is a literal that the compiler rounds correctly to the 64-bit significand.
constexpr long double kUnits[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L,
    1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L,
};

constexpr long double kThirtyTwos[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L,
};

constexpr long double kFiveTwelves[10] = {
    1e0L, 1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L,
};

}  // namespace

long double ScaleByPowerOfTen(long double value, int exponent) {
  const int n = std::abs(exponent);
  assert(n < 5120);
  const long double parts[3] = {kUnits[n % 32], kThirtyTwos[(n / 32) % 16], kFiveTwelves[n / 512]};
  for (const long double part : parts) {
    if (part == 1.0L) continue;
    value = exponent > 0 ? value * part : value / part;
  }
  return value;
}

}  // namespace vellora::numtext
