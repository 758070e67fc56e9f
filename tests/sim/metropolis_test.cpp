#include "sim/metropolis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "extended_literal.h"
#include "sim/initialise.h"
#include "sim/magnetisation.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

using vellora::testing::Lit;

using testing::FixedTexts;

// The block written out step by step, the way the model defines it: the oracle for the
// table-driven block. It counts what the fast block cannot report.
struct LiteralCounts {
  long draws = 0;
  long flips = 0;
  Extended elocSum = 0;
  std::vector<std::pair<int, int>> sites;  // of the first attempts
};

void LiteralBlock(SimulationState& state, RandomSource& random, LiteralCounts& counts) {
  const ModelParameters& p = state.parameters;
  auto wrap = [](int k) { return k < 1 ? kLatticeSide : (k > kLatticeSide ? 1 : k); };
  auto draw = [&] {
    ++counts.draws;
    return random.NextUniform();
  };
  state.energyEstimate = 0;
  for (int attempt = 0; attempt < state.blockLength; ++attempt) {
    const int i = static_cast<int>((draw() * 100).Floor().TruncToInt64()) + 1;
    const int j = static_cast<int>((draw() * 100).Floor().TruncToInt64()) + 1;
    if (counts.sites.size() < 8) counts.sites.emplace_back(i, j);
    SpinLattice& l = state.lattice;
    const int s = l.At(i, j);
    const int nn =
        l.At(wrap(i + 1), j) + l.At(wrap(i - 1), j) + l.At(i, wrap(j - 1)) + l.At(i, wrap(j + 1));
    const int nnn = l.At(wrap(i + 1), wrap(j - 1)) + l.At(wrap(i - 1), wrap(j - 1)) +
                    l.At(wrap(i + 1), wrap(j + 1)) + l.At(wrap(i - 1), wrap(j + 1));
    const Extended exact =
        ((-Extended(p.J1) * nn) * s - (Extended(nnn) * p.J2) * s) - Extended(s) * p.h;
    const double eloc = static_cast<double>(exact);
    if (std::isinf(eloc)) throw EOverflow();
    const double enew = -eloc;
    bool flip;
    if (enew < eloc) {
      flip = true;
    } else {
      const Extended dE = Extended(enew) - eloc;
      if (p.T == 0) {
        if (dE > 0) throw EZeroDivide();
        throw EInvalidOp();
      }
      const Extended w = ExpExtended(-dE / p.T);
      flip = draw() < w;
    }
    if (flip) {
      l.At(i, j) = -s;
      ++counts.flips;
    }
    // The running sum: added with a 64-bit significand, then rounded to double.
    const double sum = static_cast<double>(Extended(state.energyEstimate) + eloc);
    if (std::isinf(sum)) throw EOverflow();
    state.energyEstimate = sum;
    counts.elocSum += eloc;
  }
  state.stepCount += state.blockLength;
  state.energyEstimate =
      static_cast<double>(Extended(state.energyEstimate) / state.blockLength / 2);
}

SimulationState StartFromSeedZero(const FixedTexts& texts, RandomSource& random) {
  SimulationState state;
  Initialise(state, texts, random);
  return state;
}

struct ReferenceBlock {
  long draws;  // -1 where not known
  long flips;
  Extended elocSum;
  double energy;
  Extended latticeSum;
};

struct ReferenceRun {
  FixedTexts texts;
  ReferenceBlock blocks[2];
};

