#include "sim/lattice_summary.h"

#include <algorithm>
#include <vector>

namespace vellora::sim {
namespace {

constexpr int kSide = kLatticeSide;

// 0-based coordinates on the torus: x the column (i - 1), y the row (j - 1).
int Wrap(int k) {
  return (k % kSide + kSide) % kSide;
}

// Each order's sign pattern at (x, y): +1 or -1. Each is a product of signs in x and in y, so
// the pattern at an offset from a site, over the pattern at the site, is the pattern at the
// offset.
int Pattern(int order, int x, int y) {
  switch (static_cast<Order>(order)) {
    case Order::kUniform:
      return 1;
    case Order::kCheckerboard:
      return (x + y) % 2 == 0 ? 1 : -1;
    case Order::kRowStripes:
      return y % 2 == 0 ? 1 : -1;
    case Order::kColumnStripes:
      return x % 2 == 0 ? 1 : -1;
  }
  return 1;
}

void FindClusters(const SpinLattice& lattice, LatticeAnalysis& analysis) {
  auto spin = [&lattice](int x, int y) { return lattice.At(x + 1, y + 1); };
  // Each site of a cluster gets the place it has when the cluster is unrolled from the torus
  // onto the plane; a neighbour met again at another place than one step away means that the
  // cluster reaches around.
  std::vector<int> label(kSiteCount, -1);
  std::vector<int> planeX(kSiteCount);
  std::vector<int> planeY(kSiteCount);
  std::vector<int> stack;
  std::vector<Cluster> clusters;
  static constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int start = 0; start < kSiteCount; ++start) {
    if (label[start] >= 0) continue;
    const int id = static_cast<int>(clusters.size());
    Cluster cluster;
    cluster.up = spin(start / kSide, start % kSide) == 1;
    label[start] = id;
    planeX[start] = start / kSide;
    planeY[start] = start % kSide;
    stack.push_back(start);
    while (!stack.empty()) {
      const int site = stack.back();
      stack.pop_back();
      ++cluster.size;
      const int x = site / kSide;
      const int y = site % kSide;
      for (const auto& step : kSteps) {
        const int nx = Wrap(x + step[0]);
        const int ny = Wrap(y + step[1]);
        if ((spin(nx, ny) == 1) != cluster.up) continue;
        const int next = nx * kSide + ny;
        const int px = planeX[site] + step[0];
        const int py = planeY[site] + step[1];
        if (label[next] < 0) {
          label[next] = id;
          planeX[next] = px;
          planeY[next] = py;
          stack.push_back(next);
        } else {
          if (planeX[next] != px) cluster.wrapsAlongRows = true;
          if (planeY[next] != py) cluster.wrapsAlongColumns = true;
        }
      }
    }
    clusters.push_back(cluster);
  }

  analysis.clusterCount = static_cast<int>(clusters.size());
  for (const Cluster& c : clusters) {
    if (c.size > analysis.largest.size) analysis.largest = c;
  }
  for (const Cluster& c : clusters) {
    ++analysis.clustersOfColour[c.up ? 1 : 0];
    if (c.wrapsAlongRows && c.wrapsAlongColumns) {
      ++analysis.wrappingBoth;
    } else if (c.wrapsAlongRows) {
      ++analysis.wrappingAlongRows;
    } else if (c.wrapsAlongColumns) {
      ++analysis.wrappingAlongColumns;
    }
    if (c.size >= 100) ++analysis.largeOfColour[c.up ? 1 : 0];
    ++analysis.sizeClasses[c.size < 10 ? 0 : c.size < 100 ? 1 : c.size < 1000 ? 2 : 3];
    if (c.up != analysis.largest.up && c.size > analysis.largestOther.size) {
      analysis.largestOther = c;
    }
  }
}

constexpr int kPairCount = 2 * kSiteCount;

// count / total in per cent, rounded half up, in words; a share that is neither none nor all
// never reads as 0 or 100.
std::string PerCent(int count, int total) {
  const int percent = (count * 100 + total / 2) / total;
  if (count > 0 && percent == 0) return "under 1 per cent";
  if (count < total && percent == 100) return "over 99 per cent";
  return std::to_string(percent) + " per cent";
}

std::string Spins(int count) {
  return std::to_string(count) + (count == 1 ? " spin" : " spins");
}

std::string Colour(bool up) {
  return up ? "black" : "white";
}

std::string Facts(const LatticeAnalysis& a) {
  return PerCent(a.up, kSiteCount) + " of spins up, " + PerCent(a.unlikePairs, kPairCount) +
         " of neighbour pairs unlike.";
}

// Sites in the order, both phases.
int Sites(const LatticeAnalysis& a, Order order) {
  const auto& phases = a.local[static_cast<int>(order)];
  return phases[0] + phases[1];
}

std::string Checkerboard(const LatticeAnalysis& a) {
  const auto& phases = a.local[static_cast<int>(Order::kCheckerboard)];
  const int inStep = std::max(phases[0], phases[1]);
  const int outOfStep = std::min(phases[0], phases[1]);
  if (inStep == kSiteCount) return "A perfect checkerboard: every neighbour pair unlike.";
  std::string text =
      "A checkerboard covers " + PerCent(inStep + outOfStep, kSiteCount) + " of the lattice, ";
  if (outOfStep == 0) {
    text += "all in step; ";
  } else {
    text += PerCent(inStep, kSiteCount) + " in step, " + PerCent(outOfStep, kSiteCount) +
            " out of step, with defect lines between; ";
  }
  return text + PerCent(a.unlikePairs, kPairCount) + " of neighbour pairs unlike.";
}

std::string Stripes(const LatticeAnalysis& a) {
  const int alongRows = Sites(a, Order::kRowStripes);
  const int alongColumns = Sites(a, Order::kColumnStripes);
  std::string text = "Stripes one spin wide ";
  if (alongColumns == 0) {
    text += "along the rows cover " + PerCent(alongRows, kSiteCount) + " of the lattice";
  } else if (alongRows == 0) {
    text += "along the columns cover " + PerCent(alongColumns, kSiteCount) + " of the lattice";
  } else {
    text += "cover " + PerCent(alongRows + alongColumns, kSiteCount) +
            " of the lattice, in patches: along the rows " + PerCent(alongRows, kSiteCount) +
            ", along the columns " + PerCent(alongColumns, kSiteCount);
  }
  return text + "; " + PerCent(a.unlikePairs, kPairCount) + " of neighbour pairs unlike.";
}

// How the largest cluster reaches around the torus, or "" if it does not.
std::string Reach(const Cluster& c) {
  if (c.wrapsAlongRows && c.wrapsAlongColumns) return ", reaching around the lattice both ways";
  if (c.wrapsAlongRows) return ", a band along the rows";
  if (c.wrapsAlongColumns) return ", a band along the columns";
  return "";
}

}  // namespace

