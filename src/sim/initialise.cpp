#include "sim/initialise.h"

namespace vellora::sim {

void Initialise(SimulationState& state, const ParameterTexts& texts, RandomSource& random) {
  state.stepCount = 0;
  state.blockLength = kBlockLength;
  state.blocksPerSweep = 1;
  ReadParameters(state.parameters, texts);
  random.SeedFromClock();
  for (int i = 1; i <= kLatticeSide; ++i) {
    for (int j = 1; j <= kLatticeSide; ++j) {
      state.lattice.At(i, j) = RandomSource::SpinValue(random.NextState());
    }
  }
}

}  // namespace vellora::sim
