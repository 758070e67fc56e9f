#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chart/chart.h"
#include "chart/program_charts.h"
#include "fake_canvas.h"
#include "numtext/number_format.h"

namespace vellora::chart {
namespace {

using testing::DrawCall;
using testing::FakeCanvas;

class ChartLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { numtext::ProcessNumberFormat() = numtext::NumberFormat{'.', ','}; }

  // The line segments of the series: the lines drawn between the clip and the unclip.
  std::vector<std::pair<TPoint, TPoint>> SeriesLines() const {
    std::vector<std::pair<TPoint, TPoint>> lines;
    bool inside = false;
    for (const DrawCall& call : canvas.calls) {
      if (call.kind == DrawCall::Clip) inside = true;
      if (call.kind == DrawCall::Unclip) inside = false;
      if (inside && call.kind == DrawCall::Line) {
        EXPECT_EQ(call.pen.colour, clRed);
        lines.emplace_back(call.from, call.to);
      }
    }
    return lines;
  }

  std::vector<DrawCall> TextsOfColour(TColor colour) const {
    std::vector<DrawCall> texts;
    for (const DrawCall& call : canvas.Of(DrawCall::Text))
      if (call.colour == colour) texts.push_back(call);
    return texts;
  }

  bool HasLine(TPoint from, TPoint to) const {
    for (const DrawCall& call : canvas.Of(DrawCall::Line))
      if (call.from == from && call.to == to) return true;
    return false;
  }

  TChart chart;
  FakeCanvas canvas;
};

TEST_F(ChartLayoutTest, MagnetizationChartLayout) {
  ConfigureMagnetizationChart(chart);
  chart.DrawChart(canvas);

  // The panel and its raised bevel.
  const auto fills = canvas.Of(DrawCall::Fill);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].rect, (TRect{0, 0, 305, 169}));
  EXPECT_EQ(fills[0].colour, clBtnFace);
  const auto lines = canvas.Of(DrawCall::Line);
  ASSERT_GE(lines.size(), 4u);
  const TColor bevel[] = {clBtnHighlight, clBtnHighlight, clBtnShadow, clBtnShadow};
  const TPoint bevelFrom[] = {{0, 168}, {0, 0}, {304, 0}, {304, 168}};
  const TPoint bevelTo[] = {{0, 0}, {304, 0}, {304, 168}, {-1, 168}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].pen.colour, bevel[i]);
    EXPECT_EQ(lines[i].from, bevelFrom[i]);
    EXPECT_EQ(lines[i].to, bevelTo[i]);
  }

  // The title is centred over the margin rectangle (9, 7)-(296, 162) at its top.
  const auto titles = TextsOfColour(clBlue);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].text, "Magnetization");
  EXPECT_EQ(titles[0].from, (TPoint{(9 + 296) / 2 - 13 * 6 / 2, 7}));

  // Title 13 + 5 from the top; bottom labels 13 and ticks 6; left labels "-1" and a blank, 18,
  // and ticks 6.
  EXPECT_EQ(chart.plotRect, (TRect{33, 25, 296, 143}));
  const auto frames = canvas.Of(DrawCall::Frame);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].rect, chart.plotRect);
  EXPECT_EQ(frames[0].pen.colour, clBlack);
  EXPECT_EQ(chart.BottomAxis().labelsPixel, 149);
  EXPECT_EQ(chart.LeftAxis().labelsPixel, 27);

  const auto labels = TextsOfColour(clBlack);
  std::vector<std::string> texts;
  std::vector<TPoint> positions;
  for (const DrawCall& label : labels) {
    texts.push_back(label.text);
    positions.push_back(label.from);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"25", "20", "15", "10", "5", "0", "1", "0", "-1"}));
  EXPECT_EQ(positions, (std::vector<TPoint>{{296, 149},
                                            {243, 149},
                                            {191, 149},
                                            {138, 149},
                                            {86, 149},
                                            {33, 149},
                                            {27, 25 - 6},
                                            {27, 84 - 6},
                                            {27, 143 - 6}}));
  EXPECT_EQ(labels[0].horizontal, THorizontalAlign::Center);
  EXPECT_EQ(labels[6].horizontal, THorizontalAlign::Right);

  // Axis lines, ticks, grid and minor ticks.
  EXPECT_TRUE(HasLine({33, 143}, {296, 143}));
  EXPECT_TRUE(HasLine({33, 25}, {33, 143}));
  EXPECT_TRUE(HasLine({243, 144}, {243, 148}));
  EXPECT_TRUE(HasLine({32, 84}, {28, 84}));
  EXPECT_TRUE(HasLine({243, 25}, {243, 143}));
  EXPECT_TRUE(HasLine({33, 84}, {296, 84}));
  for (const int minor : {256, 269, 283, 230})
    EXPECT_TRUE(HasLine({minor, 144}, {minor, 146})) << minor;
  EXPECT_FALSE(HasLine({309, 144}, {309, 146}));  // beyond the axis end
  EXPECT_FALSE(HasLine({20, 144}, {20, 146}));
}

