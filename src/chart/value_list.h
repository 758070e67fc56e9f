// One list of numbers of a series (its X or its Y values) with the lowest and highest value
// that automatic axes ask for.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vellora::chart {

enum TChartListOrder { loNone = 0, loAscending = 1, loDescending = 2 };

class TChartValueList {
 public:
  explicit TChartValueList(std::string name, TChartListOrder order = loNone)
      : Name(std::move(name)), order_(order) {}

  std::string Name;

  TChartListOrder Order() const { return order_; }
  void SetOrder(TChartListOrder order) { order_ = order; }
  double Multiplier() const { return multiplier_; }
  void SetMultiplier(double multiplier);

  // Stores x where the order asks for it (equal values go behind) and returns its index.
  int InsertOrdered(double x);
  // Stores v at index, shifting later values up.
  void InsertAt(int index, double v);
  // Stored value times the multiplier.
  double ValueAt(int index) const { return values_[static_cast<std::size_t>(index)] * multiplier_; }
  int ValueCount() const { return static_cast<int>(values_.size()); }
  double LastValue() const { return ValueAt(ValueCount() - 1); }
  // 0 for an empty list.
  double Lowest() const;
  double Highest() const;
  void ClearAll();

  // First index from `from` on whose value is >= x, ValueCount() when there is none. Only
  // meaningful for a list whose values ascend.
  int FirstAtOrAbove(double x, int from = 0) const;

 private:
  void Recompute() const;
  void AddToStatistics(double v) const;

  std::vector<double> values_;
  TChartListOrder order_;
  double multiplier_ = 1.0;
  // Lowest and highest are kept up to date while values are appended and recomputed by one
  // pass after any other change, so a query never rescans a list that only grew at its end.
  mutable double lowest_ = 0.0;
  mutable double highest_ = 0.0;
  mutable bool dirty_ = true;
};

}  // namespace vellora::chart
