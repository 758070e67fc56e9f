#include "sim/metropolis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <span>

#include "base/errors.h"
#include "base/extended.h"

namespace vellora::sim {
namespace {

// log2(e) rounded to the 64-bit significand.
constexpr Extended kLog2E = Extended::FromBits(0xB8AA3B295C17F0BCu, 0x3FFF);

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
// block, so the 50 possible cases are worked out before it (or taken over from the block before,
// when the parameters are the same) and looked up per attempt.
struct AttemptRule {
  double eloc = 0.0;
  // The attempt flips when the third draw k satisfies k < threshold (u < w in integers);
  // 2^32 means always. Unused when the flip lowers the energy.
  std::uint64_t threshold = 0;
  bool lowersEnergy = false;
  // A fault of Eloc, x or e^x; raised when an attempt first meets this case, never before.
  Fault fault = Fault::kNone;
};

constexpr int CaseIndex(int sUp, int nnUp, int nnnUp) {
  return sUp * 25 + nnUp * 5 + nnnUp;
}
constexpr int kCaseCount = 50;

// `earlier` holds the rules made so far in this block: a case with the same local energy has
// the same weight, which is then not worked out again. Kept out of line so that the extended
// arithmetic does not crowd the registers of the attempt loop.
[[gnu::noinline]] AttemptRule MakeRule(const ModelParameters& parameters, int s, int nn, int nnn,
                                       std::span<const AttemptRule> earlier) {
  AttemptRule rule;
  try {
    rule.eloc = LocalEnergy(parameters, s, nn, nnn);
    rule.lowersEnergy = -rule.eloc < rule.eloc;
    if (!rule.lowersEnergy) {
      for (const AttemptRule& other : earlier) {
        if (other.fault == Fault::kNone && !other.lowersEnergy && other.eloc == rule.eloc) {
          rule.threshold = other.threshold;
          return rule;
        }
      }
      const Extended w = AcceptanceWeight(rule.eloc, parameters.T);
      // u = k / 2^32 < w exactly when k < w x 2^32 (an exact scaling), that is k < ceil(w x 2^32).
      rule.threshold = w >= 1 ? (std::uint64_t{1} << 32)
                              : static_cast<std::uint64_t>(w.Scale(32).Ceil().TruncToInt64());
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

// The cases of one set of parameters.
struct CaseTable {
  AttemptRule rules[kCaseCount];
  std::uint64_t lowersEnergy = 0;
};

void BuildTable(const ModelParameters& parameters, CaseTable& table) {
  table.lowersEnergy = 0;
  for (int sUp = 0; sUp <= 1; ++sUp) {
    for (int nnUp = 0; nnUp <= 4; ++nnUp) {
      for (int nnnUp = 0; nnnUp <= 4; ++nnnUp) {
        const int index = CaseIndex(sUp, nnUp, nnnUp);
        AttemptRule& rule = table.rules[index];
        rule = MakeRule(parameters, 2 * sUp - 1, 2 * nnUp - 4, 2 * nnnUp - 4,
                        std::span<const AttemptRule>(table.rules, index));
        if (rule.lowersEnergy && rule.fault == Fault::kNone) {
          table.lowersEnergy |= std::uint64_t{1} << index;
        }
      }
    }
  }
}

// The table is a function of the parameters alone, and consecutive blocks nearly always share
// them: the last one is kept (per thread) while the parameters stay the same bit for bit.
const CaseTable& TableFor(const ModelParameters& parameters) {
  static_assert(sizeof(ModelParameters) == 4 * sizeof(double), "compared byte for byte");
  thread_local ModelParameters last;
  thread_local CaseTable table;
  thread_local bool built = false;
  if (!built || std::memcmp(&last, &parameters, sizeof last) != 0) {
    BuildTable(parameters, table);
    last = parameters;
    built = true;
  }
  return table;
}

}  // namespace

double LocalEnergy(const ModelParameters& parameters, int s, int nn, int nnn) {
  const Extended spin = s;
  const Extended coupling =
      (-Extended(parameters.J1) * nn) * spin - (Extended(nnn) * parameters.J2) * spin;
  return ToDoubleChecked(coupling - spin * parameters.h);
}

Extended ExpExtended(Extended x) {
  const Extended y = x * kLog2E;
  // The extended range ends at 2^16384; its subnormals at 2^-16445.
  if (y >= 16384) throw EOverflow();
  if (y < -16447) return Extended();
  const Extended n = y.Nearest();
  const Extended power = TwoToThePowerMinusOne(y - n) + 1;
  const Extended w = power.Scale(static_cast<int>(n.TruncToInt64()));
  if (w.IsInfinite()) throw EOverflow();
  return w;
}

Extended AcceptanceWeight(double eloc, double temperature) {
  const double enew = -eloc;
  const Extended dE = Extended(enew) - eloc;
  if (temperature == 0.0) {
    if (dE > 0) throw EZeroDivide();
    throw EInvalidOp();
  }
  return ExpExtended(-dE / temperature);
}

namespace {

// The running energy sum is specified as an addition with a 64-bit significand whose result is then
// rounded to double: two roundings. Plain double addition rounds once, and the two differ exactly
// when the 64-bit result lands on a midpoint between two doubles that the exact sum is not on.

// True when plain double additions give those bits for every partial sum of the block: all case
// energies are integer multiples of one power of two 2^q, and the block cannot take a partial sum
// to 2^63 x 2^q. Every partial sum (a multiple of 2^q, rounded or not) then holds at most 64
// significant bits, so the 64-bit rounding never changes it and the double addition rounds it once,
// as specified. Parameters with few binary digits (1, 0.5, -0.25) take this path.
bool PlainSumIsExact(const AttemptRule (&rules)[kCaseCount], std::int32_t blockLength) {
  int lowestBit = std::numeric_limits<int>::max();  // q
  int highestBit = std::numeric_limits<int>::min();
  for (const AttemptRule& rule : rules) {
    if (rule.fault != Fault::kNone || rule.eloc == 0.0) continue;  // never added
    const auto bits = std::bit_cast<std::uint64_t>(rule.eloc);
    const int field = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
    if (field != 0) significand |= std::uint64_t{1} << 52;
    const int scale = (field != 0 ? field : 1) - 1075;  // |eloc| = significand x 2^scale
    lowestBit = std::min(lowestBit, scale + std::countr_zero(significand));
    highestBit = std::max(highestBit, scale + static_cast<int>(std::bit_width(significand)));
  }
  if (lowestBit > highestBit) return true;  // only zeros
  // Each |eloc| < 2^highestBit, so a partial sum stays below blockLength x 2^highestBit.
  const int lengthBits = static_cast<int>(std::bit_width(static_cast<std::uint32_t>(blockLength)));
  return highestBit - lowestBit + lengthBits <= 63;
}

// Whether the double sum hi, with the exact sum hi + lo, might round differently through 64 bits.
// That needs the exact sum within half a 64-bit unit of a double midpoint, that is |lo| within a
// factor 1 - 2^-11 below half the spacing of the doubles around hi: a normal |lo| whose significand
// has its ten leading fraction bits set. Subnormal, infinite and NaN values of lo (tiny or
// overflowing sums) take the careful path as well. The test is a cheap filter; AddRoundedTwice
// decides.
inline bool MayRoundTwiceDifferently(double lo) {
  const auto bits = std::bit_cast<std::uint64_t>(lo);
  const std::uint64_t field = (bits >> 52) & 0x7FF;
  const bool tenOnes = ((bits >> 42) & 0x3FF) == 0x3FF;
  return tenOnes || field == 0x7FF || (field == 0 && (bits << 1) != 0);
}

// sum + eloc with a 64-bit significand, rounded to double.
double AddRoundedTwice(double sum, double eloc) {
  return static_cast<double>(static_cast<Extended>(sum) + eloc);
}

// The attempts of one block. kPlainSumIsExact selects the running sum: plain double additions where
// PlainSumIsExact holds, otherwise each addition checked with its exact error.
template <bool kPlainSumIsExact>
void RunAttempts(const AttemptRule (&rules)[kCaseCount], std::uint64_t lowersEnergy,
                 std::int32_t blockLength, std::uint8_t* up, std::uint32_t& k, double& sum) {
  for (std::int32_t attempt = 0; attempt < blockLength; ++attempt) {
    k = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const unsigned i = static_cast<unsigned>((std::uint64_t{k} * 100u) >> 32);
    k = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const unsigned j = static_cast<unsigned>((std::uint64_t{k} * 100u) >> 32);

    // Wrapped neighbours on the torus: 0 is preceded by 99 and 99 followed by 0.
    const unsigned column = i * kLatticeSide;
    const unsigned previousColumn = (i == 0 ? kLatticeSide - 1 : i - 1) * kLatticeSide;
    const unsigned nextColumn = (i == kLatticeSide - 1 ? 0 : i + 1) * kLatticeSide;
    const unsigned previousRow = j == 0 ? kLatticeSide - 1 : j - 1;
    const unsigned nextRow = j == kLatticeSide - 1 ? 0 : j + 1;
    const unsigned sUp = up[column + j];
    const unsigned nnUp = up[nextColumn + j] + up[previousColumn + j] + up[column + previousRow] +
                          up[column + nextRow];
    const unsigned nnnUp = up[nextColumn + previousRow] + up[previousColumn + previousRow] +
                           up[nextColumn + nextRow] + up[previousColumn + nextRow];
    const unsigned index = sUp * 25 + nnUp * 5 + nnnUp;

    const AttemptRule& rule = rules[index];
    if (rule.fault != Fault::kNone) [[unlikely]]
      Raise(rule.fault);

    // Without branches on the outcome: the third draw is taken only when the flip does not
    // lower the energy, and the spin is written either way.
    const bool lowers = (lowersEnergy >> index) & 1u;
    const std::uint32_t third = k * RandomSource::kMultiplier + RandomSource::kIncrement;
    const bool flip = lowers | (third < rule.threshold);
    k = lowers ? k : third;
    up[column + j] = static_cast<std::uint8_t>(sUp ^ static_cast<unsigned>(flip));

    double nextSum = sum + rule.eloc;
    if constexpr (!kPlainSumIsExact) {
      // The rounding error of the addition, exactly (the two-sum of two doubles).
      const double back = nextSum - sum;
      const double error = (sum - (nextSum - back)) + (rule.eloc - back);
      if (MayRoundTwiceDifferently(error)) [[unlikely]]
        nextSum = AddRoundedTwice(sum, rule.eloc);
    }
    // A sum beyond the double range is an overflow; the sum keeps its last value.
    if (!std::isfinite(nextSum)) [[unlikely]]
      throw EOverflow();
    sum = nextSum;
  }
}

}  // namespace

void RunBlock(SimulationState& state, RandomSource& random) {
  // The 50 cases, indexed by the number of up spins: 25 x (s up) + 5 x (up nearest neighbours)
  // + (up diagonal neighbours). Whether the flip lowers the energy is also kept as one bit per
  // case in a word, so the decision that the next draws depend on needs no memory access.
  const CaseTable& table = TableFor(state.parameters);
  AttemptRule rules[kCaseCount];
  std::copy(std::begin(table.rules), std::end(table.rules), rules);
  const std::uint64_t lowersEnergy = table.lowersEnergy;

  // The block works on a copy of the lattice holding 1 for an up spin and 0 for a down spin,
  // which stays in the first-level cache; it is copied back however the block ends, together
  // with the generator and the partial sum.
  std::uint8_t up[kSiteCount];
  for (int site = 0; site < kSiteCount; ++site) up[site] = state.lattice.spins[site] > 0 ? 1 : 0;
  std::uint32_t k = random.State();
  double sum = 0.0;
  struct WriteBack {
    SimulationState& state;
    RandomSource& random;
    const std::uint8_t* up;
    const std::uint32_t& k;
    const double& sum;
    ~WriteBack() {
      for (int site = 0; site < kSiteCount; ++site) state.lattice.spins[site] = up[site] ? 1 : -1;
      random.SetState(k);
      state.energyEstimate = sum;
    }
  } writeBack{state, random, up, k, sum};

  if (PlainSumIsExact(rules, state.blockLength)) {
    RunAttempts<true>(rules, lowersEnergy, state.blockLength, up, k, sum);
  } else {
    RunAttempts<false>(rules, lowersEnergy, state.blockLength, up, k, sum);
  }

  if (state.blockLength == 0) throw EInvalidOp();  // 0 / 0
  state.stepCount += state.blockLength;
  sum = ToDoubleChecked(Extended(sum) / state.blockLength / 2);
}

void RunSweep(SimulationState& state, const ParameterTexts& texts, RandomSource& random) {
  ReadParameters(state.parameters, texts);
  for (std::int32_t block = 0; block < state.blocksPerSweep; ++block) RunBlock(state, random);
}

}  // namespace vellora::sim
