#include "sim/lattice_summary.h"

namespace vellora::sim {
namespace {

constexpr int kPairCount = 2 * kSiteCount;

// count / total in per cent, rounded half up; integers only, so the words never depend on the
// number format.
int Percent(int count, int total) {
  return (count * 100 + total / 2) / total;
}

}  // namespace

LatticeCounts CountLattice(const SpinLattice& lattice) {
  LatticeCounts counts;
  int rowUnlike[kLatticeSide] = {};
  int columnUnlike[kLatticeSide] = {};
  for (int i = 1; i <= kLatticeSide; ++i) {
    const int right = i % kLatticeSide + 1;
    for (int j = 1; j <= kLatticeSide; ++j) {
      const std::int32_t spin = lattice.At(i, j);
      if (spin == 1) ++counts.up;
      if (spin != lattice.At(right, j)) ++rowUnlike[j - 1];
      if (spin != lattice.At(i, j % kLatticeSide + 1)) ++columnUnlike[i - 1];
    }
  }
  for (int k = 0; k < kLatticeSide; ++k) {
    counts.unlikePairs += rowUnlike[k] + columnUnlike[k];
    counts.runs +=
        (rowUnlike[k] > 0 ? rowUnlike[k] : 1) + (columnUnlike[k] > 0 ? columnUnlike[k] : 1);
  }
  return counts;
}

std::string DescribeLattice(const SpinLattice& lattice) {
  const LatticeCounts counts = CountLattice(lattice);
  const int upPercent = Percent(counts.up, kSiteCount);
  std::string text = std::to_string(upPercent) + "% of spins up (black), " +
                     std::to_string(100 - upPercent) + "% down (white). ";

  if (counts.up == kSiteCount) {
    text += "Ordered: all up. ";
  } else if (counts.up == 0) {
    text += "Ordered: all down. ";
  } else if (counts.unlikePairs * 10 >= kPairCount * 9) {
    text += "Ordered as a checkerboard: neighbours mostly opposite. ";
  } else if (counts.up * 10 >= kSiteCount * 9) {
    text += "Ordered: mostly up. ";
  } else if (counts.up * 10 <= kSiteCount) {
    text += "Ordered: mostly down. ";
  } else {
    text += "Mixed: both colours. ";
  }

  text += std::to_string(Percent(counts.unlikePairs, kPairCount)) + "% of neighbour pairs unlike. ";
  if (counts.unlikePairs == 0) return text + "One patch of one colour fills the lattice.";
  const int across = (2 * kSiteCount + counts.runs / 2) / counts.runs;
  const char* size = across >= 20 ? "Large" : across >= 5 ? "Medium" : "Small";
  return text + size + " patches, about " + std::to_string(across) +
         (across == 1 ? " spin" : " spins") + " across.";
}

}  // namespace vellora::sim
