// The data of the simulation: the spin lattice, the model parameters and the run's counters.
#pragma once

#include <array>
#include <cstdint>

namespace vellora::sim {

constexpr int kLatticeSide = 100;
constexpr int kSiteCount = kLatticeSide * kLatticeSide;

// 100 x 100 spins of +1 (up) or -1 (down), addressed (i, j) with i, j in 1..100: i is the
// picture column from the left, j the row from the top. The 100 spins of one i are contiguous.
// The lattice is a torus: index 100 is followed by index 1 in both directions.
struct SpinLattice {
  std::array<std::int32_t, kSiteCount> spins{};

  static constexpr int Offset(int i, int j) { return (i - 1) * kLatticeSide + (j - 1); }
  std::int32_t& At(int i, int j) { return spins[Offset(i, j)]; }
  std::int32_t At(int i, int j) const { return spins[Offset(i, j)]; }
};

// Read from the edits in the order T, h, J1, J2.
struct ModelParameters {
  double T = 0.0;
  double J1 = 0.0;
  double J2 = 0.0;
  double h = 0.0;
};

struct SimulationState {
  SpinLattice lattice;
  ModelParameters parameters;
  double magnetisationSum = 0.0;
  // Attempted flips since the last Start or initialisation. 64 bits wide so that a run of any
  // length keeps a time axis that grows; 32 bits would wrap after 21,474 blocks.
  std::int64_t stepCount = 0;
  std::int32_t blockLength = 0;
  std::int32_t blocksPerSweep = 0;
  double energyEstimate = 0.0;
};

constexpr std::int32_t kBlockLength = 100'000;

}  // namespace vellora::sim
