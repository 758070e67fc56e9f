// The one pseudo-random generator of the simulation: a 32-bit linear congruential generator
// whose states are turned into reals in [0, 1) by exact scaling.
#pragma once

#include <cstdint>

#include "base/extended.h"

namespace vellora::sim {

// Low 32 bits of a high-resolution clock (the millisecond tick count when that clock cannot be
// read): differs from run to run. Each platform has its own (clock_seed*.cpp).
std::uint32_t ClockSeed();

class RandomSource {
 public:
  static constexpr std::uint32_t kMultiplier = 0x08088405u;  // 134,775,813
  static constexpr std::uint32_t kIncrement = 1u;
  using SeedFunction = std::uint32_t (*)();

  RandomSource() = default;
  // A source whose SeedFromClock takes its seed from `seed` instead of the clock.
  explicit RandomSource(SeedFunction seed) : seed_(seed) {}

  void SeedFromClock() { state_ = seed_(); }

  // One step of the recurrence; returns the new state k.
  std::uint32_t NextState() {
    state_ = state_ * kMultiplier + kIncrement;
    return state_;
  }
  // Steps once and returns k / 2^32, exactly.
  Extended NextUniform() { return ToUniform(NextState()); }

  std::uint32_t State() const { return state_; }
  void SetState(std::uint32_t state) { state_ = state; }

  static Extended ToUniform(std::uint32_t k) { return Extended(k).Scale(-32); }
  // floor(u x 100) + 1 for u = k / 2^32: the integer part of 100 k / 2^32, plus 1.
  static int SiteIndex(std::uint32_t k) {
    return static_cast<int>((std::uint64_t{k} * 100u) >> 32) + 1;
  }
  // 2 x round(u) - 1 with ties to even: u = 1/2 rounds to 0, so only k above 2^31 gives +1.
  static int SpinValue(std::uint32_t k) { return k > 0x80000000u ? 1 : -1; }

 private:
  std::uint32_t state_ = 0;
  SeedFunction seed_ = ClockSeed;
};

// The process-wide instance the program draws from.
RandomSource& ProcessRandomSource();

}  // namespace vellora::sim
