#include "base/extended.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace vellora {
namespace {

constexpr std::uint64_t kOne = std::uint64_t{1} << 63;
constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};

Extended Bits(std::uint64_t significand, std::uint16_t signExponent) {
  return Extended::FromBits(significand, signExponent);
}

std::string Show(const Extended& x) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.SignExponent(),
                static_cast<unsigned long long>(x.Significand()));
  return text;
}

// Results worked out by hand: the edges of the range, signed zeros, ties and the faults that
// give an infinity or a NaN.
TEST(Extended, ArithmeticAtTheEdges) {
  const Extended one = 1;
  const Extended smallest = Bits(1, 0);  // 2^-16445
  const Extended largestSubnormal = Bits(kOne - 1, 0);
  const Extended smallestNormal = Bits(kOne, 1);  // 2^-16382
  const Extended largest = Bits(kAllOnes, 0x7FFE);
  const Extended inf = Extended::Infinity();
  const Extended zero = 0;
  const Extended negativeZero = -zero;
  const struct {
    const char* name;
    Extended got;
    Extended expected;
  } cases[] = {
      {"1 + 2^-64 (a tie, to even)", one + Extended(0x1p-64), one},
      {"1 + 3 x 2^-64 (a tie, to even)", one + Extended(0x3p-64), Bits(kOne | 2, 0x3FFF)},
      {"1 - 2^-65 (a tie below one)", one - Extended(0x1p-65), one},
      {"1 - 2^-64 (exact)", one - Extended(0x1p-64), Bits(kAllOnes, 0x3FFE)},
      {"2^64 + 1 (a tie)", Extended(0x1p64) + 1, Extended(0x1p64)},
      {"largest subnormal + smallest", largestSubnormal + smallest, smallestNormal},
      {"smallest normal - smallest", smallestNormal - smallest, largestSubnormal},
      {"smallest normal / 2", smallestNormal / 2, Bits(kOne >> 1, 0)},
      {"smallest / 2 (a tie, to zero)", smallest / 2, zero},
      {"3 x smallest / 2 (a tie, to even)", smallest * 3 / 2, Bits(2, 0)},
      {"smallest x 0.75", smallest * Extended(0.75), smallest},
      {"largest x 2", largest * 2, inf},
      {"largest + largest", largest + largest, inf},
      {"-largest - largest", -largest - largest, -inf},
      {"1 / 3", one / 3, Bits(0xAAAAAAAAAAAAAAABu, 0x3FFD)},
      {"2 / 3", Extended(2) / 3, Bits(0xAAAAAAAAAAAAAAABu, 0x3FFE)},
      {"(2^64 - 1) x (2^64 - 1)", Extended(kAllOnes) * Extended(kAllOnes),
       Bits(kAllOnes - 1, 0x3FFF + 127)},
      {"x - x", Extended(5) - Extended(5), zero},
      {"-0 + -0", negativeZero + negativeZero, negativeZero},
      {"0 + -0", zero + negativeZero, zero},
      {"-0 x 5", negativeZero * 5, negativeZero},
      {"1 / 0", one / zero, inf},
      {"1 / -0", one / negativeZero, -inf},
      {"-1 / inf", -one / inf, negativeZero},
      {"inf + 1", inf + one, inf},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(c.got.SameBits(c.expected))
        << c.name << ": " << Show(c.got) << ", expected " << Show(c.expected);
  }
  // Invalid operations give a NaN; refused encodings (integer bit clear) act as NaNs.
  const Extended unnormal = Bits(0x4000000000000000u, 0x3FFF);
  // The same operand on both sides is the point of the first cases.
  const Extended nans[] = {
      inf - inf,    // NOLINT(misc-redundant-expression)
      zero / zero,  // NOLINT(misc-redundant-expression)
      inf / inf,    // NOLINT(misc-redundant-expression)
      zero * inf,  unnormal + one, Bits(0, 0x7FFF) * one,
  };
  for (const Extended& nan : nans) {
    EXPECT_TRUE(nan.IsNan()) << Show(nan);
  }
}

TEST(Extended, ComparisonsAndClasses) {
  const Extended nan = Extended::DefaultNan();
  EXPECT_TRUE(Extended(0) == -Extended(0));
  EXPECT_FALSE(nan == nan);
  EXPECT_FALSE(nan < 1 || nan > 1 || nan <= 1 || nan >= 1);
  EXPECT_TRUE(nan != nan);
  EXPECT_LT(Bits(kOne - 1, 0), Bits(kOne, 1));  // largest subnormal below smallest normal
  EXPECT_LT(-Extended::Infinity(), Bits(kAllOnes, 0xFFFE));
  EXPECT_LT(Extended(-2), Extended(-1));
  EXPECT_TRUE(Bits(kOne, 0).IsFinite());  // an integer bit with a zero exponent: 2^-16382
  EXPECT_EQ(Bits(kOne, 0), Bits(kOne, 1));
  EXPECT_TRUE(Bits(kOne | 5, 0x7FFF).IsNan());
  EXPECT_TRUE(Bits(kOne, 0xFFFF).IsInfinite());
}

