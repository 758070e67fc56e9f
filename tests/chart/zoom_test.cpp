#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <ostream>

#include "chart/chart.h"
#include "chart/program_charts.h"
#include "fake_canvas.h"
#include "numtext/number_format.h"

namespace vellora::chart {
namespace {

using testing::DrawCall;
using testing::FakeCanvas;
using enum TMouseButton;

// The range settings of one axis, to compare before and after.
struct Scale {
  double minimum;
  double maximum;
  bool automatic;
  bool automaticMinimum;
  bool automaticMaximum;
  friend bool operator==(const Scale&, const Scale&) = default;
  friend void PrintTo(const Scale& s, std::ostream* out) {
    *out << "[" << s.minimum << ", " << s.maximum << "] auto " << s.automatic << s.automaticMinimum
         << s.automaticMaximum;
  }
};

Scale ScaleOf(const TChartAxis& axis) {
  return {axis.Minimum(), axis.Maximum(), axis.Automatic(), axis.AutomaticMinimum(),
          axis.AutomaticMaximum()};
}

std::array<Scale, 4> Scales(TChart& chart) {
  return {ScaleOf(chart.BottomAxis()), ScaleOf(chart.TopAxis()), ScaleOf(chart.LeftAxis()),
          ScaleOf(chart.RightAxis())};
}

class ZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numtext::ProcessNumberFormat() = numtext::NumberFormat{'.', ','};
    ConfigureMagnetizationChart(chart);
    // A flat line near the top of the plot, away from the points the tests press on.
    for (int x = 0; x <= 25; ++x) chart.Series(0).AddPoint(x, 0.9);
    chart.window = &window;
    chart.onRepaintRequest = [this] { ++repaints; };
    Draw();
  }
  void TearDown() override { numtext::ProcessNumberFormat() = savedFormat; }

  // Lays the chart out as the screen shows it, forgetting earlier calls and requests.
  void Draw() {
    chart.DrawChart(canvas);
    canvas.calls.clear();
    window.calls.clear();
    repaints = 0;
  }
  void LeftDrag(TPoint from, TPoint to) {
    chart.MouseDown(mbLeft, from.x, from.y);
    chart.MouseMove((from.x + to.x) / 2, (from.y + to.y) / 2);
    chart.MouseMove(to.x, to.y);
    chart.MouseUp(mbLeft, to.x, to.y);
  }
  TPoint Centre() const {
    return {(chart.plotRect.left + chart.plotRect.right) / 2,
            (chart.plotRect.top + chart.plotRect.bottom) / 2};
  }

  const numtext::NumberFormat savedFormat = numtext::ProcessNumberFormat();
  TChart chart;
  FakeCanvas canvas;
  FakeCanvas window;
  int repaints = 0;
};

TEST_F(ZoomTest, LeftDragsOfSixteenPixelsOrLessChangeNothing) {
  const std::array<Scale, 4> before = Scales(chart);
  const TPoint c = Centre();
  const struct {
    int dx, dy;
  } drags[] = {{16, 40}, {40, 16}, {16, 16}, {-16, -40}, {-40, 16}, {0, 0}, {60, -3}};
  for (const auto& d : drags) {
    LeftDrag(c, {c.x + d.dx, c.y + d.dy});
    EXPECT_EQ(Scales(chart), before) << d.dx << "," << d.dy;
    EXPECT_TRUE(chart.scalesRestored);
    EXPECT_EQ(repaints, 0) << d.dx << "," << d.dy;
    EXPECT_FALSE(chart.zoomDrag.active);
  }
}

