#include "sim/random_source.h"

#include <gtest/gtest.h>

#include <cmath>

#include "extended_literal.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

using vellora::testing::Lit;

TEST(RandomSource, FirstStatesFromZero) {
  RandomSource random(testing::ZeroSeed);
  random.SetState(12345);
  random.SeedFromClock();
  const std::uint32_t expected[] = {1u,         134775814u,  3698175007u,
                                    870078620u, 1172187917u, 2884733762u};
  for (const std::uint32_t state : expected) EXPECT_EQ(random.NextState(), state);

  random.SetState(0);
  EXPECT_EQ(random.NextUniform(), Extended(0x1p-32));
  EXPECT_EQ(random.NextUniform(), Extended(134775814) / Extended(4294967296LL));
  EXPECT_NEAR(static_cast<double>(Extended(134775814) / Extended(4294967296LL)),
              0.031379939522594213, 1e-17);
}

struct EdgeDraw {
  std::uint32_t state;
  Extended uniform;
  int site;
  int spin;
};

TEST(RandomSource, EdgeDrawsAndTheirConversions) {
  const EdgeDraw cases[] = {
      {0xFFFFFFFFu, Extended(1) - Extended(0x1p-32), 100, 1},
      {0u, Extended(0), 1, -1},
      {0x80000000u, Lit("0.5"), 51, -1},
      {0x80000001u, Lit("0.5") + Extended(0x1p-32), 51, 1},
      {42949672u, Extended(42949672) / Extended(4294967296LL), 1, -1},  // just below 1/100
      {42949673u, Extended(42949673) / Extended(4294967296LL), 2, -1},  // just above
  };
  for (const auto& c : cases) {
    RandomSource random;
    random.SetState(testing::StateBefore(c.state));
    EXPECT_EQ(random.NextUniform(), c.uniform) << c.state;
    EXPECT_EQ(random.State(), c.state);
    EXPECT_EQ(RandomSource::SiteIndex(c.state), c.site) << c.state;
    EXPECT_EQ(RandomSource::SpinValue(c.state), c.spin) << c.state;
  }
}

TEST(RandomSource, SiteIndexAgreesWithFloorOfTheRealTimes100) {
  RandomSource random;
  random.SetState(987654321u);
  for (int n = 0; n < 100000; ++n) {
    const std::uint32_t k = random.NextState();
    const Extended u = RandomSource::ToUniform(k);
    ASSERT_EQ(RandomSource::SiteIndex(k), static_cast<int>((u * 100).TruncToInt64()) + 1) << k;
    ASSERT_EQ(RandomSource::SpinValue(k), 2 * static_cast<int>(u.Nearest().TruncToInt64()) - 1)
        << k;
  }
}

TEST(RandomSource, ClockSeedsDifferBetweenCalls) {
  const std::uint32_t first = ClockSeed();
  std::uint32_t later = first;
  for (int n = 0; n < 1000 && later == first; ++n) later = ClockSeed();
  EXPECT_NE(first, later);
}

}  // namespace
}  // namespace vellora::sim