TEST_F(ChartLayoutTest, DrawingOrder) {
  ConfigureMagnetizationChart(chart);
  TLineSeries& series = chart.Series(0);
  series.AddPoint(0, 0);
  series.AddPoint(1, 0.5);
  chart.DrawChart(canvas);
  std::string order;
  const char letters[] = "BFRLTCURP";  // Begin Fill fRame Line Text Clip Unclip Reset Present
  for (const DrawCall& call : canvas.calls) {
    const char letter = letters[call.kind];
    if (order.empty() || order.back() != letter) order += letter;
  }
  // Panel, bevel, title, wall, bottom labels and lines, left labels and lines, the clipped
  // series line, reset, present.
  EXPECT_EQ(order, "BFLTRTLTLCLURP");
  EXPECT_FALSE(chart.imageStale);
  const auto clips = canvas.Of(DrawCall::Clip);
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].rect, (TRect{34, 26, 296, 142}));
}

TEST_F(ChartLayoutTest, EnergyChartHasLongerTicksAndDecimalLabels) {
  ConfigureEnergyChart(chart);
  TLineSeries& series = chart.Series(0);
  for (const double y : {-1.25, -2.5, -1.75}) series.AddPoint(series.PointCount() + 1, y);
  chart.DrawChart(canvas);
  chart.DrawChart(canvas = FakeCanvas());
  const TChartAxis& left = chart.LeftAxis();
  EXPECT_EQ(left.drawMinimum, -2.5);
  EXPECT_EQ(left.drawMaximum, -1.25);
  // Labels "-2.0" (24) and a blank, ticks 7.
  EXPECT_EQ(chart.plotRect, (TRect{9 + 30 + 7, 25, 296, 143}));
  std::vector<std::string> texts;
  for (const DrawCall& label : TextsOfColour(clBlack)) texts.push_back(label.text);
  EXPECT_EQ(texts.back(), "-2.0");
  // -2 lies 0.5 / 1.25 of the 118 rows up from the bottom row 143: 47.2 rows.
  EXPECT_TRUE(HasLine({45, 96}, {40, 96}));
}

