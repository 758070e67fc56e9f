#include "numtext/decimal_digits.h"
#include "extended_literal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vellora::numtext {
namespace {

using vellora::testing::Lit;

// Builds an 80-bit value from its fields, for the encodings arithmetic does not produce.
Extended FromBits(bool sign, std::uint16_t biasedExponent, std::uint64_t significand) {
  return Extended::FromBits(significand,
                            static_cast<std::uint16_t>((sign ? 0x8000 : 0) | biasedExponent));
}

struct DigitsCase {
  Extended value;
  int precision;
  int decimals;
  const char* digits;
  int exponent;
  bool negative;
};

TEST(ToDecimalDigits, CutsAndRoundsTheDecimalForm) {
  const DigitsCase cases[] = {
      {Extended(1), 18, kUnlimitedDecimals, "1", 1, false},
      {-Extended(1), 18, kUnlimitedDecimals, "1", 1, true},
      {Extended(15), 18, kUnlimitedDecimals, "15", 2, false},  // estimate one low: divided by ten
      {Lit("0.1"), 18, kUnlimitedDecimals, "1", 0, false},
      {Lit("0.1"), 18, 20, "1", 0, false},
      {Extended(1) / Extended(3), 18, kUnlimitedDecimals, "333333333333333333", 0, false},
      {Extended(2) / Extended(3), 18, kUnlimitedDecimals, "666666666666666667", 0, false},
      {Lit("0.125"), 8, 2, "13", 0, false},
      {-Lit("0.125"), 8, 2, "13", 0, true},
      {Lit("99999999.996"), 8, 2, "1", 9, false},  // carry out of the first digit
      {Lit("0.0004"), 18, 3, "", -3, false},       // zero keeping its exponent
      {-Lit("0.0004"), 18, 3, "", -3, false},
      {Lit("0.0005"), 18, 3, "1", -2, false},
      {Lit("0.00004"), 18, 3, "", 0, false},  // cut before the first digit
      {Lit("1234.5"), 2, kUnlimitedDecimals, "12", 4, false},
      {Lit("1e4000"), 18, kUnlimitedDecimals, "1", 4001, false},
      {FromBits(false, 1, std::uint64_t{1} << 63), 4, kUnlimitedDecimals, "3362", -4931, false},
      {FromBits(false, 32766, ~std::uint64_t{0}), 4, kUnlimitedDecimals, "119", 4933, false},
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
    Extended value;
    int exponent;
    bool negative;
  };
  const std::uint64_t integerBit = std::uint64_t{1} << 63;
  const EncodingCase cases[] = {
      {Extended(0), 0, false},
      {-Extended(0), 0, false},
      {FromBits(false, 0, 1), 0, false},  // the smallest subnormal
      {FromBits(true, 0, 1), 0, false},
      {FromBits(false, 0, integerBit), 0, false},  // pseudo-denormal
      {Extended::Infinity(), kInfinityExponent, false},
      {-Extended::Infinity(), kInfinityExponent, true},
      {FromBits(true, 32767, 0), kInfinityExponent, true},                    // integer bit clear
      {FromBits(false, 32767, 5), kInfinityExponent, false},                  // integer bit clear
      {FromBits(false, 32767, std::uint64_t{3} << 62), kNanExponent, false},  // quiet NaN
      {FromBits(true, 32767, std::uint64_t{3} << 62), kNanExponent, false},
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
    const auto biased = static_cast<std::uint16_t>(e + 16383);
    const Extended value = FromBits(false, biased, std::uint64_t{1} << 63);
    const DecimalDigits r = ToDecimalDigits(value, 18, kUnlimitedDecimals);
    ASSERT_NE(r.digits[0], '0') << e;
    ASSERT_NE(r.digits[0], '\0') << e;
    // The next value down: all ones one binade lower, or the largest subnormal.
    const Extended nextDown = e == -16382 ? FromBits(false, 0, ~std::uint64_t{0} >> 1)
                                          : FromBits(false, biased - 1, ~std::uint64_t{0});
    ASSERT_NE(ToDecimalDigits(nextDown, 18, kUnlimitedDecimals).digits[0], '0') << e;
  }
}

}  // namespace
}  // namespace vellora::numtext
