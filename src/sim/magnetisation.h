// The magnetisation measurement.
#pragma once

#include "base/extended.h"
#include "sim/simulation_state.h"

namespace vellora::sim {

// The sum of all spins: an even integer from -10,000 to 10,000.
Extended LatticeSum(const SpinLattice& lattice);

}  // namespace vellora::sim
