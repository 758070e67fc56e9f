// The Metropolis sweep: blocks of single-spin-flip attempts and the block's energy estimate.
#pragma once

#include "base/extended.h"
#include "sim/parameters.h"
#include "sim/random_source.h"
#include "sim/simulation_state.h"

namespace vellora::sim {

// One call of the sweep: reads the parameters afresh, then runs `blocksPerSweep` blocks.
void RunSweep(SimulationState& state, const ParameterTexts& texts, RandomSource& random);

// One block of `blockLength` attempts with the parameters as they stand. Afterwards
// `energyEstimate` holds the mean local energy before each attempt, halved, and `stepCount` has
// grown by `blockLength`. An arithmetic fault (T = 0, a value beyond range) raises EZeroDivide,
// EInvalidOp or EOverflow at the attempt where it arises: flips made before it stay, the draws
// made are consumed, `stepCount` is not advanced and `energyEstimate` keeps the partial sum.
void RunBlock(SimulationState& state, RandomSource& random);

// The local energy of a site with spin s, nearest-neighbour sum nn and diagonal sum nnn:
// ((-J1 x nn) x s - (nnn x J2) x s) - s x h with a 64-bit significand, rounded once to double.
// EOverflow beyond the double range.
double LocalEnergy(const ModelParameters& parameters, int s, int nn, int nnn);

// e^x as 2^(y - n) x 2^n with y = x log2(e) and n the nearest integer to y. Below the extended
// range it gives 0 or a subnormal; above it, EOverflow.
Extended ExpExtended(Extended x);

// The acceptance weight w = e^(-(Enew - Eloc) / T) of a flip that does not lower the energy
// (Eloc <= 0, Enew = -Eloc). T = 0 raises EZeroDivide when the flip raises the energy and
// EInvalidOp when it leaves it unchanged.
Extended AcceptanceWeight(double eloc, double temperature);

}  // namespace vellora::sim