TEST(Metropolis, ReferenceRunsFromSeedZero) {
  const ReferenceRun runs[] = {
      {FixedTexts("5", "0", "1", "0"),
       {{281008, 70567, -78780, -0.3939, 182}, {-1, -1, -86096, -0.43048, -70}}},
      {FixedTexts("2", "0.5", "1", "-0.25"),
       {{-1, -1, -208119, -1.040595, 8272}, {-1, -1, -Lit("281848.5"), -1.4092425, 8572}}},
  };
  for (const auto& run : runs) {
    RandomSource literalRandom(testing::ZeroSeed), fastRandom(testing::ZeroSeed);
    SimulationState literal = StartFromSeedZero(run.texts, literalRandom);
    SimulationState fast = StartFromSeedZero(run.texts, fastRandom);
    ASSERT_EQ(LatticeSum(literal.lattice), -Extended(24));
    for (const ReferenceBlock& expected : run.blocks) {
      LiteralCounts counts;
      const std::uint32_t before = fastRandom.State();
      ReadParameters(literal.parameters, run.texts);
      LiteralBlock(literal, literalRandom, counts);
      RunSweep(fast, run.texts, fastRandom);

      if (expected.draws >= 0) {
        EXPECT_EQ(counts.draws, expected.draws);
      }
      if (expected.flips >= 0) {
        EXPECT_EQ(counts.flips, expected.flips);
      }
      EXPECT_EQ(counts.elocSum, expected.elocSum);
      EXPECT_EQ(literal.energyEstimate, expected.energy);
      EXPECT_EQ(LatticeSum(literal.lattice), expected.latticeSum);

      EXPECT_EQ(fast.energyEstimate, literal.energyEstimate);
      EXPECT_EQ(fast.lattice.spins, literal.lattice.spins);
      EXPECT_EQ(fastRandom.State(), literalRandom.State());
      EXPECT_EQ(testing::DrawsBetween(before, fastRandom.State()), counts.draws);
      EXPECT_EQ(fast.stepCount, literal.stepCount);
    }
    EXPECT_EQ(fast.stepCount, 200000);
  }
}

TEST(Metropolis, FirstAttemptsOfTheReferenceRun) {
  RandomSource random(testing::ZeroSeed);
  const FixedTexts texts("5", "0", "1", "0");
  SimulationState state = StartFromSeedZero(texts, random);
  const SpinLattice initial = state.lattice;
  state.blockLength = 5;
  LiteralCounts counts;
  LiteralBlock(state, random, counts);
  const std::vector<std::pair<int, int>> sites = {{32, 4}, {28, 35}, {47, 53}, {95, 28}, {82, 29}};
  EXPECT_EQ(counts.sites, sites);
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(state.lattice.At(sites[n].first, sites[n].second),
              -initial.At(sites[n].first, sites[n].second));
  }
  EXPECT_EQ(state.lattice.At(82, 29), initial.At(82, 29));

  // With the other parameter set, the fourth attempt at (95, 28) has s = -1 and Eloc = 0.5 and
  // flips without a third draw.
  RandomSource other(testing::ZeroSeed);
  const FixedTexts fieldTexts("2", "0.5", "1", "-0.25");
  SimulationState field = StartFromSeedZero(fieldTexts, other);
  field.blockLength = 3;
  LiteralCounts firstThree;
  LiteralBlock(field, other, firstThree);
  EXPECT_EQ(field.lattice.At(95, 28), -1);
  field.blockLength = 1;
  LiteralCounts fourth;
  LiteralBlock(field, other, fourth);
  EXPECT_EQ(fourth.sites.front(), std::make_pair(95, 28));
  EXPECT_EQ(fourth.elocSum, Lit("0.5"));
  EXPECT_EQ(fourth.draws, 2);
  EXPECT_EQ(field.lattice.At(95, 28), 1);
}

