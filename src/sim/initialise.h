// The initialisation of a run: counters, parameters, seed and a random lattice.
#pragma once

#include "sim/parameters.h"
#include "sim/random_source.h"
#include "sim/simulation_state.h"

namespace vellora::sim {

// Sets the counters (stepCount 0, blockLength 100,000, blocksPerSweep 1), reads the parameters,
// seeds `random` from its clock and gives every site a random spin, drawing once per site with
// i outer and j inner. A parameter error ends it before the seeding and the fill.
void Initialise(SimulationState& state, const ParameterTexts& texts, RandomSource& random);

}  // namespace vellora::sim
