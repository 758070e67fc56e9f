#include "base/rounding.h"

#include <gtest/gtest.h>

#include "base/extended.h"
#include "extended_literal.h"

namespace vellora {
namespace {

using vellora::testing::Lit;

struct RoundingCase {
  Extended value;
  std::int64_t halfEven;
  std::int64_t halfAway;
};

TEST(Rounding, HalvesGoToEvenOrAwayFromZero) {
  const RoundingCase cases[] = {
      {Lit("0.5"), 0, 1},
      {Lit("1.5"), 2, 2},
      {Lit("2.5"), 2, 3},
      {-Lit("0.5"), 0, -1},
      {-Lit("1.5"), -2, -2},
      {-Lit("2.5"), -2, -3},
      {Lit("2.4999"), 2, 2},
      {Lit("2.5001"), 3, 3},
      {Extended(0), 0, 0},
      {Lit("6.15") * 3, 18, 18},
      {Lit("30.75"), 31, 31},
      {-Extended(7), -7, -7},
      {Lit("1e15") + Lit("0.5"), 1000000000000000, 1000000000000001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.value), c.halfEven) << static_cast<double>(c.value);
    EXPECT_EQ(RoundHalfAway(c.value), c.halfAway) << static_cast<double>(c.value);
  }
}

TEST(Rounding, DevicePixelsOfALogicalLength) {
  const struct {
    double logical;
    double ratio;
    int device;
  } cases[] = {
      {500, 1, 500},   {500, 2, 1000},   {500, 1.5, 750},  {305, 1.5, 458},  // 457.5: to even
      {169, 1.5, 254}, {500, 1.25, 625}, {305, 1.25, 381}, {169, 1.25, 211},
      {5, 0.5, 2},     {7, 0.5, 4},      {16, 1.5, 24},    {60.5, 2, 121},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DevicePixels(c.logical, c.ratio), c.device) << c.logical << " x " << c.ratio;
  }
}

TEST(ToDoubleChecked, OverflowIsAnErrorNotAnInfinity) {
  EXPECT_EQ(ToDoubleChecked(Lit("1.5")), 1.5);
  EXPECT_EQ(ToDoubleChecked(Lit("1e-400")), 0.0);  // below the range: zero, no error
  EXPECT_THROW(ToDoubleChecked(Lit("1e309")), EOverflow);
  EXPECT_THROW(ToDoubleChecked(-Lit("1e4931")), EOverflow);
  // Just above the largest double but rounding down to it is not an overflow.
  EXPECT_EQ(ToDoubleChecked(Extended(1.7976931348623157e308) * (1 + Extended(0x1p-60))),
            1.7976931348623157e308);
  try {
    ToDoubleChecked(Lit("1e400"));
  } catch (const EOverflow& e) {
    EXPECT_STREQ(e.what(), "Floating point overflow");
  }
}

}  // namespace
}  // namespace vellora
