#include "sim/random_source.h"

namespace vellora::sim {

// ClockSeed() is the operating system's: clock_seed_posix.cpp or clock_seed_windows.cpp.

RandomSource& ProcessRandomSource() {
  static RandomSource source;
  return source;
}

}  // namespace vellora::sim
