#include "sim/magnetisation.h"
#include "extended_literal.h"

#include <gtest/gtest.h>

namespace vellora::sim {
namespace {

using vellora::testing::Lit;

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
  EXPECT_EQ(LatticeSum(allUp), Extended(10000));
  EXPECT_EQ(LatticeSum(allDown), -Extended(10000));
  EXPECT_EQ(LatticeSum(checkerboard), Extended(0));
  EXPECT_EQ(LatticeSum(oneDown), Extended(9998));
  EXPECT_EQ(LatticeSum(oneDown) / 10000, Lit("0.9998"));
}

}  // namespace
}  // namespace vellora::sim
