// The run loop's chart seam bound to a chart: its one series and its bottom axis.
#pragma once

#include "app/seams.h"
#include "chart/chart.h"

namespace vellora::app {

class TChartSink : public ChartSink {
 public:
  explicit TChartSink(chart::TChart& chart) : chart_(chart) {}

  void ClearPoints() override { chart_.Series(0).ClearPoints(); }
  void AppendPoint(double x, double y) override {
    chart_.Series(0).AddPoint(x, y, "", chart::clDefault);
  }
  // Minimum first: each setter checks against the other bound as it stands and may raise
  // AxisException, which leaves the axis as it was.
  void SetBottomWindow(double minimum, double maximum) override {
    chart_.BottomAxis().SetMinimum(minimum);
    chart_.BottomAxis().SetMaximum(maximum);
  }

 private:
  chart::TChart& chart_;
};

}  // namespace vellora::app
