// A digest of a long deterministic run and of a table of number texts, fixed here: every
// processor the program is built for has to give these bits.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/extended.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "numtext/parse.h"
#include "sim/initialise.h"
#include "sim/magnetisation.h"
#include "sim/metropolis.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

using testing::FixedTexts;

// FNV-1a with 64 bits over a byte sequence fixed here: integers go in little-endian, so the
// digest does not depend on the byte order of the machine.
class Fnv1a64 {
 public:
  void AddByte(std::uint8_t byte) { hash_ = (hash_ ^ byte) * 0x100000001b3u; }
  void AddInteger(std::uint64_t value, int bytes) {
    for (int n = 0; n < bytes; ++n) AddByte(static_cast<std::uint8_t>(value >> (8 * n)));
  }
  void AddDouble(double value) { AddInteger(std::bit_cast<std::uint64_t>(value), 8); }
  // The length first, so that adjacent texts cannot run into one another.
  void AddText(std::string_view text) {
    AddInteger(text.size(), 4);
    for (const char c : text) AddByte(static_cast<std::uint8_t>(c));
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325u;
};

// An extended value by its 80-bit encoding: the significand with its explicit integer bit, then
// the sign with the biased exponent. The only place that reads the encoding of a value.
void AddExtended(Fnv1a64& hash, const Extended& value) {
  hash.AddInteger(value.Significand(), 8);
  hash.AddInteger(value.SignExponent(), 2);
}

std::string Hex(std::uint64_t value) {
  char text[19];
  std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
  return text;
}

TEST(Fnv1a64, GivesThePublishedValues) {
  const struct {
    std::string_view bytes;
    std::uint64_t hash;
  } cases[] = {
      {"", 0xcbf29ce484222325u},
      {"a", 0xaf63dc4c8601ec8cu},
      {"foobar", 0x85944171f73967e8u},
  };
  for (const auto& c : cases) {
    Fnv1a64 hash;
    for (const char byte : c.bytes) hash.AddByte(static_cast<std::uint8_t>(byte));
    EXPECT_EQ(hash.Value(), c.hash) << c.bytes;
  }
}

template <std::uint32_t kSeed>
std::uint32_t Seed() {
  return kSeed;
}

struct RunCase {
  const char* t;
  const char* h;
  const char* j1;
  const char* j2;
  RandomSource::SeedFunction seed;
  int blocks;
  // When set, T is changed to this text halfway through the run.
  const char* laterT = nullptr;
};

// Every block of every case adds the lattice, the generator state, the step count, the energy
// estimate and the magnetisation.
std::uint64_t RunDigest() {
  const RunCase cases[] = {
      {"2.269", "0", "1", "0", Seed<20240601u>, 400},
      {"5", "0", "1", "0", Seed<1u>, 250},
      {"2", "0.5", "1", "-0.25", Seed<0xdeadbeefu>, 250},
      {"1", "0", "0.7", "-0.2", Seed<7u>, 250},
      {"3.3", "0.1", "1", "0.3", Seed<0xffffffffu>, 250},
      {"0.0015", "0.01", "1", "0", Seed<12345u>, 200},
      {"-1.5", "0", "1", "0", Seed<99u>, 100},
      {"5", "-0.3", "0.9", "0.1", Seed<0u>, 300, "1.5"},
  };
  Fnv1a64 hash;
  for (const RunCase& c : cases) {
    FixedTexts texts(c.t, c.h, c.j1, c.j2);
    RandomSource random(c.seed);
    SimulationState state;
    Initialise(state, texts, random);
    for (int block = 0; block < c.blocks; ++block) {
      if (c.laterT != nullptr && block == c.blocks / 2) texts.Set(ParameterEdit::Edit1, c.laterT);
      RunSweep(state, texts, random);
      for (const std::int32_t spin : state.lattice.spins) hash.AddInteger(spin > 0 ? 1 : 0, 1);
      hash.AddInteger(random.State(), 4);
      hash.AddInteger(static_cast<std::uint64_t>(state.stepCount), 8);
      hash.AddDouble(state.energyEstimate);
      AddExtended(hash, LatticeSum(state.lattice));
    }
  }
  return hash.Value();
}

// Texts read, then written back by the read-out and by picture patterns; the acceptance weights
// of a range of energy steps and temperatures.
std::uint64_t NumberDigest() {
  const std::initializer_list<const char*> groups[] = {
      // Ordinary values, signs, blanks and the shapes a number may take.
      {"2.269", "0.1", "-0.25", "1", "0", "-0", " 7 ", "0.5e-1", ".5", "5.", "-1234567.891", "0.45",
       "99999.995", "-7.77e-7", "2.5e300", "1e18", "1e19", "6.02214076e23"},
      // Texts that are not numbers.
      {"1,5", "abc"},
      // The ends of the extended range, its subnormals, and the double range.
      {"1e-4940", "3.6e-4951", "1.18e4932", "1.2e4932", "1.7976931348623157e308", "4.9e-324",
       "2.2250738585072014e-308"},
      // More digits than the significand holds, and values near a rounding boundary.
      {"123456789012345678901234567890", "0.000000000000000000001",
       "3.14159265358979323846264338327950288", "9.9999999999999999995", "1.0000000000000000001",
       "0.30000000000000000004"},
  };
  const struct {
    int precision;
    int digits;
  } fixed[] = {{8, 2}, {15, 4}, {18, 18}, {2, 0}};
  const char* const patterns[] = {"#,##0.###",    "0.00E+00", "0.0;(0.0);zero",
                                  "#.##########", "#,##0.0",  "0.000000000000000000"};
  Fnv1a64 hash;
  for (const auto& group : groups) {
    for (const char* text : group) {
      Extended value{};
      const bool parsed = numtext::TryParseFloat(text, value);
      hash.AddInteger(parsed ? 1 : 0, 1);
      if (!parsed) continue;
      AddExtended(hash, value);
      for (const auto& f : fixed) hash.AddText(numtext::FloatToFixed(value, f.precision, f.digits));
      for (const char* pattern : patterns) hash.AddText(numtext::FloatToPattern(pattern, value));
    }
  }
  for (const double t : {0.3, 1.0, 2.269, 7.5, -2.0, 1e-3}) {
    for (const double eloc : {0.0, -0.1, -0.75, -1.3, -4.0, -8.0, -12.6}) {
      AddExtended(hash, AcceptanceWeight(eloc, t));
    }
  }
  return hash.Value();
}

// On a mismatch the actual value is printed: a deliberate change of the numbers fixes it anew.
TEST(Digest, LongRunGivesTheFixedBits) {
  numtext::ProcessNumberFormat() = {'.', ','};
  EXPECT_EQ(Hex(RunDigest()), "0x4648456a9a2d4e66");
}

TEST(Digest, NumberTextsGiveTheFixedBits) {
  numtext::ProcessNumberFormat() = {'.', ','};
  EXPECT_EQ(Hex(NumberDigest()), "0x21c40fb3e5340150");
}

}  // namespace
}  // namespace vellora::sim
