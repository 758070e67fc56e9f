#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "base/errors.h"
#include "chart/chart.h"
#include "fake_canvas.h"
#include "numtext/number_format.h"

namespace vellora::chart {
namespace {

using testing::FakeCanvas;

class AxisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numtext::ProcessNumberFormat() = numtext::NumberFormat{'.', ','};
    chart.onRepaintRequest = [this] { ++repaints; };
  }

  // A fixed range laid out over `length` pixels from pixel 10.
  TChartAxis& Fixed(TChartAxis& axis, double minimum, double maximum, int length,
                    double increment = 0) {
    axis.SetAutomatic(false);
    if (minimum > axis.Maximum()) {
      axis.SetMaximum(maximum);
      axis.SetMinimum(minimum);
    } else {
      axis.SetMinimum(minimum);
      axis.SetMaximum(maximum);
    }
    axis.SetIncrement(increment);
    axis.UpdateRange();
    axis.PlaceOnChartRect({10, 10, 10 + length, 10 + length});
    return axis;
  }

  std::vector<double> LabelValues(const TChartAxis& axis) {
    std::vector<double> values;
    axis.ForEachLabelValue(canvas, [&](double v, int, const std::string&) { values.push_back(v); });
    return values;
  }

  TChart chart;
  FakeCanvas canvas;
  int repaints = 0;
};

TEST_F(AxisTest, RangeSettersAcceptEqualBoundsAndRefuseCrossedOnes) {
  TChartAxis& axis = chart.BottomAxis();
  axis.SetMaximum(25);
  axis.SetMinimum(25);
  EXPECT_EQ(axis.Minimum(), 25);
  axis.SetMinimum(0);

  const struct {
    bool minimum;
    double value;
    const char* message;
  } refused[] = {
      {true, std::nextafter(25.0, 30.0), "Axis Minimum Value must be <= Maximum"},
      {false, std::nextafter(0.0, -1.0), "Axis Maximum Value must be >= Minimum"},
  };
  for (const auto& c : refused) {
    const int before = repaints;
    try {
      if (c.minimum) {
        axis.SetMinimum(c.value);
      } else {
        axis.SetMaximum(c.value);
      }
      ADD_FAILURE() << "accepted " << c.value;
    } catch (const AxisException& error) {
      EXPECT_EQ(error.Message(), c.message);
    }
    EXPECT_EQ(axis.Minimum(), 0);
    EXPECT_EQ(axis.Maximum(), 25);
    EXPECT_EQ(repaints, before);
  }
  axis.SetMaximum(0);
  EXPECT_EQ(axis.Maximum(), 0);

  try {
    axis.SetIncrement(-std::numeric_limits<double>::denorm_min());
    ADD_FAILURE();
  } catch (const AxisException& error) {
    EXPECT_EQ(error.Message(), "Axis increment must be >= 0");
  }
  EXPECT_EQ(axis.Increment(), 0);
}

TEST_F(AxisTest, SettersRepaintOnlyOnChange) {
  TChartAxis& axis = chart.LeftAxis();
  axis.SetMaximum(1);
  EXPECT_EQ(repaints, 1);
  axis.SetMaximum(1);
  axis.SetMinimum(0);
  axis.SetIncrement(0);
  axis.SetAutomatic(true);
  EXPECT_EQ(repaints, 1);
  axis.SetMinimum(-1);
  EXPECT_EQ(repaints, 2);
}

TEST_F(AxisTest, LoadingSkipsTheChecks) {
  chart.BeginLoading();
  chart.BottomAxis().SetMinimum(30);
  chart.EndLoading();
  EXPECT_EQ(chart.BottomAxis().Minimum(), 30);
  EXPECT_EQ(repaints, 0);
  EXPECT_THROW(chart.BottomAxis().SetMinimum(31), AxisException);
}

TEST_F(AxisTest, AutomaticFlagsFollowEachOther) {
  TChartAxis& axis = chart.LeftAxis();
  axis.SetAutomatic(false);
  EXPECT_FALSE(axis.AutomaticMinimum());
  EXPECT_FALSE(axis.AutomaticMaximum());
  axis.SetAutomaticMinimum(true);  // the maximum is still fixed
  EXPECT_FALSE(axis.Automatic());
  axis.SetAutomaticMaximum(true);
  EXPECT_TRUE(axis.Automatic());
  axis.SetAutomaticMaximum(false);
  EXPECT_FALSE(axis.Automatic());
  EXPECT_TRUE(axis.AutomaticMinimum());
}

TEST_F(AxisTest, SetRangeOrdersAndWidensWithoutChecks) {
  TChartAxis& axis = chart.BottomAxis();
  axis.SetRange(5, 2);
  EXPECT_EQ(axis.Minimum(), 2);
  EXPECT_EQ(axis.Maximum(), 5);
  EXPECT_FALSE(axis.Automatic() || axis.AutomaticMinimum() || axis.AutomaticMaximum());
  axis.SetRange(-40, -40);
  EXPECT_EQ(axis.Minimum(), -40);
  EXPECT_EQ(axis.Maximum(), -40 + 1e-10);
}