// Parameter sets where the table-driven block must agree with the literal one to the bit:
// non-dyadic couplings, fields, negative, tiny and huge temperatures.
TEST(Metropolis, FastBlockAgreesWithTheLiteralBlock) {
  const FixedTexts sets[] = {
      {"2.269", "0", "1", "0"},
      {"0.7", "-0.3", "0.1", "0.7"},
      {"3.3", "0.123456789", "-0.987654321", "0.333333333"},
      {"1e-300", "0", "1", "0"},
      {"-1", "0", "1", "0"},
      {"1e300", "0.1", "1", "1"},
      {"1.5", "1e-10", "1", "1e-17"},
      {"0.01", "0.2", "-1", "-0.5"},
      {"4", "1e20", "1e-20", "3"},
      {"7.77", "0", "0", "0"},
      // h = 2^-43: the widest spread of binary digits that plain double sums still add exactly.
      {"2", "1.136868377216160297393798828125e-13", "1", "0.5"},
  };
  std::vector<FixedTexts> all(std::begin(sets), std::end(sets));
  // Parameters as a user types them, with one or two decimals: their case energies share no
  // small power of two, so the running sum rounds, and through 64 bits now and then differently
  // from a plain double sum.
  for (const char* t : {"1", "2.5"}) {
    for (const char* h : {"0", "0.1", "-0.35"}) {
      for (const char* j1 : {"0.7", "1.3", "-0.45"}) {
        for (const char* j2 : {"-0.2", "0.15", "0.05"}) all.emplace_back(t, h, j1, j2);
      }
    }
  }
  for (std::size_t set = 0; set < all.size(); ++set) {
    const FixedTexts& texts = all[set];
    RandomSource literalRandom([] { return 0xC0FFEEu; }), fastRandom([] { return 0xC0FFEEu; });
    SimulationState literal = StartFromSeedZero(texts, literalRandom);
    SimulationState fast = StartFromSeedZero(texts, fastRandom);
    // The typed sets run shorter blocks: enough roundings, and the literal block is slow.
    if (set >= std::size(sets)) literal.blockLength = fast.blockLength = 20000;
    for (int block = 0; block < 3; ++block) {
      LiteralCounts counts;
      ReadParameters(literal.parameters, texts);
      LiteralBlock(literal, literalRandom, counts);
      RunSweep(fast, texts, fastRandom);
      ASSERT_EQ(fast.lattice.spins, literal.lattice.spins) << texts.Text(ParameterEdit::Edit1);
      ASSERT_EQ(fastRandom.State(), literalRandom.State());
      ASSERT_EQ(std::bit_cast<std::uint64_t>(fast.energyEstimate),
                std::bit_cast<std::uint64_t>(literal.energyEstimate))
          << texts.Text(ParameterEdit::Edit1) << " " << texts.Text(ParameterEdit::Edit2) << " "
          << texts.Text(ParameterEdit::Edit3) << " " << texts.Text(ParameterEdit::edJ2) << " block "
          << block;
    }
  }
}

SimulationState Uniform(int spin, const ModelParameters& p) {
  SimulationState state;
  state.lattice.spins.fill(spin);
  state.parameters = p;
  state.blockLength = kBlockLength;
  state.blocksPerSweep = 1;
  return state;
}

TEST(Metropolis, DeterministicCases) {
  // No couplings, no field: every Eloc is 0, every attempt flips after three draws.
  {
    SimulationState state = Uniform(1, {3, 0, 0, 0});
    RandomSource random;
    RunBlock(state, random);
    EXPECT_EQ(state.energyEstimate, 0.0);
    EXPECT_EQ(testing::DrawsBetween(0, random.State()), 300000);
  }
  // All up, J1 = 1, T = 1e-300: e^x underflows to 0, nothing flips, exactly -2.
  {
    SimulationState state = Uniform(1, {1e-300, 1, 0, 0});
    RandomSource random;
    RunBlock(state, random);
    EXPECT_EQ(state.energyEstimate, -2.0);
    EXPECT_EQ(LatticeSum(state.lattice), Extended(10000));
    EXPECT_EQ(state.stepCount, 100000);
    EXPECT_EQ(testing::DrawsBetween(0, random.State()), 300000);
  }
  // T < 0: every attempt flips.
  {
    SimulationState state = Uniform(1, {-1, 1, 0, 0});
    RandomSource literalRandom, fastRandom;
    SimulationState literal = state;
    state.blockLength = literal.blockLength = 1000;
    LiteralCounts counts;
    LiteralBlock(literal, literalRandom, counts);
    EXPECT_EQ(counts.flips, 1000);
    RunBlock(state, fastRandom);
    EXPECT_EQ(state.lattice.spins, literal.lattice.spins);
  }
}

TEST(Metropolis, UEqualToWDoesNotFlip) {
  // All up with T = 1e-300: w = 0. Arrange the third draw of the first attempt to be exactly 0.
  SimulationState state = Uniform(1, {1e-300, 1, 0, 0});
  state.blockLength = 1;
  RandomSource random;
  random.SetState(testing::StateBefore(testing::StateBefore(testing::StateBefore(0))));
  RunBlock(state, random);
  EXPECT_EQ(random.State(), 0u);
  EXPECT_EQ(LatticeSum(state.lattice), Extended(10000));
}

// Puts the first attempt of the block at site (i, j) by choosing the generator's state.
void AimFirstAttemptAt(RandomSource& random, int i, int j) {
  // States whose site index is m: from ceil((m - 1) 2^32 / 100) on.
  auto firstStateOf = [](int m) {
    return static_cast<std::uint32_t>(((std::uint64_t{static_cast<unsigned>(m - 1)} << 32) + 99) /
                                      100);
  };
  for (std::uint32_t k = firstStateOf(i);; ++k) {
    RandomSource probe;
    probe.SetState(k);
    if (RandomSource::SiteIndex(probe.NextState()) == j) {
      random.SetState(testing::StateBefore(k));
      return;
    }
  }
}