LatticeAnalysis AnalyseLattice(const SpinLattice& lattice) {
  // The eight neighbours' offsets, and each order's pattern there relative to the site.
  static constexpr int kOffsets[8][2] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1},
                                         {0, 1},   {1, -1}, {1, 0},  {1, 1}};
  int expected[kOrderCount][8];
  for (int order = 0; order < kOrderCount; ++order) {
    for (int n = 0; n < 8; ++n) {
      expected[order][n] = Pattern(order, kOffsets[n][0] + 2, kOffsets[n][1] + 2);
    }
  }
  LatticeAnalysis analysis;
  auto spin = [&lattice](int x, int y) { return lattice.At(Wrap(x) + 1, Wrap(y) + 1); };
  for (int x = 0; x < kSide; ++x) {
    for (int y = 0; y < kSide; ++y) {
      const int s = spin(x, y);
      if (s == 1) ++analysis.up;
      analysis.unlikePairs += (s != spin(x + 1, y)) + (s != spin(x, y + 1));
      int relative[8];
      for (int n = 0; n < 8; ++n) relative[n] = s * spin(x + kOffsets[n][0], y + kOffsets[n][1]);
      for (int order = 0; order < kOrderCount; ++order) {
        int breaks = 0;
        for (int n = 0; n < 8; ++n) breaks += relative[n] != expected[order][n];
        const int phased = s * Pattern(order, x, y);
        analysis.orderSum[order] += phased;
        if (breaks <= 1) ++analysis.local[order][phased == 1 ? 0 : 1];
      }
    }
  }
  FindClusters(lattice, analysis);
  return analysis;
}

std::string DescribeLattice(const SpinLattice& lattice) {
  const LatticeAnalysis a = AnalyseLattice(lattice);
  if (a.up == kSiteCount) return "All spins up (black): one domain fills the lattice.";
  if (a.up == 0) return "All spins down (white): one domain fills the lattice.";

  // Patterns of unlike neighbours first: over them, clusters of one colour say little.
  const int checkerboard = Sites(a, Order::kCheckerboard);
  const int stripes = Sites(a, Order::kRowStripes) + Sites(a, Order::kColumnStripes);
  if ((checkerboard + stripes) * 2 >= kSiteCount) {
    return checkerboard >= stripes ? Checkerboard(a) : Stripes(a);
  }

  // The share of unlike neighbour pairs is the length of the domain walls: from 30 per cent
  // on there are no domains, only clumps; from 12 per cent on, as near the critical point,
  // walls run through clusters of every size.
  const Cluster& largest = a.largest;
  if (a.unlikePairs * 10 >= kPairCount * 3) {
    const int average = (kSiteCount + a.clusterCount / 2) / a.clusterCount;
    return "Disorder: " + std::to_string(a.clusterCount) + " small clusters, " + Spins(average) +
           " on average; " + Facts(a);
  }
  if (a.unlikePairs * 100 >= kPairCount * 12 && largest.size >= 1000) {
    return "Clusters of every size up to " + Spins(largest.size) + Reach(largest) + "; " + Facts(a);
  }
  if (largest.wrapsAlongRows != largest.wrapsAlongColumns) {
    const int bands = largest.wrapsAlongRows ? a.wrappingAlongRows : a.wrappingAlongColumns;
    return std::to_string(bands) + (bands == 1 ? " band runs" : " bands run") +
           " across the lattice along the " + (largest.wrapsAlongRows ? "rows" : "columns") + "; " +
           Facts(a);
  }
  const bool sea = largest.wrapsAlongRows && largest.wrapsAlongColumns;
  if (!sea || a.largestOther.size >= 1000) {
    return "Large domains: " + std::to_string(a.largeOfColour[1]) + " black, " +
           std::to_string(a.largeOfColour[0]) + " white, the largest " + Spins(largest.size) +
           Reach(largest) + "; " + Facts(a);
  }
  const int islands = a.clustersOfColour[largest.up ? 0 : 1];
  std::string text = "Mostly " + Colour(largest.up) + ", with " + std::to_string(islands) + " " +
                     Colour(!largest.up) +
                     (islands == 1 ? " island of " : " islands, the largest ") +
                     Spins(a.largestOther.size) + "; ";
  return text + Facts(a);
}

}  // namespace vellora::sim