TEST_F(ZoomTest, DragRightAndDownZoomsEveryAxisToTheRectangle) {
  ASSERT_EQ(chart.plotRect, (TRect{33, 25, 296, 143}));
  const TPoint from{Centre().x - 40, Centre().y - 20};
  const TPoint to{from.x + 17, from.y + 17};
  // Columns 124 and 141 are 91 and 108 of 263 pixels along [0, 25]; rows 64 and 81 are 39 and
  // 56 of 118 rows down from 1 on [-1, 1].
  const double left = 91 * 25.0 / 263;
  const double right = 108 * 25.0 / 263;
  const double top = 20.0 / 59;
  const double bottom = 3.0 / 59;

  LeftDrag(from, to);
  EXPECT_EQ(ScaleOf(chart.BottomAxis()), (Scale{left, right, false, false, false}));
  EXPECT_EQ(ScaleOf(chart.LeftAxis()), (Scale{bottom, top, false, false, false}));
  // The hidden axes have no scale of their own (every pixel maps to 0); they take the least
  // range and stop being automatic.
  for (const TChartAxis* hidden : {&chart.TopAxis(), &chart.RightAxis()}) {
    EXPECT_EQ(hidden->Minimum(), 0.0);
    EXPECT_DOUBLE_EQ(hidden->Maximum(), 1e-10);
    EXPECT_FALSE(hidden->Automatic());
  }
  EXPECT_FALSE(chart.scalesRestored);
  EXPECT_GE(repaints, 1);
  EXPECT_TRUE(chart.imageStale);

  // The rectangle went on the window at the press, was moved twice and erased at the release.
  const auto inverts = window.Of(DrawCall::Invert);
  const TPoint middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
  const TPoint corners[][2] = {{from, from},   {from, from}, {from, middle},
                               {from, middle}, {from, to},   {from, to}};
  ASSERT_EQ(inverts.size(), std::size(corners));
  for (std::size_t i = 0; i < inverts.size(); ++i) {
    EXPECT_EQ(inverts[i].from, corners[i][0]) << i;
    EXPECT_EQ(inverts[i].to, corners[i][1]) << i;
    EXPECT_EQ(inverts[i].colour, window.btnFaceRgb) << i;
  }
}

TEST_F(ZoomTest, MovesToTheSamePointDrawNothingAndAWhiteChartInvertsInBlack) {
  chart.SetColor(clWhite);
  Draw();
  const TPoint c = Centre();
  chart.MouseDown(mbLeft, c.x, c.y);
  chart.MouseMove(c.x, c.y);
  chart.MouseMove(c.x + 5, c.y + 5);
  chart.MouseMove(c.x + 5, c.y + 5);
  EXPECT_EQ(window.Of(DrawCall::Invert).size(), 3u);
  EXPECT_EQ(window.Of(DrawCall::Invert)[0].colour, clBlack);
  chart.MouseUp(mbRight, c.x, c.y);  // not the zoom button: the drag goes on
  EXPECT_TRUE(chart.zoomDrag.active);
}

TEST_F(ZoomTest, RedrawDuringAZoomDragEndsWithItsRectangle) {
  const TPoint c = Centre();
  chart.MouseDown(mbLeft, c.x, c.y);
  chart.MouseMove(c.x + 30, c.y + 20);
  chart.DrawChart(canvas);
  const auto& calls = canvas.calls;
  ASSERT_GE(calls.size(), 3u);
  const DrawCall& invert = calls[calls.size() - 3];
  EXPECT_EQ(invert.kind, DrawCall::Invert);
  EXPECT_EQ(invert.from, c);
  EXPECT_EQ(invert.to, (TPoint{c.x + 30, c.y + 20}));
  EXPECT_EQ(canvas.Of(DrawCall::Invert).size(), 1u);

  chart.MouseUp(mbLeft, c.x + 30, c.y + 20);
  canvas.calls.clear();
  chart.DrawChart(canvas);
  EXPECT_TRUE(canvas.Of(DrawCall::Invert).empty());
}

TEST_F(ZoomTest, DragsUpOrLeftUndo) {
  const std::array<Scale, 4> original = Scales(chart);
  const TPoint c = Centre();
  const struct { int dx, dy; } undoDrags[] = {{-30, -30}, {30, -30}, {-30, 30}};
  for (const auto& d : undoDrags) {
    LeftDrag({c.x - 30, c.y - 30}, {c.x + 30, c.y + 30});
    ASSERT_NE(Scales(chart), original);
    Draw();
    LeftDrag(c, {c.x + d.dx, c.y + d.dy});
    EXPECT_TRUE(chart.scalesRestored);
    EXPECT_GE(repaints, 1);
    // Automatic axes take their range from the series again at the layout.
    Draw();
    EXPECT_EQ(Scales(chart), original) << d.dx << "," << d.dy;
  }

  // With nothing saved an undo only asks for a repaint.
  LeftDrag(c, {c.x - 30, c.y - 30});
  EXPECT_EQ(Scales(chart), original);
  EXPECT_GE(repaints, 1);
  EXPECT_TRUE(chart.imageStale);
}