TEST(Extended, ConversionsRoundToNearestEven) {
  const struct {
    Extended value;
    double expected;
  } toDouble[] = {
      {Extended(1) + Extended(0x1p-53), 1.0},            // a tie, to even
      {Extended(1) + Extended(0x3p-53), 1.0 + 0x1p-51},  // a tie, to even
      {Extended(1) + Extended(0x1p-53) + Extended(0x1p-63), 1.0 + 0x1p-52},
      {Extended(1).Scale(-1075), 0.0},                              // half the smallest: to zero
      {Extended(3).Scale(-1076), 0x1p-1074},                        // 0.75 of it
      {Extended(3).Scale(-1075), 0x2p-1074},                        // 1.5 of it: to even
      {Extended(0x1p-1022) - Extended(1).Scale(-1076), 0x1p-1022},  // rounds up to the normal
      {Bits(kAllOnes, 0x3FFF + 1023), std::numeric_limits<double>::infinity()},
      {Bits(0xFFFFFFFFFFFFFBFFu, 0x3FFF + 1023), 0x1.fffffffffffffp1023},
      {-Extended(0.1), -0.1},
  };
  for (const auto& c : toDouble) {
    EXPECT_EQ(c.value.ToDouble(), c.expected) << Show(c.value);
  }
  EXPECT_TRUE(Extended(-0.0).SignBit());
  EXPECT_TRUE(Extended(0x1p-1074).SameBits(Bits(kOne, 0x3FFF - 1074)));
  EXPECT_TRUE(Extended(INT64_MIN).SameBits(Bits(kOne, 0xC03E)));
  EXPECT_TRUE(Extended(UINT64_MAX).SameBits(Bits(kAllOnes, 0x403E)));
  EXPECT_EQ((-Extended(7.9)).TruncToInt64(), -7);
  EXPECT_EQ(Extended(0x1p62).TruncToInt64(), std::int64_t{1} << 62);
  EXPECT_THROW(ToDoubleChecked(Extended::Infinity()), EOverflow);
}

TEST(Extended, IntegralValues) {
  const struct {
    double value;
    double trunc;
    double floor;
    double ceil;
    double nearest;
  } cases[] = {
      {0.5, 0, 0, 1, 0},
      {1.5, 1, 1, 2, 2},
      {2.5, 2, 2, 3, 2},
      {-0.5, -0.0, -1, -0.0, -0.0},
      {-2.5, -2, -3, -2, -2},
      {-0.7, -0.0, -1, -0.0, -1},
      {0.0, 0, 0, 0, 0},
      {1e-300, 0, 0, 1, 0},
      {-1e-300, -0.0, -1, -0.0, -0.0},
      {0x1p51 + 0.5, 0x1p51, 0x1p51, 0x1p51 + 1, 0x1p51},
      {1e300, 1e300, 1e300, 1e300, 1e300},
  };
  for (const auto& c : cases) {
    const Extended x = c.value;
    EXPECT_TRUE(x.Trunc().SameBits(c.trunc)) << c.value;
    EXPECT_TRUE(x.Floor().SameBits(c.floor)) << c.value;
    EXPECT_TRUE(x.Ceil().SameBits(c.ceil)) << c.value;
    EXPECT_TRUE(x.Nearest().SameBits(c.nearest)) << c.value;
  }
  // Halves just below 2^63, where the fraction is the last bit.
  const Extended almost = Bits(kAllOnes, 0x3FFF + 62);  // 2^63 - 1/2
  EXPECT_TRUE(almost.Nearest().SameBits(Extended(0x1p63)));
  EXPECT_TRUE(almost.Floor().SameBits(Extended(0x1p63) - 1));
  // Scaling: exact, or rounded once into the subnormals.
  EXPECT_TRUE(Extended(3).Scale(-16446).SameBits(Bits(2, 0)));  // 1.5 x 2^-16445: to even
  EXPECT_TRUE(Extended(1).Scale(16384).IsInfinite());
  EXPECT_TRUE(Bits(1, 0).Scale(16445).SameBits(Extended(1)));
}

// Correctly rounded values worked out with decimal arithmetic to 200 digits.
TEST(Extended, TwoToThePowerMinusOne) {
  const struct {
    Extended f;
    Extended expected;
  } cases[] = {
      {Extended(0.5), Bits(0xD413CCCFE7799211u, 0x3FFD)},   // sqrt(2) - 1
      {Extended(-0.5), Bits(0x95F619980C4336F7u, 0xBFFD)},  // 1 - 1 / sqrt(2), negated
      {Extended(0.25), Bits(0xC1BF828C6DC54B7Au, 0x3FFC)},
      {Extended(0x1p-64), Bits(0xB17217F7D1CF79ACu, 0x3FBE)},  // ln 2 x 2^-64
      {Extended(-0x1p-64), Bits(0xB17217F7D1CF79ACu, 0xBFBE)},
      {Bits(kOne, 1), Bits(0x58B90BFBE8E7BCD6u, 0)},  // into the subnormals
      {Bits(1, 0), Bits(1, 0)},                       // 0.69 of the smallest
      {Bits(3, 0), Bits(2, 0)},                       // 2.08 of it
      {-Extended(0), -Extended(0)},
  };
  for (const auto& c : cases) {
    const Extended got = TwoToThePowerMinusOne(c.f);
    EXPECT_TRUE(got.SameBits(c.expected))
        << Show(c.f) << ": " << Show(got) << ", expected " << Show(c.expected);
  }
}

}  // namespace
}  // namespace vellora
