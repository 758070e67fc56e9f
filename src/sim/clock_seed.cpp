// The seed on a desktop system: the monotonic clock in nanoseconds.
#include <time.h>

#include <chrono>

#include "sim/random_source.h"

namespace vellora::sim {

std::uint32_t ClockSeed() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
    const auto nanoseconds = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
                             static_cast<std::uint64_t>(now.tv_nsec);
    return static_cast<std::uint32_t>(nanoseconds);
  }
  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(milliseconds.count());
}

}  // namespace vellora::sim
