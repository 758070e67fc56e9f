// The experiments of docs/guide.md, run the way a student runs them: one session from start-up,
// each step's values typed into the edits and run for as many ticks as the guide says to wait
// (5 ticks a second), from several start-up seeds. Every statement the guide makes about the
// read-outs and the picture is a bound here that has to hold for each seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "sim/initialise.h"
#include "sim/lattice_summary.h"
#include "sim/magnetisation.h"
#include "sim/metropolis.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

using testing::FixedTexts;

constexpr double kNone = std::numeric_limits<double>::infinity();

struct Range {
  double low;
  double high;
};
constexpr Range kAny{-kNone, kNone};

struct Step {
  const char* what;
  // The texts typed into the edits.
  const char* t;
  const char* h;
  const char* j1;
  const char* j2;
  int ticks;
  // M= and E= of each of the step's last `watched` ticks lie in `m` and `e`, and the highest of
  // them minus the lowest in `mSpread` and `eSpread`.
  int watched;
  Range m;
  Range e;
  Range mSpread;
  Range eSpread;
  // After the step: the share of unlike pairs among the nearest and among the diagonal
  // neighbours, which the picture shows as the length of the domain walls and as the pattern.
  Range nearestUnlike;
  Range diagonalUnlike;
  // What a screen reader says of the picture after the step holds one of these words.
  std::vector<std::string> heard;
};

// The guide, in its order. Every experiment after the first opens with a scramble (T = 10 for
// 2 s) that starts from whatever the one before it left.
// clang-format off
const Step kLesson[] = {
  // what                                 T       h      J1    J2       ticks watched
  //   M              E               M spread     E spread     nearest unlike diagonal unlike
  //   words heard
  {"1 hot: start-up values",              "5.00", "0",   "1",  "0",     25,   20,
     {-0.1, 0.1},   {-0.47, -0.39}, kAny,        {0.0, 0.03}, kAny,         kAny,
     {"Disorder"}},

  {"2 cooling: scramble",                 "10",   "0",   "1",  "0",     10,   5,
     {-0.1, 0.1},   {-0.25, -0.15}, kAny,        kAny,        kAny,         kAny,
     {"Disorder"}},
  {"2 cooling: T = 2.0 for 20 s",         "2.0",  "0",   "1",  "0",     100,  1,
     kAny,          {-1.8, -1.6},   kAny,        kAny,        {0.0, 0.1},   kAny,
     {"domains", "bands"}},

  {"3 critical: scramble",                "10",   "0",   "1",  "0",     10,   5,
     {-0.1, 0.1},   kAny,           kAny,        kAny,        kAny,         kAny,
     {"Disorder"}},
  {"3 critical: T = 2.27, 30 s, last 20", "2.27", "0",   "1",  "0",     150,  100,
     kAny,          {-1.55, -1.25}, {0.15, 2.0}, {0.07, 1.0}, kAny,         kAny,
     {"every size"}},

  {"4 field: scramble",                   "10",   "0",   "1",  "0",     10,   5,
     {-0.1, 0.1},   kAny,           kAny,        kAny,        kAny,         kAny,
     {"Disorder"}},
  {"4 field: h = 0.1 at T = 2.0, 10 s",   "2.0",  "0.1", "1",  "0",     50,   25,
     {0.85, 1.0},   {-1.9, -1.78},  kAny,        kAny,        kAny,         kAny,
     {"Mostly black"}},
  {"4 field: h = -0.1, first 2 s",        "2.0",  "-0.1", "1", "0",     10,   0,
     kAny,          kAny,           kAny,        kAny,        kAny,         kAny,
     {"Mostly black"}},
  {"4 field: h = -0.1, 10 s in all",      "2.0",  "-0.1", "1", "0",     40,   1,
     {-1.0, -0.85}, {-1.9, -1.78},  kAny,        kAny,        kAny,         kAny,
     {"Mostly white"}},

  {"5 antiferromagnet: scramble",         "10",   "0",   "-1", "0",     10,   5,
     {-0.1, 0.1},   kAny,           kAny,        kAny,        kAny,         kAny,
     {"Disorder"}},
  {"5 antiferromagnet: T = 1.5, 10 s",    "1.5",  "0",   "-1", "0",     50,   25,
     {-0.02, 0.02}, {-2.0, -1.8},   kAny,        kAny,        {0.95, 1.0},  kAny,
     {"checkerboard"}},

  {"6 competition: scramble",             "10",   "0",   "1",  "-0.25", 10,   5,
     {-0.1, 0.1},   kAny,           kAny,        kAny,        kAny,         kAny,
     {"Disorder"}},
  {"6 competition: J2 = -0.25, T = 1, 5 s", "1",  "0",   "1",  "-0.25", 25,   10,
     kAny,          {-1.5, -1.3},   kAny,        kAny,        {0.0, 0.1},   kAny,
     {"domains", "bands"}},
  {"6 competition: J2 = -1, 10 s",        "1",    "0",   "1",  "-1",    50,   25,
     {-0.02, 0.02}, {-2.0, -1.85},  kAny,        kAny,        {0.45, 0.55}, {0.95, 1.0},
     {"Stripes"}},
};
// clang-format on

