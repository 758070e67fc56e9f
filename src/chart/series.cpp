#include "chart/chart.h"

namespace vellora::chart {

TLineSeries::TLineSeries(TChart* parentChart) : parentChart_(parentChart) {}

void TLineSeries::Changed() {
  if (active_ && parentChart_ != nullptr) parentChart_->RequestRepaint();
}

int TLineSeries::AddPoint(double x, double y, std::string_view label, TColor colour) {
  const int index = XValues.InsertOrdered(x);
  YValues.InsertAt(index, y);
  colours_.insert(colours_.begin() + index, colour);
  if (!label.empty() && labels_.empty()) labels_.resize(colours_.size() - 1);
  if (!labels_.empty()) {
    labels_.insert(labels_.begin() + index,
                   label.empty() ? std::nullopt : std::optional<std::string>(std::string(label)));
  }
  Changed();
  return index;
}

void TLineSeries::ClearPoints() {
  XValues.ClearAll();
  YValues.ClearAll();
  std::vector<TColor>().swap(colours_);
  std::vector<std::optional<std::string>>().swap(labels_);
  Changed();
}

TColor TLineSeries::PointColour(int i) const {
  if (i < 0 || static_cast<std::size_t>(i) >= colours_.size()) return seriesColor_;
  const TColor stored = colours_[static_cast<std::size_t>(i)];
  return stored == clDefault ? seriesColor_ : stored;
}

void TLineSeries::SetSeriesColor(TColor colour) {
  if (colour == seriesColor_) return;
  seriesColor_ = colour;
  Changed();
}

void TLineSeries::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  // Switching a series off changes the picture as much as switching it on.
  if (parentChart_ != nullptr) parentChart_->RequestRepaint();
}

void TLineSeries::SetPointerVisible(bool visible) {
  if (visible == pointerVisible_) return;
  pointerVisible_ = visible;
  Changed();
}

}  // namespace vellora::chart