TEST_F(ZoomTest, TwoZoomsAndOneUndoReturnToTheScalesBeforeTheFirstZoom) {
  const std::array<Scale, 4> original = Scales(chart);
  const TPoint c = Centre();
  LeftDrag({c.x - 60, c.y - 40}, {c.x + 60, c.y + 40});
  Draw();
  const std::array<Scale, 4> first = Scales(chart);
  LeftDrag({c.x - 20, c.y - 20}, {c.x + 20, c.y + 20});
  Draw();
  ASSERT_NE(Scales(chart), first);
  // The second zoom narrowed the first one's range.
  EXPECT_GT(chart.BottomAxis().Minimum(), first[0].minimum);
  EXPECT_LT(chart.BottomAxis().Maximum(), first[0].maximum);
  LeftDrag(c, {c.x - 20, c.y - 20});
  Draw();
  EXPECT_EQ(Scales(chart), original);
}

TEST_F(ZoomTest, WhatAPressHits) {
  const TRect plot = chart.plotRect;
  ASSERT_EQ(plot, (TRect{33, 25, 296, 143}));
  const TChartAxis& bottom = chart.BottomAxis();
  const TChartAxis& left = chart.LeftAxis();
  const int lineRow = 31;  // 0.9 lies 1.9 / 2 of the 118 rows up from row 143: 112.1
  const struct {
    TPoint point;
    THitPart part;
  } presses[] = {
      {{150, 12}, THitPart::Title},                    // the title text
      {{5, 80}, THitPart::None},                       // left margin
      {{20, 80}, THitPart::None},                      // left labels
      {{300, 80}, THitPart::None},                     // right margin
      {{150, 155}, THitPart::None},                    // bottom labels
      {{150, 3}, THitPart::None},                      // above the title
      {{150, 80}, THitPart::PlotRect},                 // inside the plot
      {{plot.left, plot.top}, THitPart::Axis},         // on the left axis band
      {{left.labelsPixel, 80}, THitPart::Axis},        // its outer edge is in
      {{left.axisPixel + 2, 80}, THitPart::Axis},      // and reaches 2 pixels in
      {{left.axisPixel + 3, 80}, THitPart::PlotRect},  // but not 3
      {{150, bottom.axisPixel - 3}, THitPart::Axis},   // bottom band reaches 3 up
      {{150, bottom.axisPixel - 4}, THitPart::PlotRect},
      {{150, bottom.labelsPixel - 1}, THitPart::Axis},
      {{150, bottom.labelsPixel}, THitPart::None},  // far edge out
      {{bottom.endPixel, bottom.axisPixel}, THitPart::None},
      {{150, lineRow}, THitPart::Series},
      {{150, lineRow - 1}, THitPart::PlotRect},
  };
  for (const auto& press : presses) {
    EXPECT_EQ(chart.HitTest(press.point.x, press.point.y), press.part)
        << press.point.x << "," << press.point.y;
    chart.MouseDown(mbLeft, press.point.x, press.point.y);
    const bool starts = press.part != THitPart::None && press.part != THitPart::Title;
    EXPECT_EQ(chart.zoomDrag.active, starts) << press.point.x << "," << press.point.y;
    chart.MouseUp(mbLeft, press.point.x, press.point.y);
    chart.MouseDown(mbRight, press.point.x, press.point.y);
    EXPECT_EQ(chart.panningDrag.active, starts) << press.point.x << "," << press.point.y;
    chart.MouseUp(mbRight, press.point.x, press.point.y);
  }
  EXPECT_EQ(repaints, 0);
}