TEST_F(AxisTest, UpdateRangeTakesTheAutomaticRangeFromTheSeries) {
  TLineSeries& series = chart.AddSeries();
  TChartAxis& left = chart.LeftAxis();
  left.UpdateRange();
  EXPECT_EQ(left.drawMinimum, 0);
  EXPECT_EQ(left.drawMaximum, 0);
  for (const double y : {-1.5, 2.25, 0.5}) series.AddPoint(series.PointCount(), y);
  const int before = repaints;
  left.UpdateRange();
  EXPECT_EQ(left.drawMinimum, -1.5);
  EXPECT_EQ(left.drawMaximum, 2.25);
  EXPECT_EQ(left.drawRange, 3.75);
  EXPECT_EQ(repaints, before);

  TChartAxis& bottom = Fixed(chart.BottomAxis(), 0, 25, 100);
  EXPECT_EQ(bottom.drawMaximum, 25);  // a fixed axis keeps its range
  left.SetAutomaticMinimum(false);
  left.SetMinimum(-10);
  series.AddPoint(3, -20);
  left.UpdateRange();
  EXPECT_EQ(left.drawMinimum, -10);
  EXPECT_EQ(left.drawMaximum, 2.25);
}

TEST_F(AxisTest, ValueToPixelAndBack) {
  TChartAxis& bottom = Fixed(chart.BottomAxis(), 0, 4, 10);  // pixels 10..20
  TChartAxis& left = Fixed(chart.LeftAxis(), 0, 4, 10);
  const struct {
    double value;
    int horizontal;
    int vertical;
  } cases[] = {
      {0, 10, 20}, {4, 20, 10},     {1, 12, 18},  // 2.5 rounds to even
      {3, 18, 12},                                // 7.5 rounds to even
      {-2, 5, 25}, {1e300, 15, 15},               // too far out: the centre
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bottom.ValueToPixel(c.value), c.horizontal) << c.value;
    EXPECT_EQ(left.ValueToPixel(c.value), c.vertical) << c.value;
  }
  EXPECT_EQ(bottom.PixelToValue(15), 2);
  EXPECT_EQ(left.PixelToValue(15), 2);
  EXPECT_EQ(left.PixelToValue(10), 4);

  TChartAxis& empty = Fixed(chart.BottomAxis(), 3, 3, 10);
  EXPECT_EQ(empty.ValueToPixel(-100), 15);
  empty.PlaceOnChartRect({10, 10, 10, 10});
  EXPECT_EQ(empty.PixelToValue(12), 0);
}

TEST_F(AxisTest, NextNiceStepWalksOneTwoFive) {
  const struct {
    double from, to;
  } cases[] = {{1, 2},  {2, 5},   {5, 10},   {0.5, 1},   {20, 50},   {3, 5},
               {7, 10}, {10, 20}, {50, 100}, {0.2, 0.5}, {0.05, 0.1}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(TChartAxis::NextNiceStep(c.from), c.to) << c.from;
}

// Labels are 6 pixels per character and 13 high here, with 10 % separation.
TEST_F(AxisTest, LabelStepGrowsUntilTheLabelsFit) {
  const struct {
    bool horizontal;
    double minimum, maximum, increment;
    int length;
    double step;
  } cases[] = {
      {true, 0, 25, 5, 287, 5},    {true, 0, 25, 5, 60, 5},  {true, 0, 25, 5, 40, 10},
      {true, 0, 25, 5, 20, 10},    {true, 0, 25, 5, 13, 20}, {true, 0, 100, 5, 40, 50},
      {false, -1, 1, 0, 130, 1},   {false, -1, 1, 0, 20, 2}, {false, 0, 0.5, 0, 130, 0.1},
      {false, -1, 1, 0, 0, 1e-12},  // no room at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.minimum << ".." << c.maximum << " in " << c.length);
    TChart local;
    TChartAxis& axis = c.horizontal ? local.BottomAxis() : local.LeftAxis();
    Fixed(axis, c.minimum, c.maximum, c.length, c.increment);
    EXPECT_DOUBLE_EQ(axis.LabelStep(canvas), c.step);
  }
}

TEST_F(AxisTest, LabelValuesAreTheMultiplesOfTheStepInsideTheRange) {
  const struct {
    bool horizontal;
    double minimum, maximum, increment;
    std::vector<double> values;
    std::vector<std::string> texts;
  } cases[] = {
      {true, 0, 25, 5, {25, 20, 15, 10, 5, 0}, {"25", "20", "15", "10", "5", "0"}},
      {true, 3, 28, 5, {25, 20, 15, 10, 5}, {"25", "20", "15", "10", "5"}},
      {false, -1, 1, 0, {1, 0, -1}, {"1", "0", "-1"}},
      {false, -2, 0, 0, {0, -1}, {"0", "-1"}},  // the minimum below -1 is not labelled
      {false, -2.5, -0.5, 0, {-1, -2}, {"-1", "-2"}},
      {false, 0.2, 0.8, 0, {}, {}},  // whole-number steps: nothing inside
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.minimum << ".." << c.maximum);
    TChart local;
    TChartAxis& axis = c.horizontal ? local.BottomAxis() : local.LeftAxis();
    Fixed(axis, c.minimum, c.maximum, 287, c.increment);
    if (!c.horizontal) axis.SetIncrement(1);
    std::vector<double> values;
    std::vector<std::string> texts;
    axis.ForEachLabelValue(canvas, [&](double v, int, const std::string& text) {
      values.push_back(v);
      texts.push_back(text);
    });
    EXPECT_EQ(values, c.values);
    EXPECT_EQ(texts, c.texts);
  }
}