struct UnlikeShares {
  double nearest = 0.0;
  double diagonal = 0.0;
};

// Counted here on the torus, each pair once: right and down for the nearest neighbours, the
// two downward diagonals for the diagonal ones.
UnlikeShares CountUnlike(const SpinLattice& lattice) {
  auto at = [&lattice](int i, int j) {
    return lattice.At((i - 1 + kLatticeSide) % kLatticeSide + 1,
                      (j - 1 + kLatticeSide) % kLatticeSide + 1);
  };
  int nearest = 0;
  int diagonal = 0;
  for (int i = 1; i <= kLatticeSide; ++i) {
    for (int j = 1; j <= kLatticeSide; ++j) {
      const int s = at(i, j);
      nearest += (s != at(i + 1, j)) + (s != at(i, j + 1));
      diagonal += (s != at(i + 1, j + 1)) + (s != at(i - 1, j + 1));
    }
  }
  return {nearest / (2.0 * kSiteCount), diagonal / (2.0 * kSiteCount)};
}

// The start-up clock value that the test stands in for.
std::uint32_t startupSeed = 0;
std::uint32_t StartupSeed() {
  return startupSeed;
}

class ClassroomLesson : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ClassroomLesson, EveryStepShowsWhatTheGuideSays) {
  startupSeed = GetParam();
  RandomSource random(StartupSeed);
  SimulationState state;
  FixedTexts edits("5.00", "0", "1", "0");
  Initialise(state, edits, random);

  for (const Step& step : kLesson) {
    SCOPED_TRACE(step.what);
    edits.Set(ParameterEdit::Edit1, step.t);
    edits.Set(ParameterEdit::Edit2, step.h);
    edits.Set(ParameterEdit::Edit3, step.j1);
    edits.Set(ParameterEdit::edJ2, step.j2);
    Range mSeen{kNone, -kNone};
    Range eSeen{kNone, -kNone};
    for (int tick = 1; tick <= step.ticks; ++tick) {
      RunSweep(state, edits, random);
      if (tick <= step.ticks - step.watched) continue;
      const double m = LatticeSum(state.lattice).ToDouble() / kSiteCount;
      const double e = state.energyEstimate;
      EXPECT_GE(m, step.m.low) << "tick " << tick;
      EXPECT_LE(m, step.m.high) << "tick " << tick;
      EXPECT_GE(e, step.e.low) << "tick " << tick;
      EXPECT_LE(e, step.e.high) << "tick " << tick;
      mSeen = {std::min(mSeen.low, m), std::max(mSeen.high, m)};
      eSeen = {std::min(eSeen.low, e), std::max(eSeen.high, e)};
    }
    EXPECT_GE(mSeen.high - mSeen.low, step.mSpread.low);
    EXPECT_LE(mSeen.high - mSeen.low, step.mSpread.high);
    EXPECT_GE(eSeen.high - eSeen.low, step.eSpread.low);
    EXPECT_LE(eSeen.high - eSeen.low, step.eSpread.high);
    const UnlikeShares unlike = CountUnlike(state.lattice);
    EXPECT_GE(unlike.nearest, step.nearestUnlike.low);
    EXPECT_LE(unlike.nearest, step.nearestUnlike.high);
    EXPECT_GE(unlike.diagonal, step.diagonalUnlike.low);
    EXPECT_LE(unlike.diagonal, step.diagonalUnlike.high);
    const std::string heard = DescribeLattice(state.lattice);
    EXPECT_TRUE(std::any_of(step.heard.begin(), step.heard.end(), [&](const std::string& word) {
      return heard.find(word) != heard.npos;
    })) << heard;
  }
}

INSTANTIATE_TEST_SUITE_P(StartupSeeds, ClassroomLesson,
                         ::testing::Values(1u, 20261208u, 0x9E3779B9u, 0xFFFFFFFFu));

}  // namespace
}  // namespace vellora::sim
