#include "numtext/decimal_digits.h"

#include <algorithm>
#include <cstring>

#include "base/rounding.h"
#include "numtext/power_of_ten.h"

namespace vellora::numtext {
namespace {

constexpr int kExponentBias = 16383;
constexpr std::uint16_t kMaxBiasedExponent = 32767;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::int64_t kTenToThe17 = 100'000'000'000'000'000;
constexpr std::int64_t kTenToThe18 = 1'000'000'000'000'000'000;

// Rounds |value| x 10^(18 - exponent) to an integer, ties to even.
std::int64_t ScaledInteger(const Extended& magnitude, int exponent) {
  return RoundHalfEven(ScaleByPowerOfTen(magnitude, kMaxDecimalDigits - exponent));
}

}  // namespace

DecimalDigits ToDecimalDigits(const Extended& value, int precision, int decimals) {
  DecimalDigits result;
  // Zero and every denormal.
  if (value.BiasedExponent() == 0) return result;
  if (value.BiasedExponent() == kMaxBiasedExponent) {
    if (value.Significand() == kIntegerBit || (value.Significand() & kIntegerBit) == 0) {
      result.exponent = kInfinityExponent;
      result.negative = value.SignBit();
    } else {
      result.exponent = kNanExponent;
    }
    return result;
  }

  // Estimate of the decimal exponent from the binary one: 19728 / 65536 is just below log10(2).
  // The shift of a negative product is arithmetic, rounding towards minus infinity.
  const int binaryExponent = static_cast<int>(value.BiasedExponent()) - kExponentBias;
  int exponent = ((binaryExponent * 19728) >> 16) + 1;

  if ((value.Significand() & kIntegerBit) == 0) {
    // An unnormal encoding (integer bit clear): the arithmetic refuses it as an operand, so
    // it has no digits to give.
    result.exponent = kNanExponent;
    return result;
  }
  const Extended magnitude = value.Abs();
  std::int64_t whole = ScaledInteger(magnitude, exponent);
  if (whole >= kTenToThe18) {
    // One digit too many: divide by ten, ties to even.
    std::int64_t quotient = whole / 10;
    const std::int64_t remainder = whole % 10;
    if (remainder > 5 || (remainder == 5 && (quotient & 1) != 0)) ++quotient;
    whole = quotient;
    ++exponent;
  } else if (whole < kTenToThe17) {
    // For some negative binary exponents the estimate is one too high, which would leave a
    // leading zero among the 18 digits: scale again with the lower exponent.
    --exponent;
    whole = ScaledInteger(magnitude, exponent);
  }

  char d[kMaxDecimalDigits + 1];
  for (int k = kMaxDecimalDigits - 1; k >= 0; --k) {
    d[k] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  }
  d[kMaxDecimalDigits] = '\0';

  int cut = exponent + decimals;
  if (cut < 0) return result;
  cut = std::min(cut, precision);
  int length = kMaxDecimalDigits;
  if (cut < kMaxDecimalDigits) {
    length = cut;
    if (d[cut] >= '5') {
      // Round up, half away from zero; a digit passing "9" ends the string.
      int k = cut - 1;
      while (k >= 0 && d[k] == '9') --k;
      if (k < 0) {
        d[0] = '1';
        length = 1;
        ++exponent;
      } else {
        ++d[k];
        length = k + 1;
      }
    }
  }
  while (length > 0 && d[length - 1] == '0') --length;

  std::memcpy(result.digits, d, static_cast<std::size_t>(length));
  result.digits[length] = '\0';
  // A zero left by the cut keeps its exponent, so a pattern still fills its decimals.
  result.exponent = static_cast<std::int16_t>(exponent);
  result.negative = length > 0 && value.SignBit();
  return result;
}

}  // namespace vellora::numtext
