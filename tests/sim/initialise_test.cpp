#include "sim/initialise.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "sim/magnetisation.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

using testing::FixedTexts;

TEST(Initialise, FromSeedZeroFillsInTheDrawOrder) {
  const FixedTexts texts("5.00", "0", "1", "0");
  RandomSource random(testing::ZeroSeed);
  SimulationState state;
  state.stepCount = 777;
  Initialise(state, texts, random);

  EXPECT_EQ(state.stepCount, 0);
  EXPECT_EQ(state.blockLength, 100000);
  EXPECT_EQ(state.blocksPerSweep, 1);
  EXPECT_EQ(state.parameters.T, 5.0);
  EXPECT_EQ(state.parameters.h, 0.0);
  EXPECT_EQ(state.parameters.J1, 1.0);
  EXPECT_EQ(state.parameters.J2, 0.0);

  const int firstColumn[] = {-1, -1, 1, -1, -1, 1};
  for (int j = 1; j <= 6; ++j) EXPECT_EQ(state.lattice.At(1, j), firstColumn[j - 1]) << j;
  EXPECT_EQ(LatticeSum(state.lattice), -Extended(24));
  for (const std::int32_t spin : state.lattice.spins) ASSERT_TRUE(spin == 1 || spin == -1);
  // Exactly one draw per site: 10,000 steps from the seed.
  EXPECT_EQ(testing::DrawsBetween(0, random.State()), 10000);

  // The 101st draw goes to (2, 1): redo the fill by hand and compare a few sites.
  RandomSource manual;
  for (int n = 1; n <= 101; ++n) manual.NextState();
  EXPECT_EQ(state.lattice.At(2, 1), RandomSource::SpinValue(manual.State()));
}

TEST(Initialise, SameSeedSameLatticeWhateverTheParameters) {
  RandomSource first(testing::ZeroSeed), second(testing::ZeroSeed);
  SimulationState a, b;
  Initialise(a, FixedTexts("5", "0", "1", "0"), first);
  Initialise(b, FixedTexts("0.1", "-3", "7", "2.5"), second);
  EXPECT_EQ(a.lattice.spins, b.lattice.spins);
  EXPECT_EQ(LatticeSum(a.lattice), -Extended(24));
}

struct BadParameter {
  FixedTexts texts;
  bool conversionError;  // else overflow
  ModelParameters expected;
};

TEST(Initialise, AParameterErrorStopsBeforeSeedingAndFill) {
  const BadParameter cases[] = {
      {FixedTexts("abc", "0", "1", "0"), true, {9, 9, 9, 9}},
      {FixedTexts("2", "1,5", "1", "0"), true, {2, 9, 9, 9}},
      {FixedTexts("2", "0.5", "1e400", "0"), false, {2, 9, 9, 0.5}},
      {FixedTexts("2", "0.5", "3", "-1e309"), false, {2, 3, 9, 0.5}},
  };
  for (const auto& c : cases) {
    RandomSource random(testing::ZeroSeed);
    random.SetState(4242);
    SimulationState state;
    state.parameters = {9, 9, 9, 9};
    state.stepCount = 55;
    state.lattice.At(3, 3) = 7;
    if (c.conversionError) {
      EXPECT_THROW(Initialise(state, c.texts, random), EConvertError);
    } else {
      EXPECT_THROW(Initialise(state, c.texts, random), EOverflow);
    }
    EXPECT_EQ(state.stepCount, 0);
    EXPECT_EQ(state.parameters.T, c.expected.T);
    EXPECT_EQ(state.parameters.J1, c.expected.J1);
    EXPECT_EQ(state.parameters.J2, c.expected.J2);
    EXPECT_EQ(state.parameters.h, c.expected.h);
    EXPECT_EQ(random.State(), 4242u) << "no seeding, no draw";
    EXPECT_EQ(state.lattice.At(3, 3), 7) << "no fill";
  }
}

TEST(Initialise, ValuesBelowTheDoubleRangeAreStoredAsZero) {
  RandomSource random(testing::ZeroSeed);
  SimulationState state;
  Initialise(state, FixedTexts("1e-400", "-1e-400", "1e-310", "0"), random);
  EXPECT_EQ(state.parameters.T, 0.0);
  EXPECT_EQ(state.parameters.h, 0.0);
  EXPECT_GT(state.parameters.J1, 0.0);  // a subnormal
}

}  // namespace
}  // namespace vellora::sim