// The margins are percentages of the control's size rounded half away from zero, at sizes where
// the percentage ends in a half; the title's halvings are truncated, also for odd widths.
TEST_F(ChartLayoutTest, MarginsAndTitlePosition) {
  using enum THorizontalAlign;
  // The plot: the margin rectangle less 13 + 5 below the title, 13 + 6 above the bottom edge and
  // 3 characters and 6 right of the left edge.
  const struct {
    int width, height;
    int margins[4];  // left, top, right, bottom
    int charWidth;
    THorizontalAlign alignment;
    TPoint title;
    TRect plot;
  } cases[] = {
      // 4.5, 2.5, 4.5 and 12.5 pixels: 5, 3, 5 and 13. The title at 75 - 78 / 2.
      {150, 125, {3, 2, 3, 10}, 6, Center, {36, 3}, {29, 21, 145, 93}},
      // The default margins of a chart 350 wide: 10.5 pixels, 11.
      {350, 169, {3, 4, 3, 4}, 6, Center, {136, 7}, {35, 25, 339, 143}},
      // -4.5 and -12.5 pixels: -5 and -13, moving the right and bottom edges out.
      {150, 125, {3, 2, -3, -10}, 6, Center, {41, 3}, {29, 21, 155, 119}},
      // The title 13 x 7 = 91 wide between 9 and 295: 152 - 45, not (304 - 91) / 2.
      {304, 169, {3, 4, 3, 4}, 7, Center, {107, 7}, {36, 25, 295, 143}},
      // Half of a "W" 7 wide is 3: 9 + 3, and 295 - 91 - 3.
      {304, 169, {3, 4, 3, 4}, 7, Left, {12, 7}, {36, 25, 295, 143}},
      {304, 169, {3, 4, 3, 4}, 7, Right, {201, 7}, {36, 25, 295, 143}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.width << " x " << c.height << ", margins " << c.margins[0] << " "
                 << c.margins[1] << " " << c.margins[2] << " " << c.margins[3]);
    TChart local;
    ConfigureMagnetizationChart(local);
    local.SetSize(c.width, c.height);
    local.MarginLeft = c.margins[0];
    local.MarginTop = c.margins[1];
    local.MarginRight = c.margins[2];
    local.MarginBottom = c.margins[3];
    TChartTitle title = local.Title();
    title.Alignment = c.alignment;
    local.SetTitle(title);
    canvas = FakeCanvas();
    canvas.charWidth = c.charWidth;
    local.DrawChart(canvas);
    const auto titles = TextsOfColour(clBlue);
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0].from, c.title);
    EXPECT_EQ(local.plotRect, c.plot);
  }
}

