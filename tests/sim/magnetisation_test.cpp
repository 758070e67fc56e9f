#include "sim/magnetisation.h"

#include <gtest/gtest.h>

namespace vellora::sim {
namespace {

TEST(LatticeSum, CountsUpSpinsTwiceMinusTheSites) {
  SpinLattice allUp, allDown, checkerboard, oneDown;
  for (int i = 1; i <= kLatticeSide; ++i) {
    for (int j = 1; j <= kLatticeSide; ++j) {
      allUp.At(i, j) = 1;
      allDown.At(i, j) = -1;
      checkerboard.At(i, j) = (i + j) % 2 == 0 ? 1 : -1;
      oneDown.At(i, j) = 1;
    }
  }
  oneDown.At(37, 99) = -1;
  EXPECT_EQ(LatticeSum(allUp), 10000.0L);
  EXPECT_EQ(LatticeSum(allDown), -10000.0L);
  EXPECT_EQ(LatticeSum(checkerboard), 0.0L);
  EXPECT_EQ(LatticeSum(oneDown), 9998.0L);
  EXPECT_EQ(LatticeSum(oneDown) / 10000, 0.9998L);
}

}  // namespace
}  // namespace vellora::sim