struct WrapCase {
  int i, j;
  std::vector<std::pair<int, int>> neighbours;
  ModelParameters parameters;  // J1 for nearest, J2 for diagonal neighbours
};

TEST(Metropolis, NeighboursWrapAroundTheTorus) {
  const WrapCase cases[] = {
      {1, 1, {{2, 1}, {100, 1}, {1, 100}, {1, 2}}, {1, 1, 0, 0}},
      {1, 1, {{2, 100}, {100, 100}, {2, 2}, {100, 2}}, {1, 0, 1, 0}},
      {100, 100, {{1, 100}, {99, 100}, {100, 99}, {100, 1}}, {1, 1, 0, 0}},
      {100, 100, {{1, 99}, {99, 99}, {1, 1}, {99, 1}}, {1, 0, 1, 0}},
  };
  for (const auto& c : cases) {
    // Site up, its four neighbours of the coupled kind down: Eloc = 4, the flip lowers the energy.
    SimulationState state = Uniform(1, c.parameters);
    for (const auto& [ni, nj] : c.neighbours) state.lattice.At(ni, nj) = -1;
    state.blockLength = 1;
    RandomSource random;
    AimFirstAttemptAt(random, c.i, c.j);
    RunBlock(state, random);
    EXPECT_EQ(state.energyEstimate, 2.0) << c.i << "," << c.j;
    EXPECT_EQ(state.lattice.At(c.i, c.j), -1);
  }
}

struct FaultCase {
  const char* name;
  ModelParameters parameters;
  int blockLength;
  std::function<void(SimulationState&, RandomSource&)> run;
  std::string message;
  long drawsBeforeError;
  double partialSum;
  double latticeSum = 10000;
};

TEST(Metropolis, ArithmeticFaultsAndWhatSurvivesThem) {
  auto block = [](SimulationState& s, RandomSource& r) { RunBlock(s, r); };
  const FaultCase cases[] = {
      // All up, J1 = 1: dE = 8 > 0 at the first attempt.
      {"T=0, dE>0", {0, 1, 0, 0}, 100, block, "Floating point division by zero", 2, 0},
      {"T=-0, dE>0", {-0.0, 1, 0, 0}, 100, block, "Floating point division by zero", 2, 0},
      {"T=0, dE=0", {0, 0, 0, 0}, 100, block, "Invalid floating point operation", 2, 0},
      {"Eloc beyond range", {1, 1e308, 0, 0}, 100, block, "Floating point overflow", 2, 0},
      // e^x beyond the extended range: x = 8 / 1e-4 = 80,000.
      {"e^x beyond range", {-1e-4, 1, 0, 0}, 100, block, "Floating point overflow", 2, 0},
      // Eloc = -1.6e308 each; w = 0, nothing flips; the second addition overflows.
      {"running sum", {1, 4e307, 0, 0}, 100, block, "Floating point overflow", 6, -1.6e308},
      // h = -1e308: Eloc = 1e308 at an up site, whose flip lowers the energy without a third
      // draw. The second addition overflows after its flip.
      {"sum at a flip", {1, 0, 0, -1e308}, 100, block, "Floating point overflow", 4, 1e308, 9996},
  };
  for (const auto& c : cases) {
    SimulationState state = Uniform(1, c.parameters);
    state.blockLength = c.blockLength;
    state.stepCount = 500000;
    RandomSource random;
    random.SetState(99);
    try {
      c.run(state, random);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
    }
    EXPECT_EQ(testing::DrawsBetween(99, random.State()), c.drawsBeforeError) << c.name;
    EXPECT_EQ(state.stepCount, 500000) << c.name;
    EXPECT_EQ(state.energyEstimate, c.partialSum) << c.name;
    EXPECT_EQ(LatticeSum(state.lattice), c.latticeSum) << c.name;

    // Nothing carries over: the next block with sane parameters runs normally.
    state.parameters = {2, 1, 0, 0};
    RunBlock(state, random);
    EXPECT_EQ(state.stepCount, 500000 + c.blockLength) << c.name;
  }
}

