#include <gtest/gtest.h>

#include "chart/chart.h"

namespace vellora::chart {
namespace {

struct RepaintCounter {
  explicit RepaintCounter(TChart& chart) {
    chart.onRepaintRequest = [this] { ++count; };
  }
  int count = 0;
};

TEST(LineSeries, PointsKeepXOrderWithTheirYColourAndLabel) {
  TChart chart;
  TLineSeries& series = chart.AddSeries();
  EXPECT_EQ(series.AddPoint(1, 10), 0);
  EXPECT_EQ(series.AddPoint(3, 30, "three", clBlue), 1);
  EXPECT_EQ(series.AddPoint(3, 31), 2);  // equal x goes behind
  EXPECT_EQ(series.AddPoint(2, 20, "two", clNone), 1);
  ASSERT_EQ(series.PointCount(), 4);
  const double xs[] = {1, 2, 3, 3};
  const double ys[] = {10, 20, 30, 31};
  const TColor colours[] = {clRed, clNone, clBlue, clRed};
  const bool labelled[] = {false, true, true, false};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(series.XValueAt(i), xs[i]);
    EXPECT_EQ(series.YValueAt(i), ys[i]);
    EXPECT_EQ(series.PointColour(i), colours[i]);
    EXPECT_EQ(series.IsNullPoint(i), colours[i] == clNone);
    EXPECT_EQ(series.PointLabel(i).has_value(), labelled[i]);
  }
  EXPECT_EQ(*series.PointLabel(1), "two");
  EXPECT_EQ(series.LowestX(), 1);
  EXPECT_EQ(series.HighestX(), 3);
  EXPECT_EQ(series.LowestY(), 10);
  EXPECT_EQ(series.HighestY(), 31);
  // Beyond the points the series colour answers.
  EXPECT_EQ(series.PointColour(99), clRed);
}

TEST(LineSeries, ClearPointsEmptiesEveryList) {
  TChart chart;
  TLineSeries& series = chart.AddSeries();
  series.AddPoint(1, 5, "a");
  series.AddPoint(2, 6);
  series.ClearPoints();
  EXPECT_EQ(series.PointCount(), 0);
  EXPECT_EQ(series.HighestY(), 0);
  EXPECT_EQ(series.AddPoint(7, 8), 0);
  EXPECT_FALSE(series.PointLabel(0).has_value());
  EXPECT_EQ(series.LowestX(), 7);
}

TEST(LineSeries, ChangesOfAnActiveSeriesRequestRepaints) {
  TChart chart;
  TLineSeries& series = chart.AddSeries();
  RepaintCounter repaints(chart);
  chart.imageStale = false;
  series.AddPoint(1, 1);
  EXPECT_EQ(repaints.count, 1);
  EXPECT_TRUE(chart.imageStale);
  series.ClearPoints();
  EXPECT_EQ(repaints.count, 2);
  series.SetSeriesColor(clRed);  // unchanged
  EXPECT_EQ(repaints.count, 2);

  series.SetActive(false);
  const int afterSwitch = repaints.count;
  series.AddPoint(2, 2);
  series.ClearPoints();
  EXPECT_EQ(repaints.count, afterSwitch);
}

TEST(LineSeries, NoRepaintWhileAutoRepaintIsOff) {
  TChart chart;
  TLineSeries& series = chart.AddSeries();
  RepaintCounter repaints(chart);
  chart.AutoRepaint = false;
  series.AddPoint(1, 1);
  EXPECT_EQ(repaints.count, 0);
}

}  // namespace
}  // namespace vellora::chart
