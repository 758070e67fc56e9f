#include "chart/value_list.h"

#include <algorithm>

namespace vellora::chart {

void TChartValueList::SetMultiplier(double multiplier) {
  if (multiplier == multiplier_) return;
  multiplier_ = multiplier;
  dirty_ = true;
}

void TChartValueList::AddToStatistics(double v) const {
  if (values_.size() == 1) {
    lowest_ = highest_ = v;
  } else if (v < lowest_) {
    lowest_ = v;
  } else if (v > highest_) {
    highest_ = v;
  }
}

int TChartValueList::InsertOrdered(double x) {
  const int n = ValueCount();
  int index = n;
  if (order_ == loAscending && n > 0 && values_.back() > x) {
    int i = n - 1;
    while (i >= 0 && values_[static_cast<std::size_t>(i)] > x) --i;
    index = i + 1;
  } else if (order_ == loDescending && n > 0 && values_.back() < x) {
    int i = n - 1;
    while (i >= 0 && values_[static_cast<std::size_t>(i)] < x) --i;
    index = i + 1;
  }
  InsertAt(index, x);
  return index;
}

void TChartValueList::InsertAt(int index, double v) {
  const bool append = index == ValueCount();
  values_.insert(values_.begin() + index, v);
  // An append extends the statistics exactly as a rescan in index order would.
  if (append && !dirty_) {
    AddToStatistics(ValueAt(index));
  } else if (append && values_.size() == 1) {
    AddToStatistics(ValueAt(0));
    dirty_ = false;
  } else {
    dirty_ = true;
  }
}

void TChartValueList::Recompute() const {
  lowest_ = highest_ = 0.0;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const double v = values_[i] * multiplier_;
    if (i == 0) {
      lowest_ = highest_ = v;
    } else if (v < lowest_) {
      lowest_ = v;
    } else if (v > highest_) {
      highest_ = v;
    }
  }
  dirty_ = false;
}

double TChartValueList::Lowest() const {
  if (dirty_) Recompute();
  return lowest_;
}

double TChartValueList::Highest() const {
  if (dirty_) Recompute();
  return highest_;
}

void TChartValueList::ClearAll() {
  std::vector<double>().swap(values_);
  lowest_ = highest_ = 0.0;
  dirty_ = false;
}

int TChartValueList::FirstAtOrAbove(double x, int from) const {
  int low = from;
  int high = ValueCount();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (ValueAt(mid) < x) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

}  // namespace vellora::chart
