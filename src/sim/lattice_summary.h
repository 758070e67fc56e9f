// The lattice as a physicist reads it (order parameters, patches of each kind of order, clusters
// of one colour) and the sentence a listener hears for the lattice picture. Computed only when
// asked, never per tick.
#pragma once

#include <array>
#include <string>

#include "sim/simulation_state.h"

namespace vellora::sim {

// The four simple orders of this model: all alike (ferromagnet), the checkerboard
// (antiferromagnet), and stripes one spin wide along the rows (each row one colour, the rows
// alternating) or along the columns.
enum class Order { kUniform, kCheckerboard, kRowStripes, kColumnStripes };
constexpr int kOrderCount = 4;

struct Cluster {
  bool up = false;
  int size = 0;
  // It reaches around the torus: along the rows (left to right and back to its start) or
  // along the columns (top to bottom).
  bool wrapsAlongRows = false;
  bool wrapsAlongColumns = false;
};

struct LatticeAnalysis {
  // Spins of +1.
  int up = 0;
  // Nearest-neighbour pairs, each counted once (2 x 10,000 pairs), whose spins differ.
  int unlikePairs = 0;
  // The order parameters, as sums over the sites of the spin times the order's sign pattern:
  // from -10,000 to 10,000 (the magnetisation is the sum of the spins, the staggered one takes
  // every other spin reversed, the stripe ones every other row or column reversed).
  std::array<int, kOrderCount> orderSum{};
  // Sites whose neighbourhood is in an order, by phase: a site is in an order when at most one
  // of its eight neighbours breaks the order's pattern around it. Phase 0 is the phase of the
  // order parameter's sign pattern (for the uniform order, up), phase 1 the other one. The four
  // patterns differ in at least four neighbours, so a site is in one order at most.
  std::array<std::array<int, 2>, kOrderCount> local{};
  // Clusters: connected groups of one colour over nearest neighbours on the torus.
  int clusterCount = 0;
  std::array<int, 2> clustersOfColour{};  // [0] down, [1] up
  Cluster largest;
  // The largest cluster of the colour that the largest is not (size 0 if there is none).
  Cluster largestOther;
  int wrappingAlongRows = 0;     // clusters that wrap along the rows only
  int wrappingAlongColumns = 0;  // clusters that wrap along the columns only
  int wrappingBoth = 0;
  // Clusters of at least 100 spins, by colour.
  std::array<int, 2> largeOfColour{};
  // Clusters of 1 to 9 spins, 10 to 99, 100 to 999 and 1000 or more.
  std::array<int, 4> sizeClasses{};
};

LatticeAnalysis AnalyseLattice(const SpinLattice& lattice);

// The lattice in words, the most telling first and at most about 30 words, numbers as whole
// spins and per cent: the pattern (all one colour, islands in a sea, bands across the lattice,
// large domains, clusters of every size, disorder, a checkerboard or stripes) with its sizes.
std::string DescribeLattice(const SpinLattice& lattice);

}  // namespace vellora::sim
