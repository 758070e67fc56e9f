// Counts that say in a few numbers what the lattice looks like, and the sentence a listener
// hears for the lattice picture.
#pragma once

#include <string>

#include "sim/simulation_state.h"

namespace vellora::sim {

struct LatticeCounts {
  // Spins of +1.
  int up = 0;
  // Nearest-neighbour pairs (each site with its right and its lower neighbour on the torus,
  // 2 x 10,000 pairs) whose spins differ.
  int unlikePairs = 0;
  // Runs of equal spins along the 100 rows and the 100 columns, each line read around the
  // torus: a line with k > 0 unlike pairs holds k runs, a line of one colour holds one.
  int runs = 0;
};

LatticeCounts CountLattice(const SpinLattice& lattice);

// The lattice in words: the share of up spins, whether it is ordered (mostly one colour, or a
// checkerboard) or mixed, the share of unlike neighbour pairs and the patch size, which is the
// mean length of the runs of one colour along rows and columns (20,000 spins over the runs).
std::string DescribeLattice(const SpinLattice& lattice);

}  // namespace vellora::sim
