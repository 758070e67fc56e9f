#include "sim/random_source.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim_test_support.h"

namespace vellora::sim {
namespace {

TEST(RandomSource, FirstStatesFromZero) {
  RandomSource random(testing::ZeroSeed);
  random.SetState(12345);
  random.SeedFromClock();
  const std::uint32_t expected[] = {1u,         134775814u,  3698175007u,
                                    870078620u, 1172187917u, 2884733762u};
  for (const std::uint32_t state : expected) EXPECT_EQ(random.NextState(), state);

  random.SetState(0);
  EXPECT_EQ(random.NextUniform(), 0x1p-32L);
  EXPECT_EQ(random.NextUniform(), 134775814.0L / 4294967296.0L);
  EXPECT_NEAR(static_cast<double>(134775814.0L / 4294967296.0L), 0.031379939522594213, 1e-17);
}

struct EdgeDraw {
  std::uint32_t state;
  long double uniform;
  int site;
  int spin;
};

TEST(RandomSource, EdgeDrawsAndTheirConversions) {
  const EdgeDraw cases[] = {
      {0xFFFFFFFFu, 1.0L - 0x1p-32L, 100, 1},
      {0u, 0.0L, 1, -1},
      {0x80000000u, 0.5L, 51, -1},
      {0x80000001u, 0.5L + 0x1p-32L, 51, 1},
      {42949672u, 42949672.0L / 4294967296.0L, 1, -1},  // just below 1/100
      {42949673u, 42949673.0L / 4294967296.0L, 2, -1},  // just above
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
    const long double u = RandomSource::ToUniform(k);
    ASSERT_EQ(RandomSource::SiteIndex(k), static_cast<int>(u * 100) + 1) << k;
    ASSERT_EQ(RandomSource::SpinValue(k), 2 * static_cast<int>(std::nearbyint(u)) - 1) << k;
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
