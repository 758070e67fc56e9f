// A chart in words: its window, the latest, lowest and highest values, how the line moves over
// the window and the trend of the last 5 units.
#include "chart/chart_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vellora::chart {
namespace {

double Jitter(double x) {
  return std::fmod(x, 2) == 0 ? 0.05 : -0.05;
}

const double kScattered[] = {0.6, -0.6, 0.1, 0.12, 0.15, 0.2};

const struct {
  int points;                       // at x = 1, 2, ...
  std::function<double(double)> y;  // of x
  double from, to;
  const char* heard;
} kSeries[] = {
    {0, nullptr, 0, 25, "Time 0 to 25. No points yet."},
    {10, [](double x) { return x / 10; }, 0, 10,
     "Time 0 to 10. Latest value 1.00 at time 10. In this window lowest 0.10, highest 1.00; it "
     "drifts slowly. Over the last 5 time units: rising."},
    {4, [](double x) { return -1.0 - 0.2 * x; }, 1.5, 4,
     "Time 1.5 to 4. Latest value -1.80 at time 4. In this window lowest -1.80, highest -1.40. "
     "Over the last 5 time units: falling."},
    // A small rise against values spread over 1.20 in the window counts as steady.
    {6, [](double x) { return kScattered[static_cast<int>(x) - 1]; }, 0, 25,
     "Time 0 to 25. Latest value 0.20 at time 6. In this window lowest -0.60, highest 0.60. "
     "Over the last 5 time units: steady."},
    {1, [](double) { return 0.5; }, 20, 30,
     "Time 20 to 30. Latest value 0.50 at time 1. No points in this window."},
    // Flat: no rise at all is steady, not rising.
    {25, [](double) { return 1.0; }, 0, 25,
     "Time 0 to 25. Latest value 1.00 at time 25. In this window lowest 1.00, highest 1.00. "
     "Over the last 5 time units: steady."},
    // The floor of 0.02 on the rise over the last 5 units: 0.019 and 0.021.
    {6, [](double x) { return 0.0038 * x; }, 0, 25,
     "Time 0 to 25. Latest value 0.02 at time 6. In this window lowest 0.00, highest 0.02. "
     "Over the last 5 time units: steady."},
    {6, [](double x) { return 0.0042 * x; }, 0, 25,
     "Time 0 to 25. Latest value 0.03 at time 6. In this window lowest 0.00, highest 0.03. "
     "Over the last 5 time units: rising."},
    // Up and down by 0.10 at every point: the last 6 points' line falls by 0.04, within three
    // standard errors. 10 points in the window tell the jitter, 9 do not.
    {25, Jitter, 16, 25,
     "Time 16 to 25. Latest value -0.05 at time 25. In this window lowest -0.05, highest 0.05; "
     "it jitters quickly. Over the last 5 time units: steady."},
    {25, Jitter, 17, 25,
     "Time 17 to 25. Latest value -0.05 at time 25. In this window lowest -0.05, highest 0.05. "
     "Over the last 5 time units: steady."},
    // A spread below 0.02 says nothing of motion.
    {25, [](double x) { return Jitter(x) * 0.19; }, 0, 25,
     "Time 0 to 25. Latest value -0.01 at time 25. In this window lowest -0.01, highest 0.01. "
     "Over the last 5 time units: steady."},
    // Down by 0.02 a step to 0 at x = 13 and up again: steps small against the spread.
    {25, [](double x) { return 0.02 * std::abs(x - 13); }, 0, 25,
     "Time 0 to 25. Latest value 0.24 at time 25. In this window lowest 0.00, highest 0.24; it "
     "drifts slowly. Over the last 5 time units: rising."},
};

TEST(DescribeChartTest, SeriesInWords) {
  for (const auto& c : kSeries) {
    TChart chart;
    TLineSeries& series = chart.AddSeries();
    for (int k = 1; k <= c.points; ++k) series.AddPoint(k, c.y(k));
    chart.BottomAxis().SetRange(c.from, c.to);
    EXPECT_EQ(DescribeChart(chart), c.heard) << c.heard;
  }
}

}  // namespace
}  // namespace vellora::chart
