#include "sim/metropolis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

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

// Kept out of line so that the extended arithmetic does not crowd the registers of the attempt
// loop.
[[gnu::noinline]] AttemptRule MakeRule(const ModelParameters& parameters, int s, int nn, int nnn) {
  AttemptRule rule;
  try {
    rule.eloc = LocalEnergy(parameters, s, nn, nnn);
    rule.lowersEnergy = -rule.eloc < rule.eloc;
    if (!rule.lowersEnergy) {
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

// What the loop reads on every attempt, one array per value so that the case index addresses it
// directly.
struct AttemptTable {
  // The bit of each case that makes no third draw: the flip lowers the energy, or the case fails.
  std::uint64_t special = 0;
  // The flip happens when the third draw k < threshold; 2^32 where it always does (as for a flip
  // that lowers the energy, whose attempt makes no third draw at all).
  std::uint64_t threshold[kCaseCount] = {};
  double eloc[kCaseCount] = {};
};

// The cases of one set of parameters, indexed by the number of up spins: 25 x (s up) + 5 x (up
// nearest neighbours) + (up diagonal neighbours).
struct CaseTable {
  AttemptRule rules[kCaseCount];
  AttemptTable attempts;
};

void BuildTable(const ModelParameters& parameters, CaseTable& table) {
  table.attempts.special = 0;
  for (int sUp = 0; sUp <= 1; ++sUp) {
    for (int nnUp = 0; nnUp <= 4; ++nnUp) {
      for (int nnnUp = 0; nnnUp <= 4; ++nnnUp) {
        const int index = CaseIndex(sUp, nnUp, nnnUp);
        AttemptRule& rule = table.rules[index];
        rule = MakeRule(parameters, 2 * sUp - 1, 2 * nnUp - 4, 2 * nnnUp - 4);
        if (rule.lowersEnergy || rule.fault != Fault::kNone) {
          table.attempts.special |= std::uint64_t{1} << index;
        }
        table.attempts.threshold[index] =
            rule.lowersEnergy ? std::uint64_t{1} << 32 : rule.threshold;
        table.attempts.eloc[index] = rule.eloc;
      }
    }
  }
}

// The table is a function of the parameters alone, and consecutive blocks nearly always share
// them: the last one is kept (per thread) while the parameters stay the same bit for bit.
const CaseTable& TableFor(const ModelParameters& parameters) {
  auto sameBits = [](double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
  };
  thread_local ModelParameters last;
  thread_local CaseTable table;
  thread_local bool built = false;
  if (!built || !sameBits(last.T, parameters.T) || !sameBits(last.J1, parameters.J1) ||
      !sameBits(last.J2, parameters.J2) || !sameBits(last.h, parameters.h)) {
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
  return static_cast<double>(Extended(sum) + eloc);
}

// The block's lattice: one byte per spin, 1 for up and 0 for down. Column i (0 to 99) starts at
// (i + 1) x kStride and holds row j at j + 1. Around the 100 x 100 sites runs a border one site
// wide with copies of the sites the torus wraps to (column -1 is column 99, column 100 is column 0,
// and the same for the rows), so every site has its eight neighbours in place and the loop never
// wraps. The stride is a power of two so that the column offset is a shift.
constexpr unsigned kSide = kLatticeSide;
constexpr unsigned kStride = 128;
constexpr unsigned kPaddedSize = (kLatticeSide + 2) * kStride;

// Where the padded lattice keeps site (i, j), or the copy standing for it at index -1 or 100.
constexpr unsigned PaddedOffset(int i, int j) {
  return static_cast<unsigned>((i + 1) * static_cast<int>(kStride) + j + 1);
}

// The four bytes from p on as a little-endian word: one load.
inline std::uint32_t LoadFour(const std::uint8_t* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native != std::endian::little) {
    word = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
  }
  return word;
}

// n steps of the generator k -> a k + c in one: k -> a^n k + (a^(n-1) + ... + a + 1) c. The
// recurrence is arithmetic modulo 2^32, where composing the steps this way is an identity.
struct Jump {
  std::uint32_t multiplier = 1;
  std::uint32_t increment = 0;

  constexpr std::uint32_t From(std::uint32_t k) const { return k * multiplier + increment; }
};
constexpr Jump JumpOf(int steps) {
  Jump jump;
  for (int step = 0; step < steps; ++step) {
    jump.multiplier *= RandomSource::kMultiplier;
    jump.increment = jump.increment * RandomSource::kMultiplier + RandomSource::kIncrement;
  }
  return jump;
}
constexpr Jump kOneStep = JumpOf(1), kThreeSteps = JumpOf(3);

// The state whose step gives k. The multiplier is odd, so it has an inverse modulo 2^32; Newton's
// iteration x -> x (2 - a x) finds it, each round doubling the number of correct low bits (a x a
// is 1 modulo 8 already).
constexpr std::uint32_t kInverseMultiplier = [] {
  std::uint32_t inverse = RandomSource::kMultiplier;
  for (int round = 0; round < 4; ++round) inverse *= 2u - RandomSource::kMultiplier * inverse;
  return inverse;
}();
static_assert(RandomSource::kMultiplier * kInverseMultiplier == 1u);
constexpr std::uint32_t StateBefore(std::uint32_t k) {
  return (k - RandomSource::kIncrement) * kInverseMultiplier;
}

// The attempts of one block. kPlainSumIsExact selects the running sum: plain double additions where
// PlainSumIsExact holds, otherwise each addition checked with its exact error.
//
// Each draw depends on the one before, so the generator is the one chain that no attempt can
// shorten. Here it carries a single multiply-add per attempt: the loop holds the first two draws
// of the coming attempt, and every later draw it may need comes from those by a jump of three
// steps, computed before the attempt knows its case. Whether the next attempt starts two or three
// draws on is a branch on the case; the flip that lowers the energy (no third draw) is the rare
// case, so the branch is mostly predicted right and the next attempt goes ahead before this one
// has read the lattice. When it is not, the draws the next attempt needs are already there.
//
// Not inlined: RunBlock hands its generator state and sum to a guard that writes them back, which
// would keep them in memory; here they live in registers and go back only when the loop ends.
template <bool kPlainSumIsExact>
[[gnu::noinline]] void RunAttempts(const AttemptRule (&rules)[kCaseCount],
                                   const AttemptTable& table, std::int32_t blockLength,
                                   std::uint8_t* up, std::uint32_t& state, double& runningSum) {
  // Site (i, j) of the padded lattice, for i and j from 0 to 99, at inner + i x kStride + j.
  std::uint8_t* const inner = up + PaddedOffset(0, 0);
  const std::uint64_t special = table.special;
  std::uint32_t first = kOneStep.From(state);
  std::uint32_t second = kOneStep.From(first);
  double sum = runningSum;
  for (std::int32_t left = blockLength; left > 0; --left) {
    // The draws after the first two, all straight from them: the next attempt begins with third
    // and fourth when this one draws two, with fourth and fifth when it draws three.
    const std::uint32_t third = kOneStep.From(second);
    const std::uint32_t fourth = kThreeSteps.From(first);
    const std::uint32_t fifth = kThreeSteps.From(second);
    const unsigned i = static_cast<unsigned>((std::uint64_t{first} * 100u) >> 32);
    const unsigned j = static_cast<unsigned>((std::uint64_t{second} * 100u) >> 32);
    const unsigned site = i * kStride + j;

    // The 3 x 3 block around the site as three words, one per column, whose low three bytes are
    // the rows j - 1, j and j + 1 (each 0 or 1; the fourth byte is whatever follows). In
    // before + after + 5 x at every byte stays below 8. Multiplying by 2^8 + 5 x 2^16 + 2^24
    // gathers in the top byte the byte sum (row j - 1) + 5 (row j) + (row j + 1):
    //   diagonal neighbours x 1 + nearest neighbours x 5 + site x 25,
    // at most 49. The bytes below it in the product stay below 256 (7 and 42), so no carry
    // reaches it, and the fourth byte's products lie beyond 32 bits: the case index, exactly.
    const std::uint32_t before = LoadFour(inner + site - kStride - 1);
    const std::uint32_t at = LoadFour(inner + site - 1);
    const std::uint32_t after = LoadFour(inner + site + kStride - 1);
    const unsigned index = (before + after + 5u * at) * 0x01050100u >> 24;

    if ((special >> index) & 1u) [[unlikely]] {
      // No third draw: the flip lowers the energy, or the case fails after two draws.
      if (rules[index].fault != Fault::kNone) {
        state = second;
        runningSum = sum;
        Raise(rules[index].fault);
      }
      first = third;
      second = fourth;
    } else {
      first = fourth;
      second = fifth;
    }
    // Where the flip lowers the energy the threshold is 2^32, above every state: it flips whatever
    // third is, and third is then never drawn.
    inner[site] ^= static_cast<std::uint8_t>(third < table.threshold[index]);
    if (i - 1 > kSide - 3 || j - 1 > kSide - 3) [[unlikely]] {
      // A site on the edge of the lattice (i or j is 0 or 99; i - 1 wraps for 0): its copies in
      // the border follow it. Of the three stores, those for a coordinate not on the edge land on
      // the site itself.
      const int copyI = i == 0 ? kLatticeSide : (i == kSide - 1 ? -1 : static_cast<int>(i));
      const int copyJ = j == 0 ? kLatticeSide : (j == kSide - 1 ? -1 : static_cast<int>(j));
      up[PaddedOffset(copyI, static_cast<int>(j))] = inner[site];
      up[PaddedOffset(static_cast<int>(i), copyJ)] = inner[site];
      up[PaddedOffset(copyI, copyJ)] = inner[site];
    }

    const double eloc = table.eloc[index];
    double nextSum = sum + eloc;
    if constexpr (!kPlainSumIsExact) {
      // The rounding error of the addition, exactly (the two-sum of two doubles).
      const double back = nextSum - sum;
      const double error = (sum - (nextSum - back)) + (eloc - back);
      if (MayRoundTwiceDifferently(error)) [[unlikely]]
        nextSum = AddRoundedTwice(sum, eloc);
    }
    // A sum beyond the double range is an overflow; the sum keeps its last value.
    if (!std::isfinite(nextSum)) [[unlikely]] {
      state = StateBefore(first);
      runningSum = sum;
      throw EOverflow();
    }
    sum = nextSum;
  }
  // The generator stands where the next attempt's first draw would come from.
  state = StateBefore(first);
  runningSum = sum;
}

}  // namespace

void RunBlock(SimulationState& state, RandomSource& random) {
  const CaseTable& cases = TableFor(state.parameters);

  // The block works on a copy of the lattice holding 1 for an up spin and 0 for a down spin,
  // which stays in the first-level cache; it is copied back however the block ends, together
  // with the generator and the partial sum.
  std::uint8_t up[kPaddedSize] = {};
  for (int i = -1; i <= kLatticeSide; ++i) {
    for (int j = -1; j <= kLatticeSide; ++j) {
      const int wrappedI = (i + kLatticeSide) % kLatticeSide;
      const int wrappedJ = (j + kLatticeSide) % kLatticeSide;
      up[PaddedOffset(i, j)] = state.lattice.spins[wrappedI * kLatticeSide + wrappedJ] > 0 ? 1 : 0;
    }
  }
  std::uint32_t k = random.State();
  double sum = 0.0;
  struct WriteBack {
    SimulationState& state;
    RandomSource& random;
    const std::uint8_t* up;
    const std::uint32_t& k;
    const double& sum;
    ~WriteBack() {
      for (int i = 0; i < kLatticeSide; ++i) {
        for (int j = 0; j < kLatticeSide; ++j) {
          state.lattice.spins[i * kLatticeSide + j] = up[PaddedOffset(i, j)] ? 1 : -1;
        }
      }
      random.SetState(k);
      state.energyEstimate = sum;
    }
  } writeBack{state, random, up, k, sum};

  if (PlainSumIsExact(cases.rules, state.blockLength)) {
    RunAttempts<true>(cases.rules, cases.attempts, state.blockLength, up, k, sum);
  } else {
    RunAttempts<false>(cases.rules, cases.attempts, state.blockLength, up, k, sum);
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