TEST_F(ZoomTest, TheLineIsHitWhereItRunsEvenOutsideThePlot) {
  TChart lines;
  ConfigureMagnetizationChart(lines);
  TLineSeries& gentle = lines.Series(0);
  TLineSeries& steep = lines.AddSeries();
  for (int k = 0; k < 30; ++k) {
    const double x = k + 0.5;
    gentle.AddPoint(x, -1 + 0.06 * x);
    steep.AddPoint(x, -1 + 0.1 * x);
  }
  lines.DrawChart(canvas);
  ASSERT_EQ(lines.plotRect, (TRect{33, 25, 296, 143}));
  auto hit = [&lines](TPoint p) { return lines.HitTest(p.x, p.y); };
  // Points (x, y) lie at column 33 + x * 263 / 25 and row 143 - (y + 1) * 118 / 2, rounded.

  // The gentle line runs on to its first point beyond the right edge, in the right margin,
  // and no further: (25.5, 0.53) at 301.26, 52.73.
  const TPoint beyond{301, 53};
  ASSERT_GT(beyond.x, lines.plotRect.right);
  ASSERT_LT(beyond.x, lines.Width());
  EXPECT_EQ(hit(beyond), THitPart::Series);
  EXPECT_EQ(hit({beyond.x, beyond.y + 4}), THitPart::None);
  EXPECT_EQ(hit({beyond.x + 2, beyond.y}), THitPart::None);

  // Between two points, (10.5, -0.37) and (11.5, -0.31): on the segment, and just beside it.
  const TPoint a{143, 106};
  const TPoint b{154, 102};
  ASSERT_GE(a.y - b.y, 3);
  const TPoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
  EXPECT_EQ(hit(middle), THitPart::Series);
  EXPECT_EQ(hit({middle.x, middle.y - 2}), THitPart::PlotRect);

  // The steep line climbs out of the plot across the title, and is found there first: (22.5,
  // 1.25) at 269.7, 10.25.
  const TPoint overTitle{270, 10};
  ASSERT_GE(overTitle.y, lines.titleRect.top);
  ASSERT_LT(overTitle.y, lines.titleRect.bottom);
  EXPECT_EQ(hit(overTitle), THitPart::Series);
  EXPECT_EQ(hit({overTitle.x + 3, overTitle.y}), THitPart::Title);

  // An inactive series is not hit, and without an active series the plot starts nothing.
  steep.SetActive(false);
  EXPECT_EQ(hit(overTitle), THitPart::Title);
  gentle.SetActive(false);
  EXPECT_EQ(hit(middle), THitPart::None);
}

TEST_F(ZoomTest, RightDragPansByThePointersMovementInValues) {
  const TPoint c = Centre();
  const struct {
    TPanningMode mode;
    bool horizontal, vertical;
  } modes[] = {{pmBoth, true, true}, {pmHorizontal, true, false}, {pmVertical, false, true}};
  for (const auto& m : modes) {
    TChart local;
    ConfigureMagnetizationChart(local);
    local.Series(0).AddPoint(0, 0);
    local.AllowPanning = m.mode;
    local.DrawChart(canvas);
    const TChartAxis& bottom = local.BottomAxis();
    const TChartAxis& left = local.LeftAxis();
    ASSERT_EQ(local.plotRect, (TRect{33, 25, 296, 143}));
    // 7 of 263 columns along [0, 25]; 5 of 118 rows along [-1, 1].
    const double dx = -7 * 25.0 / 263;
    const double dy = -5 * 2.0 / 118;
    local.MouseDown(mbRight, c.x, c.y);
    local.MouseMove(c.x + 4, c.y - 2);
    local.MouseMove(c.x + 7, c.y - 5);
    EXPECT_FALSE(local.scalesRestored);
    local.MouseUp(mbRight, c.x + 7, c.y - 5);
    EXPECT_FALSE(local.panningDrag.active);
    // Dragged right and up: the values move left and down under the pointer.
    EXPECT_NEAR(bottom.Minimum(), m.horizontal ? dx : 0.0, 1e-12);
    EXPECT_NEAR(bottom.Maximum(), m.horizontal ? 25 + dx : 25.0, 1e-12);
    EXPECT_NEAR(left.Minimum(), m.vertical ? -1 + dy : -1.0, 1e-12);
    EXPECT_NEAR(left.Maximum(), m.vertical ? 1 + dy : 1.0, 1e-12);
    EXPECT_TRUE(!m.horizontal || dx < 0);
    EXPECT_TRUE(!m.vertical || dy < 0);

    // Panning is undone like a zoom.
    local.DrawChart(canvas);
    local.MouseDown(mbLeft, c.x, c.y);
    local.MouseUp(mbLeft, c.x - 20, c.y - 20);
    EXPECT_EQ(bottom.Minimum(), 0.0);
    EXPECT_EQ(left.Maximum(), 1.0);
  }

  TChart none;
  ConfigureMagnetizationChart(none);
  none.Series(0).AddPoint(0, 0);
  none.AllowPanning = pmNone;
  none.DrawChart(canvas);
  none.MouseDown(mbRight, c.x, c.y);
  EXPECT_FALSE(none.panningDrag.active);
}

