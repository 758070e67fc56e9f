#include "sim/metropolis.h"

#include <cmath>
#include <cstring>

#include "base/errors.h"
#include "base/extended.h"

namespace vellora::sim {
namespace {

constexpr long double kLog2E = 1.442695040888963407359924681001892137L;

// 2^f - 1 for |f| <= 1/2, as the x87 unit computes it.
long double TwoToThePowerMinusOne(long double f) {
#if defined(__x86_64__) || defined(__i386__)
  __asm__("f2xm1" : "+t"(f));
  return f;
#else
  return std::exp2(f) - 1.0L;
#endif
}

enum class Fault : unsigned char { kNone, kZeroDivide, kInvalidOp, kOverflow };

[[noreturn]] void Raise(Fault fault) {
  switch (fault) {
    case Fault::kZeroDivide:
      throw EZeroDivide();
    case Fault::kInvalidOp:
      throw EInvalidOp();
    default:
      throw EOverflow();
  }
}

// What an attempt at a site with a given (s, NN, NNN) does. The parameters are fixed within a
// block, so the 50 possible cases are worked out once per block and looked up per attempt.
struct AttemptRule {
  double eloc = 0.0;
  // The attempt flips when the third draw k satisfies k < threshold (u < w in integers);
  // 2^32 means always. Unused when the flip lowers the energy.
  std::uint64_t threshold = 0;
  bool lowersEnergy = false;
  // A fault of Eloc, x or e^x; raised when an attempt first meets this case, never before.
  Fault fault = Fault::kNone;
};

// Indexed by (s > 0) * 81 + (NN + 4) * 9 + (NNN + 4), so the index needs no division.
constexpr int RuleIndex(int s, int nn, int nnn) { return (s > 0 ? 81 : 0) + (nn + 4) * 9 + (nnn + 4); }
constexpr int kRuleCount = 162;

AttemptRule MakeRule(const ModelParameters& parameters, int s, int nn, int nnn) {
  AttemptRule rule;
  try {
    rule.eloc = LocalEnergy(parameters, s, nn, nnn);
    rule.lowersEnergy = -rule.eloc < rule.eloc;
    if (!rule.lowersEnergy) {
      const long double w = AcceptanceWeight(rule.eloc, parameters.T);
      // u = k / 2^32 < w exactly when k < w x 2^32 (an exact scaling), that is k < ceil(w x 2^32).
      rule.threshold = w >= 1.0L ? (std::uint64_t{1} << 32)
                                 : static_cast<std::uint64_t>(std::ceil(std::ldexp(w, 32)));
    }
  } catch (const EZeroDivide&) {
    rule.fault = Fault::kZeroDivide;
  } catch (const EInvalidOp&) {
    rule.fault = Fault::kInvalidOp;
  } catch (const EOverflow&) {
    rule.fault = Fault::kOverflow;
  }
  return rule;
}

// Wrapped neighbour offsets of each index 0..99 on the torus.
struct Neighbours {
  int previous[kLatticeSide];
  int next[kLatticeSide];
  constexpr Neighbours() : previous(), next() {
    for (int k = 0; k < kLatticeSide; ++k) {
      previous[k] = k == 0 ? kLatticeSide - 1 : k - 1;
      next[k] = k == kLatticeSide - 1 ? 0 : k + 1;
    }
  }
};
constexpr Neighbours kNeighbours;

}  // namespace

double LocalEnergy(const ModelParameters& parameters, int s, int nn, int nnn) {
  const long double spin = s;
  const long double coupling = (-static_cast<long double>(parameters.J1) * nn) * spin -
                               (static_cast<long double>(nnn) * parameters.J2) * spin;
  return ToDoubleChecked(coupling - spin * parameters.h);
}

long double ExpExtended(long double x) {
  const long double y = x * kLog2E;
  // The extended range ends at 2^16384; its subnormals at 2^-16445.
  if (y >= 16384.0L) throw EOverflow();
  if (y < -16447.0L) return 0.0L;
  const long double n = std::nearbyint(y);
  const long double power = TwoToThePowerMinusOne(y - n) + 1.0L;
  const long double w = std::ldexp(power, static_cast<int>(n));
  if (std::isinf(w)) throw EOverflow();
  return w;
}

long double AcceptanceWeight(double eloc, double temperature) {
  const double enew = -eloc;
  const long double dE = static_cast<long double>(enew) - eloc;
  if (temperature == 0.0) {
    if (dE > 0) throw EZeroDivide();
    throw EInvalidOp();
  }
  return ExpExtended(-dE / temperature);
}

void RunBlock(SimulationState& state, RandomSource& random) {
  AttemptRule rules[kRuleCount];
  for (int s : {-1, 1}) {
    for (int nn = -4; nn <= 4; nn += 2) {
      for (int nnn = -4; nnn <= 4; nnn += 2) rules[RuleIndex(s, nn, nnn)] = MakeRule(state.parameters, s, nn, nnn);
    }
  }

  std::int32_t* const spins = state.lattice.spins.data();
  std::uint32_t k = random.State();
  double sum = 0.0;
  // Whatever way the loop ends, the generator and the partial sum are left where they stand.
  struct WriteBack {
    RandomSource& random;
    std::uint32_t& k;
    double& sum;
    double& energyEstimate;
    ~WriteBack() {
      random.SetState(k);
      energyEstimate = sum;
    }
  } writeBack{random, k, sum, state.energyEstimate};

  for (std::int32_t attempt = 0; attempt < state.blockLength; ++attempt) {
    k = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const int i = static_cast<int>((std::uint64_t{k} * 100u) >> 32);
    k = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const int j = static_cast<int>((std::uint64_t{k} * 100u) >> 32);

    const int column = i * kLatticeSide;
    const int previousColumn = kNeighbours.previous[i] * kLatticeSide;
    const int nextColumn = kNeighbours.next[i] * kLatticeSide;
    const int previousRow = kNeighbours.previous[j];
    const int nextRow = kNeighbours.next[j];
    const int s = spins[column + j];
    const int nn = spins[nextColumn + j] + spins[previousColumn + j] + spins[column + previousRow] +
                   spins[column + nextRow];
    const int nnn = spins[nextColumn + previousRow] + spins[previousColumn + previousRow] +
                    spins[nextColumn + nextRow] + spins[previousColumn + nextRow];

    const AttemptRule& rule = rules[RuleIndex(s, nn, nnn)];
    if (rule.fault != Fault::kNone) [[unlikely]] Raise(rule.fault);

    // Without branches on the outcome: the third draw is taken only when the flip does not
    // lower the energy, and the spin is written either way.
    const std::uint32_t third = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const bool flip = rule.lowersEnergy | (third < rule.threshold);
    k = rule.lowersEnergy ? k : third;
    spins[column + j] = flip ? -s : s;

    sum += rule.eloc;
    if (!std::isfinite(sum)) [[unlikely]] throw EOverflow();
  }

  if (state.blockLength == 0) throw EInvalidOp();  // 0 / 0
  state.stepCount += state.blockLength;
  sum = ToDoubleChecked(static_cast<long double>(sum) / state.blockLength / 2);
}

void RunSweep(SimulationState& state, const ParameterTexts& texts, RandomSource& random) {
  ReadParameters(state.parameters, texts);
  for (std::int32_t block = 0; block < state.blocksPerSweep; ++block) RunBlock(state, random);
}

}  // namespace vellora::sim