TEST(Metropolis, FlipsBeforeAFaultStay) {
  // Checkerboard with J1 = 1 and T = 0: the first attempts lower the energy and flip; an attempt
  // that would raise it fails. The cases that fail are only raised when an attempt meets them.
  SimulationState state;
  for (int i = 1; i <= kLatticeSide; ++i) {
    for (int j = 1; j <= kLatticeSide; ++j) state.lattice.At(i, j) = (i + j) % 2 == 0 ? 1 : -1;
  }
  state.parameters = {0, 1, 0, 0};
  state.blockLength = 1;
  RandomSource random;
  RunBlock(state, random);  // one attempt, Eloc = 4 > 0: flips, no fault
  EXPECT_EQ(state.stepCount, 1);
  EXPECT_EQ(state.energyEstimate, 2.0);

  SimulationState literal = state;
  RandomSource literalRandom = random;
  state.blockLength = literal.blockLength = kBlockLength;
  std::string fastMessage, literalMessage;
  try {
    RunBlock(state, random);
  } catch (const Exception& e) {
    fastMessage = e.Message();
  }
  LiteralCounts counts;
  try {
    LiteralBlock(literal, literalRandom, counts);
  } catch (const Exception& e) {
    literalMessage = e.Message();
  }
  EXPECT_FALSE(fastMessage.empty());
  EXPECT_EQ(fastMessage, literalMessage);
  EXPECT_GT(counts.flips, 0);
  EXPECT_EQ(state.lattice.spins, literal.lattice.spins);
  EXPECT_EQ(random.State(), literalRandom.State());
  EXPECT_EQ(state.stepCount, 1);
}

TEST(Metropolis, SweepReadsTheParametersFirst) {
  RandomSource random(testing::ZeroSeed);
  SimulationState state = StartFromSeedZero(FixedTexts("5", "0", "1", "0"), random);
  const SpinLattice before = state.lattice;
  const std::uint32_t stateBefore = random.State();
  EXPECT_THROW(RunSweep(state, FixedTexts("3", "0.25", "x", "0"), random), EConvertError);
  EXPECT_EQ(state.parameters.T, 3.0);
  EXPECT_EQ(state.parameters.h, 0.25);
  EXPECT_EQ(state.parameters.J1, 1.0);
  EXPECT_EQ(state.lattice.spins, before.spins);
  EXPECT_EQ(random.State(), stateBefore);
  EXPECT_EQ(state.stepCount, 0);
}

TEST(ExpExtended, AgreesWithTheExactValueAndReportsOverflow) {
  // e^x rounded to the 64-bit significand, worked out with an arbitrary-precision library.
  const struct {
    Extended x;
    Extended expected;
  } cases[] = {
      {Extended(1), Extended::FromBits(0xADF85458A2BB4A9Bu, 0x4000)},
      {-Extended(1), Extended::FromBits(0xBC5AB1B16779BE35u, 0x3FFD)},
      {Lit("0.5"), Extended::FromBits(0xD3094C70F034DE4Cu, 0x3FFF)},
      {-Extended(8) / Lit("2.269"), Extended::FromBits(0xF1149E33FFDC1A1Eu, 0x3FF9)},
      {-Extended(16) / 5, Extended::FromBits(0xA6F644CFFFDA3C78u, 0x3FFA)},
      {Extended(11356), Extended::FromBits(0x97AE01B5ED4A38FCu, 0x7FFE)},
      {-Extended(11000), Extended::FromBits(0xA3A8BC537A427C0Fu, 0x0201)},
      {Lit("1e-20"), Extended(1)},
  };
  for (const auto& c : cases) {
    // y = x log2(e) is rounded to 64 bits, so the relative error grows with |x|.
    const Extended relativeError = (ExpExtended(c.x) / c.expected - 1).Abs();
    EXPECT_LE(relativeError, Lit("2e-19") * std::max(Extended(1), c.x.Abs()))
        << static_cast<double>(c.x);
  }
  EXPECT_EQ(ExpExtended(Extended(0)), Extended(1));
  EXPECT_EQ(ExpExtended(-Lit("1e6")), Extended(0));
  EXPECT_EQ(ExpExtended(-Lit("8e300")), Extended(0));
  EXPECT_GT(ExpExtended(-Extended(11390)), Extended(0));  // a subnormal, no error
  EXPECT_THROW(ExpExtended(Extended(11357)), EOverflow);
  EXPECT_THROW(ExpExtended(Lit("1e300")), EOverflow);
}

}  // namespace
}  // namespace vellora::sim