TEST_F(AxisTest, LabelPixelsFollowTheMapping) {
  TChartAxis& bottom = Fixed(chart.BottomAxis(), 0, 25, 250, 5);
  std::vector<int> pixels;
  bottom.ForEachLabelValue(canvas, [&](double, int p, const std::string&) { pixels.push_back(p); });
  EXPECT_EQ(pixels, (std::vector<int>{260, 210, 160, 110, 60, 10}));

  // Without labels on the axis ends, the end values are left out.
  bottom.LabelsOnAxis = false;
  pixels.clear();
  bottom.ForEachLabelValue(canvas, [&](double, int p, const std::string&) { pixels.push_back(p); });
  EXPECT_EQ(pixels, (std::vector<int>{210, 160, 110, 60}));
}

TEST_F(AxisTest, SinglePointAutomaticAxisHasOneLabelAtTheCentre) {
  TLineSeries& series = chart.AddSeries();
  series.AddPoint(1, 0.5);
  TChartAxis& left = chart.LeftAxis();
  left.SetIncrement(1);
  left.SetAxisValuesFormat("#,##0.0##");
  left.UpdateRange();
  left.PlaceOnChartRect({0, 20, 100, 120});
  EXPECT_EQ(left.drawRange, 0);
  EXPECT_EQ(left.ValueToPixel(-7), 70);
  std::vector<std::tuple<double, int, std::string>> labels;
  left.ForEachLabelValue(
      canvas, [&](double v, int p, const std::string& text) { labels.emplace_back(v, p, text); });
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0], std::make_tuple(0.5, 70, std::string("0.5")));

  // Below -1 too (where the lower limit of a proper range would lie just above the value), the
  // one value is the one label: the energy chart labels its first point.
  series.ClearPoints();
  series.AddPoint(1, -1.5);
  left.UpdateRange();
  EXPECT_EQ(LabelValues(left), std::vector<double>{-1.5});
}

// A step below the resolution of the values must not label the same value for ever.
TEST_F(AxisTest, LabelsEndWhenTheStepNoLongerChangesTheValue) {
  TLineSeries& series = chart.AddSeries();
  series.AddPoint(1, 20000);
  TChartAxis& left = chart.LeftAxis();
  left.UpdateRange();
  left.PlaceOnChartRect({0, 20, 100, 120});
  EXPECT_EQ(LabelValues(left), std::vector<double>{20000});
}

TEST_F(AxisTest, RoomOfTicksAndLabels) {
  TChartAxis& left = chart.LeftAxis();
  EXPECT_EQ(left.TickRoom(), 6);
  left.SetTickLength(5);
  EXPECT_EQ(left.TickRoom(), 7);
  left.AxisPen.visible = false;
  EXPECT_EQ(left.TickRoom(), 5);
  left.Ticks.visible = false;
  EXPECT_EQ(left.TickRoom(), 2);
  left.MinorTicks.visible = false;
  EXPECT_EQ(left.TickRoom(), 0);

  EXPECT_EQ(chart.BottomAxis().LabelRoom(canvas), FakeCanvas::kTextHeight);
  // Before the first layout the axis has no length, so the widest label is that of the bare
  // range ends: "-1" and a blank.
  chart.AddSeries();
  TChartAxis& vertical = chart.LeftAxis();
  vertical.SetAutomatic(false);
  vertical.SetMaximum(1);
  vertical.SetMinimum(-1);
  vertical.UpdateRange();
  EXPECT_EQ(vertical.LabelRoom(canvas), 3 * FakeCanvas::kCharWidth);

  // Laid out, the room is that of the wider of the two end values cut toward zero to a multiple
  // of the step, plus a blank.
  const struct {
    double minimum, maximum, increment;
    int length;
    int room;
  } ends[] = {
      {-0.5, 9.7, 0, 130, 12},    // step 2: "0" (not "-2") and "8" (not "10")
      {-3.7, 99.9, 10, 260, 18},  // step 10: "0" (not "-10") and "90" (not "100")
      {-12.5, 3.5, 0, 260, 24},   // step 1: "-12", wider than "3"
  };
  for (const auto& c : ends) {
    Fixed(vertical, c.minimum, c.maximum, c.length, c.increment);
    EXPECT_EQ(vertical.LabelRoom(canvas), c.room) << c.minimum << ".." << c.maximum;
  }

  vertical.LabelsSize = 40;
  EXPECT_EQ(vertical.LabelRoom(canvas), 40);
}

}  // namespace
}  // namespace vellora::chart
