#include "sim/random_source.h"

namespace vellora::sim {

// ClockSeed() is the system's: clock_seed_posix.cpp, clock_seed_windows.cpp or clock_seed_web.cpp.

RandomSource& ProcessRandomSource() {
  static RandomSource source;
  return source;
}

}  // namespace vellora::sim