// The minor ticks, three between two labels, go on past the first and the last label as far as
// the axis reaches; an axis with a single label has none. Pixels worked out from the spans:
// bottom 33..296 (45..296 when the left labels are four characters wide), left 25..143.
TEST_F(ChartLayoutTest, MinorTicks) {
  const struct {
    double bottomRange[2], leftRange[2];
    std::vector<int> bottom, left;
  } cases[] = {
      // Bottom labels 25..5 at 264, 212, 159, 107, 54; left labels at the ends.
      {{3, 28},
       {-1, 1},
       {41, 67, 80, 94, 120, 133, 146, 172, 185, 199, 225, 238, 251, 277, 290},
       {40, 54, 69, 99, 113, 128}},
      // Left labels 1, 0, -1 at rows 45, 84, 123: a quarter of 39 rows is 9.75.
      {{0, 25},
       {-1.5, 1.5},
       {57, 70, 83, 107, 120, 133, 158, 171, 183, 208, 221, 234, 258, 271, 284},
       {35, 55, 64, 74, 94, 103, 113, 133}},
      // A single label on each axis: 20 and 0.
      {{19, 21}, {-0.5, 0.5}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "bottom " << c.bottomRange[0] << ".." << c.bottomRange[1]
                                      << ", left " << c.leftRange[0] << ".." << c.leftRange[1]);
    TChart local;
    ConfigureMagnetizationChart(local);
    local.BottomAxis().SetRange(c.bottomRange[0], c.bottomRange[1]);
    local.LeftAxis().SetRange(c.leftRange[0], c.leftRange[1]);
    canvas = FakeCanvas();
    local.DrawChart(canvas);
    // Minor ticks are the lines 2 pixels long: down from the bottom axis, left of the left one.
    std::vector<int> bottom, left;
    for (const DrawCall& line : canvas.Of(DrawCall::Line)) {
      if (line.from.x == line.to.x && line.to.y - line.from.y == 2) bottom.push_back(line.from.x);
      if (line.from.y == line.to.y && line.from.x - line.to.x == 2) left.push_back(line.from.y);
    }
    std::sort(bottom.begin(), bottom.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(bottom, c.bottom);
    EXPECT_EQ(left, c.left);
  }
}

struct LineCase {
  const char* name;
  std::vector<std::tuple<double, double, TColor>> points;
  double bottomMinimum, bottomMaximum;
  std::vector<std::pair<TPoint, TPoint>> lines;
};

// Bottom axis pixels 33..296 for the window, left axis [-1, 1] on rows 143..25.
TEST_F(ChartLayoutTest, SeriesLine) {
  const auto P = [](int x, int y) { return TPoint{x, y}; };
  const LineCase cases[] = {
      {"no points", {}, 0, 25, {}},
      {"two points", {{0, 0, clDefault}, {2, 0.5, clDefault}}, 0, 25, {{P(33, 84), P(54, 55)}}},
      {"same pixel adds nothing",
       {{0, 0, clDefault}, {0.01, 0, clDefault}, {2, 0.5, clDefault}},
       0,
       25,
       {{P(33, 84), P(54, 55)}}},
      {"far-out point skipped without a break",
       {{0, 0, clDefault}, {1, 1000, clDefault}, {2, 0.5, clDefault}},
       0,
       25,
       {{P(33, 84), P(54, 55)}}},
      {"null point breaks the line",
       {{0, 0, clDefault}, {1, 0.5, clNone}, {2, 0, clDefault}, {3, 1, clDefault}},
       0,
       25,
       {{P(54, 84), P(65, 25)}}},
      {"enters at the left edge",
       {{4, 0, clDefault}, {5, 1, clDefault}, {6, 1, clDefault}},
       4.5,
       29.5,
       {{P(33, 55), P(38, 25)}, {P(38, 25), P(49, 25)}}},
      {"all points left of the window", {{1, 0, clDefault}, {2, 0, clDefault}}, 3, 28, {}},
      {"runs out to the first point beyond the right edge",
       {{24, 0, clDefault}, {30, 0, clDefault}, {40, 1, clDefault}},
       0,
       25,
       {{P(285, 84), P(349, 84)}}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    TChart local;
    ConfigureMagnetizationChart(local);
    for (const auto& [x, y, colour] : c.points) local.Series(0).AddPoint(x, y, "", colour);
    local.BottomAxis().SetMaximum(c.bottomMaximum);
    local.BottomAxis().SetMinimum(c.bottomMinimum);
    canvas = FakeCanvas();
    local.DrawChart(canvas);
    ASSERT_EQ(local.plotRect, (TRect{33, 25, 296, 143}));
    EXPECT_EQ(SeriesLines(), c.lines);
  }
}

TEST_F(ChartLayoutTest, TwoTitleLinesMoveThePlotDownTwoLines) {
  ConfigureMagnetizationChart(chart);
  TChartTitle title = chart.Title();
  title.Text = {"Magnetization", "per spin"};
  chart.SetTitle(title);
  chart.DrawChart(canvas);
  EXPECT_EQ(chart.plotRect.top, 7 + 2 * FakeCanvas::kTextHeight + 5);
  const auto titles = TextsOfColour(clBlue);
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[1].from, (TPoint{152 - 8 * 6 / 2, 7 + FakeCanvas::kTextHeight}));
}

TEST_F(ChartLayoutTest, AnAxisWithoutLabelValuesDrawsOnlyItsLine) {
  ConfigureMagnetizationChart(chart);
  chart.LeftAxis().SetMinimum(0.2);
  chart.LeftAxis().SetMaximum(0.8);
  chart.LeftAxis().SetIncrement(1);
  chart.DrawChart(canvas);
  const TRect plot = chart.plotRect;
  EXPECT_TRUE(HasLine({plot.left, plot.top}, {plot.left, plot.bottom}));
  for (const DrawCall& line : canvas.Of(DrawCall::Line)) {
    const bool horizontal = line.from.y == line.to.y && line.from.x != line.to.x;
    // Horizontal lines now only come from the bevel and the bottom axis line.
    if (horizontal) {
      EXPECT_TRUE(line.from.y == 0 || line.from.y == 168 || line.from.y == plot.bottom);
    }
  }
}

TEST_F(ChartLayoutTest, RepaintRequestsMarkTheImageStale) {
  ConfigureMagnetizationChart(chart);
  int requests = 0;
  chart.onRepaintRequest = [&] { ++requests; };
  EXPECT_TRUE(chart.imageStale);
  chart.DrawChart(canvas);
  EXPECT_FALSE(chart.imageStale);
  chart.BottomAxis().SetMinimum(0);  // unchanged
  EXPECT_FALSE(chart.imageStale);
  chart.Series(0).AddPoint(1, 0.25);
  chart.BottomAxis().SetMaximum(26);
  chart.BottomAxis().SetMinimum(1);
  EXPECT_EQ(requests, 3);
  EXPECT_TRUE(chart.imageStale);
}

}  // namespace
}  // namespace vellora::chart
