#include "sim/magnetisation.h"

namespace vellora::sim {

Extended LatticeSum(const SpinLattice& lattice) {
  // Every partial sum is a small integer, so an integer total is the same exact value.
  long total = 0;
  for (const std::int32_t spin : lattice.spins) total += spin;
  return Extended(total);
}

}  // namespace vellora::sim
