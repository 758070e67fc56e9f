// The lattice in words, for lattices whose clusters, walls and local orders are counted by hand
// in the comments. Columns i, rows j, both 1 to 100; `up` says where the spins are +1.
#include "sim/lattice_summary.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "sim/initialise.h"
#include "sim_test_support.h"

namespace vellora::sim {
namespace {

bool Odd(int k) {
  return k % 2 == 1;
}
bool Checker(int i, int j) {
  return (i + j) % 2 == 0;
}

const struct {
  const char* what;
  std::function<bool(int, int)> up;
  const char* heard;
} kLattices[] = {
    {"all up", [](int, int) { return true; },
     "All spins up (black): one domain fills the lattice."},
    // 4 unlike pairs of 20,000; 9,999 up.
    {"one spin flipped", [](int i, int j) { return i + j > 2; },
     "Mostly black, with 1 white island of 1 spin; over 99 per cent of spins up, under 1 per "
     "cent of neighbour pairs unlike."},
    // 20 x 10: 60 unlike pairs. 10 x 5: 0.5 per cent rounds up.
    {"one island", [](int i, int j) { return i > 10 && i <= 30 && j > 40 && j <= 50; },
     "Mostly white, with 1 black island of 200 spins; 2 per cent of spins up, under 1 per cent "
     "of neighbour pairs unlike."},
    {"island of 50", [](int i, int j) { return i <= 10 && j <= 5; },
     "Mostly white, with 1 black island of 50 spins; 1 per cent of spins up, under 1 per cent "
     "of neighbour pairs unlike."},
    // 27 x 37 = 999 spins (128 unlike pairs) is an island, 20 x 50 (140) a domain.
    {"island of 999", [](int i, int j) { return i <= 27 && j <= 37; },
     "Mostly white, with 1 black island of 999 spins; 10 per cent of spins up, 1 per cent of "
     "neighbour pairs unlike."},
    {"domain of 1000", [](int i, int j) { return i <= 20 && j <= 50; },
     "Large domains: 1 black, 1 white, the largest 9000 spins, reaching around the lattice both "
     "ways; 10 per cent of spins up, 1 per cent of neighbour pairs unlike."},
    // Two walls of 100 pairs each.
    {"bands along the rows", [](int, int j) { return j <= 50; },
     "2 bands run across the lattice along the rows; 50 per cent of spins up, 1 per cent of "
     "neighbour pairs unlike."},
    {"bands along the columns", [](int i, int) { return i <= 50; },
     "2 bands run across the lattice along the columns; 50 per cent of spins up, 1 per cent of "
     "neighbour pairs unlike."},
    // Four 50 x 50 squares that touch their own colour only at corners; 4 walls of 100 pairs.
    {"quarters", [](int i, int j) { return (i <= 50) == (j <= 50); },
     "Large domains: 2 black, 2 white, the largest 2500 spins; 50 per cent of spins up, 2 per "
     "cent of neighbour pairs unlike."},
    {"checkerboard", Checker, "A perfect checkerboard: every neighbour pair unlike."},
    // Column 50 reversed: 200 pairs alike; columns 49 to 51 break the order around them.
    {"checkerboard, one defect line", [](int i, int j) { return Checker(i, j) != (i == 50); },
     "A checkerboard covers 97 per cent of the lattice, all in step; 99 per cent of neighbour "
     "pairs unlike."},
    // Out of step right of column 50: columns 50, 51, 100 and 1 break the order.
    {"checkerboard, two phases", [](int i, int j) { return Checker(i, j) != (i > 50); },
     "A checkerboard covers 96 per cent of the lattice, 48 per cent in step, 48 per cent out of "
     "step, with defect lines between; 99 per cent of neighbour pairs unlike."},
    // A checkerboard in columns 1 to c, up beyond: (c - 1) x 100 sites in the order, up ones
    // at the edges included. c = 51 is half the lattice; c = 50 leaves single spins, all but the
    // 100 up ones at the edges.
    {"checkerboard on half", [](int i, int j) { return i > 51 || Checker(i, j); },
     "A checkerboard covers 50 per cent of the lattice, all in step; 51 per cent of neighbour "
     "pairs unlike."},
    {"checkerboard under half", [](int i, int j) { return i > 50 || Checker(i, j); },
     "Disorder: 4901 small clusters, 2 spins on average; 75 per cent of spins up, 50 per cent of "
     "neighbour pairs unlike."},
    {"row stripes", [](int, int j) { return Odd(j); },
     "Stripes one spin wide along the rows cover 100 per cent of the lattice; 50 per cent of "
     "neighbour pairs unlike."},
    {"column stripes", [](int i, int) { return Odd(i); },
     "Stripes one spin wide along the columns cover 100 per cent of the lattice; 50 per cent of "
     "neighbour pairs unlike."},
    // Rows in columns 1 to 50, columns beyond: 48 whole columns of each kind, and half of each
    // edge column keeps its order (one neighbour breaks it, not two).
    {"stripe patches", [](int i, int j) { return i <= 50 ? Odd(j) : Odd(i); },
     "Stripes one spin wide cover 98 per cent of the lattice, in patches: along the rows 49 per "
     "cent, along the columns 49 per cent; 50 per cent of neighbour pairs unlike."},
    // Single up spins at odd i and j, the first 1,500 or 1,499 of them with i outer: 4 unlike
    // pairs each, 30 per cent of the pairs or just under.
    {"1500 specks", [](int i, int j) { return Odd(i) && Odd(j) && (i / 2) * 50 + j / 2 < 1500; },
     "Disorder: 1501 small clusters, 7 spins on average; 15 per cent of spins up, 30 per cent of "
     "neighbour pairs unlike."},
    {"1499 specks", [](int i, int j) { return Odd(i) && Odd(j) && (i / 2) * 50 + j / 2 < 1499; },
     "Clusters of every size up to 8501 spins, reaching around the lattice both ways; 15 per cent "
     "of spins up, 30 per cent of neighbour pairs unlike."},
    // Squares of 2 x 2 on a grid of 5, 300 or 299 of them: 8 unlike pairs each, 12 per cent.
    {"300 squares",
     [](int i, int j) {
       return (i - 1) % 5 < 2 && (j - 1) % 5 < 2 && (i - 1) / 5 * 20 + (j - 1) / 5 < 300;
     },
     "Clusters of every size up to 8800 spins, reaching around the lattice both ways; 12 per cent "
     "of spins up, 12 per cent of neighbour pairs unlike."},
    {"299 squares",
     [](int i, int j) {
       return (i - 1) % 5 < 2 && (j - 1) % 5 < 2 && (i - 1) / 5 * 20 + (j - 1) / 5 < 299;
     },
     "Mostly white, with 299 black islands, the largest 4 spins; 12 per cent of spins up, 12 per "
     "cent of neighbour pairs unlike."},
};

TEST(DescribeLatticeTest, ConstructedLattices) {
  for (const auto& c : kLattices) {
    SpinLattice lattice;
    for (int i = 1; i <= kLatticeSide; ++i) {
      for (int j = 1; j <= kLatticeSide; ++j) lattice.At(i, j) = c.up(i, j) ? 1 : -1;
    }
    EXPECT_EQ(DescribeLattice(lattice), c.heard) << c.what;
  }
}

// The fill from the random source's state 0: 4,988 up spins, unlike pairs counted here.
TEST(DescribeLatticeTest, RandomLatticeIsDisorder) {
  RandomSource random(testing::ZeroSeed);
  SimulationState state;
  testing::FixedTexts edits("5.00", "0", "1", "0");
  Initialise(state, edits, random);
  int unlike = 0;
  for (int i = 1; i <= kLatticeSide; ++i) {
    for (int j = 1; j <= kLatticeSide; ++j) {
      unlike += (state.lattice.At(i, j) != state.lattice.At(i % kLatticeSide + 1, j)) +
                (state.lattice.At(i, j) != state.lattice.At(i, j % kLatticeSide + 1));
    }
  }
  const std::string heard = DescribeLattice(state.lattice);
  EXPECT_TRUE(std::regex_match(heard, std::regex("Disorder: [0-9]+ small clusters, [0-9]+ spins on "
                                                 "average; 50 per cent of spins up, " +
                                                 std::to_string((unlike + 100) / 200) +
                                                 " per cent of neighbour pairs unlike\\.")))
      << heard;
}

}  // namespace
}  // namespace vellora::sim
