// Helpers shared by the simulation tests: fixed edit texts and generator arithmetic.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/parameters.h"
#include "sim/random_source.h"

namespace vellora::sim::testing {

class FixedTexts : public ParameterTexts {
 public:
  FixedTexts(std::string t, std::string h, std::string j1, std::string j2)
      : texts_{std::move(t), std::move(h), std::move(j1), std::move(j2)} {}
  std::string Text(ParameterEdit edit) const override { return texts_[static_cast<int>(edit)]; }
  void Set(ParameterEdit edit, std::string text) {
    texts_[static_cast<int>(edit)] = std::move(text);
  }

 private:
  std::array<std::string, 4> texts_;
};

inline std::uint32_t ZeroSeed() {
  return 0;
}

// The state whose next step gives `k`: the recurrence run backwards.
inline std::uint32_t StateBefore(std::uint32_t k) {
  std::uint32_t inverse = RandomSource::kMultiplier;  // Newton's iteration for the inverse mod 2^32
  for (int round = 0; round < 5; ++round) inverse *= 2u - RandomSource::kMultiplier * inverse;
  return (k - RandomSource::kIncrement) * inverse;
}

// How many steps lead from one state to another (at most `limit`, else -1).
inline long DrawsBetween(std::uint32_t from, std::uint32_t to, long limit = 10'000'000) {
  RandomSource walk;
  walk.SetState(from);
  for (long n = 0; n <= limit; ++n) {
    if (walk.State() == to) return n;
    walk.NextState();
  }
  return -1;
}

}  // namespace vellora::sim::testing
