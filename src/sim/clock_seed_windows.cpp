// The seed on Windows: the low 32 bits of the performance counter, the millisecond tick count
// since the system started where the counter cannot be read.
#include <windows.h>

#include "sim/random_source.h"

namespace vellora::sim {

std::uint32_t ClockSeed() {
  LARGE_INTEGER count{};
  if (::QueryPerformanceCounter(&count)) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(count.QuadPart));
  }
  return static_cast<std::uint32_t>(::GetTickCount());
}

}  // namespace vellora::sim