TEST_F(ZoomTest, APanEndsForGoodWhenThePointerLeavesThePlot) {
  const TRect plot = chart.plotRect;
  const TPoint c = Centre();
  chart.MouseDown(mbRight, c.x, c.y);
  chart.MouseMove(c.x, c.y);  // not moved: nothing saved, nothing asked
  EXPECT_TRUE(chart.scalesRestored);
  EXPECT_EQ(repaints, 0);
  chart.MouseMove(c.x - 10, c.y);
  const std::array<Scale, 4> panned = Scales(chart);
  EXPECT_GE(repaints, 1);
  chart.MouseMove(plot.right, c.y);  // the right edge is outside
  EXPECT_FALSE(chart.panningDrag.active);
  chart.MouseMove(c.x, c.y);
  chart.MouseMove(c.x - 40, c.y + 10);
  EXPECT_EQ(Scales(chart), panned);

  // Any button's release ends a pan.
  chart.MouseDown(mbRight, c.x, c.y);
  chart.MouseUp(mbMiddle, c.x, c.y);
  EXPECT_FALSE(chart.panningDrag.active);
  // A press while a drag is going on starts nothing else.
  chart.MouseDown(mbLeft, c.x, c.y);
  chart.MouseDown(mbRight, c.x, c.y);
  EXPECT_FALSE(chart.panningDrag.active);
}

TEST_F(ZoomTest, AnAutomaticEnergyAxisStaysAtTheZoomedRange) {
  TChart energy;
  ConfigureEnergyChart(energy);
  for (int x = 1; x <= 20; ++x) energy.Series(0).AddPoint(x, -2.0 + 0.05 * x);
  energy.DrawChart(canvas);
  ASSERT_EQ(energy.LeftAxis().drawMinimum, energy.Series(0).LowestY());
  ASSERT_EQ(energy.LeftAxis().drawMaximum, energy.Series(0).HighestY());
  const TPoint from{energy.plotRect.left + 20, energy.plotRect.top + 10};
  const TPoint to{energy.plotRect.right - 20, energy.plotRect.bottom - 10};
  // Rows 35 and 133 of 25..143, 10 and 108 rows down from -1 on [-1.95, -1].
  ASSERT_EQ(energy.plotRect.top, 25);
  ASSERT_EQ(energy.plotRect.bottom, 143);
  const double top = -1.0805084745762712;
  const double bottom = -1.8694915254237288;
  energy.MouseDown(mbLeft, from.x, from.y);
  energy.MouseUp(mbLeft, to.x, to.y);
  EXPECT_FALSE(energy.LeftAxis().Automatic());

  // New values far outside the range do not widen it.
  energy.Series(0).AddPoint(21, -5.0);
  energy.Series(0).AddPoint(22, 3.0);
  energy.DrawChart(canvas);
  EXPECT_EQ(energy.LeftAxis().drawMinimum, bottom);
  EXPECT_EQ(energy.LeftAxis().drawMaximum, top);

  // The undo makes it automatic again, over all the values.
  energy.MouseDown(mbLeft, to.x, to.y);
  energy.MouseUp(mbLeft, from.x, from.y);
  EXPECT_TRUE(energy.LeftAxis().Automatic());
  energy.DrawChart(canvas);
  EXPECT_EQ(energy.LeftAxis().drawMinimum, -5.0);
  EXPECT_EQ(energy.LeftAxis().drawMaximum, 3.0);
}

}  // namespace
}  // namespace vellora::chart
