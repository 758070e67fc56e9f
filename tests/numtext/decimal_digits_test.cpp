#include "numtext/decimal_digits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace vellora::numtext {
namespace {

// Builds an 80-bit value from its fields, for the encodings arithmetic does not produce.
long double FromBits(bool sign, std::uint16_t biasedExponent, std::uint64_t significand) {
  long double value = 0.0L;
  unsigned char bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &significand, sizeof significand);
  const std::uint16_t top = static_cast<std::uint16_t>((sign ? 0x8000 : 0) | biasedExponent);
  std::memcpy(bytes + sizeof significand, &top, sizeof top);
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

struct DigitsCase {
  long double value;
  int precision;
  int decimals;
  const char* digits;
  int exponent;
  bool negative;
};

TEST(ToDecimalDigits, CutsAndRoundsTheDecimalForm) {
  const DigitsCase cases[] = {
      {1.0L, 18, kUnlimitedDecimals, "1", 1, false},
      {-1.0L, 18, kUnlimitedDecimals, "1", 1, true},
      {15.0L, 18, kUnlimitedDecimals, "15", 2, false},  // estimate one low: divided by ten
      {0.1L, 18, kUnlimitedDecimals, "1", 0, false},
      {0.1L, 18, 20, "1", 0, false},
      {1.0L / 3.0L, 18, kUnlimitedDecimals, "333333333333333333", 0, false},
      {2.0L / 3.0L, 18, kUnlimitedDecimals, "666666666666666667", 0, false},
      {0.125L, 8, 2, "13", 0, false},
      {-0.125L, 8, 2, "13", 0, true},
      {99999999.996L, 8, 2, "1", 9, false},  // carry out of the first digit
      {0.0004L, 18, 3, "", -3, false},       // zero keeping its exponent
      {-0.0004L, 18, 3, "", -3, false},
      {0.0005L, 18, 3, "1", -2, false},
      {0.00004L, 18, 3, "", 0, false},  // cut before the first digit
      {1234.5L, 2, kUnlimitedDecimals, "12", 4, false},
      {1e4000L, 18, kUnlimitedDecimals, "1", 4001, false},
      {std::numeric_limits<long double>::min(), 4, kUnlimitedDecimals, "3362", -4931, false},
      {std::numeric_limits<long double>::max(), 4, kUnlimitedDecimals, "119", 4933, false},
  };
  for (const DigitsCase& c : cases) {
    const DecimalDigits r = ToDecimalDigits(c.value, c.precision, c.decimals);
    EXPECT_STREQ(r.digits, c.digits) << static_cast<double>(c.value);
    EXPECT_EQ(r.exponent, c.exponent) << static_cast<double>(c.value);
    EXPECT_EQ(r.negative, c.negative) << static_cast<double>(c.value);
  }
}

TEST(ToDecimalDigits, EncodesZerosDenormalsAndNonFiniteValues) {
  struct EncodingCase {
    long double value;
    int exponent;
    bool negative;
  };
  const std::uint64_t integerBit = std::uint64_t{1} << 63;
  const EncodingCase cases[] = {
      {0.0L, 0, false},
      {-0.0L, 0, false},
      {std::numeric_limits<long double>::denorm_min(), 0, false},
      {-std::numeric_limits<long double>::denorm_min(), 0, false},
      {FromBits(false, 0, integerBit), 0, false},  // pseudo-denormal
      {std::numeric_limits<long double>::infinity(), kInfinityExponent, false},
      {-std::numeric_limits<long double>::infinity(), kInfinityExponent, true},
      {FromBits(true, 32767, 0), kInfinityExponent, true},    // integer bit clear
      {FromBits(false, 32767, 5), kInfinityExponent, false},  // integer bit clear
      {std::numeric_limits<long double>::quiet_NaN(), kNanExponent, false},
      {-std::numeric_limits<long double>::quiet_NaN(), kNanExponent, false},
      {FromBits(false, 32767, integerBit | 1), kNanExponent, false},  // signalling NaN
      {FromBits(false, 16383, 1), kNanExponent, false},               // unnormal
  };
  for (const EncodingCase& c : cases) {
    const DecimalDigits r = ToDecimalDigits(c.value, 18, kUnlimitedDecimals);
    EXPECT_STREQ(r.digits, "");
    EXPECT_EQ(r.exponent, c.exponent);
    EXPECT_EQ(r.negative, c.negative);
  }
}

// Every power of two keeps 18 significant digits: the first digit is never "0", even where the
// exponent estimate comes out one too high.
TEST(ToDecimalDigits, FirstDigitIsNeverZero) {
  for (int e = -16382; e <= 16383; ++e) {
    const long double value = std::ldexp(1.0L, e);
    const DecimalDigits r = ToDecimalDigits(value, 18, kUnlimitedDecimals);
    ASSERT_NE(r.digits[0], '0') << e;
    ASSERT_NE(r.digits[0], '\0') << e;
    const long double nextDown = std::nextafter(value, 0.0L);
    ASSERT_NE(ToDecimalDigits(nextDown, 18, kUnlimitedDecimals).digits[0], '0') << e;
  }
}

}  // namespace
}  // namespace vellora::numtext
