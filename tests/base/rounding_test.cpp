#include "base/rounding.h"

#include <gtest/gtest.h>

#include "base/extended.h"

namespace vellora {
namespace {

struct RoundingCase {
  long double value;
  std::int64_t halfEven;
  std::int64_t halfAway;
};

TEST(Rounding, HalvesGoToEvenOrAwayFromZero) {
  const RoundingCase cases[] = {
      {0.5L, 0, 1},
      {1.5L, 2, 2},
      {2.5L, 2, 3},
      {-0.5L, 0, -1},
      {-1.5L, -2, -2},
      {-2.5L, -2, -3},
      {2.4999L, 2, 2},
      {2.5001L, 3, 3},
      {0.0L, 0, 0},
      {6.15L * 3, 18, 18},
      {30.75L, 31, 31},
      {-7.0L, -7, -7},
      {1e15L + 0.5L, 1000000000000000, 1000000000000001},
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
  EXPECT_EQ(ToDoubleChecked(1.5L), 1.5);
  EXPECT_EQ(ToDoubleChecked(1e-400L), 0.0);  // below the range: zero, no error
  EXPECT_THROW(ToDoubleChecked(1e309L), EOverflow);
  EXPECT_THROW(ToDoubleChecked(-1e4931L), EOverflow);
  // Just above the largest double but rounding down to it is not an overflow.
  EXPECT_EQ(ToDoubleChecked(static_cast<long double>(1.7976931348623157e308) * (1 + 0x1p-60L)),
            1.7976931348623157e308);
  try {
    ToDoubleChecked(1e400L);
  } catch (const EOverflow& e) {
    EXPECT_STREQ(e.what(), "Floating point overflow");
  }
}

}  // namespace
}  // namespace vellora
