#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <algorithm>

#include "chart/program_charts.h"
#include "chart/qt/chart_widget.h"
#include "chart/qt/qt_chart_canvas.h"
#include "numtext/number_format.h"
#include "offscreen_main.h"

namespace vellora::chart {
namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);

class QtCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    canvas.BeginDrawing(20, 12);
    canvas.FillRect({0, 0, 20, 12}, clWhite);
  }
  QRgb At(int x, int y) const { return canvas.Image().pixel(x, y); }

  QtChartCanvas canvas;
};

TEST_F(QtCanvasTest, LinesLeaveOutTheirEndPoint) {
  canvas.Line({2, 2}, {8, 2}, {clRed, 1});
  canvas.Line({2, 4}, {8, 4}, {clRed, 1, TPenStyle::psDot});
  canvas.Line({2, 7}, {8, 7}, {clRed, 2});
  canvas.Line({12, 0}, {15, 3}, {clRed, 1});
  canvas.Line({18, 8}, {18, 2}, {clRed, 1});  // upward
  canvas.Line({1, 10}, {19, 10}, {clRed, 1, TPenStyle::psSolid, false});
  canvas.Present();
  const struct {
    int x, y;
    QRgb colour;
  } pixels[] = {
      {2, 2, kRed},   {7, 2, kRed},   {8, 2, kWhite},  {1, 2, kWhite},    // solid
      {2, 4, kRed},   {3, 4, kWhite}, {6, 4, kRed},    {7, 4, kWhite},    // dotted
      {8, 4, kWhite}, {2, 6, kRed},   {7, 7, kRed},    {2, 5, kWhite},    // width 2: rows 6, 7
      {2, 8, kWhite}, {12, 0, kRed},  {14, 2, kRed},   {15, 3, kWhite},   // sloped
      {18, 8, kRed},  {18, 3, kRed},  {18, 2, kWhite}, {10, 10, kWhite},  // invisible pen
  };
  for (const auto& p : pixels) EXPECT_EQ(At(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST_F(QtCanvasTest, FrameIncludesBothCornersAndClipRestricts) {
  canvas.FrameRect({1, 1, 5, 5}, {clBlack, 1});
  canvas.SetClip({0, 0, 10, 12});
  canvas.SetClip({5, 0, 20, 12});  // intersected: columns 5..9
  canvas.Line({0, 9}, {20, 9}, {clRed, 1});
  canvas.ClearClip();
  canvas.Line({0, 11}, {3, 11}, {clRed, 1});
  canvas.Present();
  const QRgb black = qRgb(0, 0, 0);
  for (const auto& [x, y] : {std::pair{1, 1}, {5, 1}, {5, 5}, {1, 5}, {3, 1}, {5, 3}})
    EXPECT_EQ(At(x, y), black) << x << "," << y;
  EXPECT_EQ(At(3, 3), kWhite);
  EXPECT_EQ(At(4, 9), kWhite);
  EXPECT_EQ(At(5, 9), kRed);
  EXPECT_EQ(At(9, 9), kRed);
  EXPECT_EQ(At(10, 9), kWhite);
  EXPECT_EQ(At(0, 11), kRed);
}

TEST_F(QtCanvasTest, TextIsMeasuredAndDrawnInTheFont) {
  canvas.SetFont({"Arial", 8, clBlue});
  const int height = canvas.TextHeight("W");
  EXPECT_GE(height, 11);
  EXPECT_LE(height, 14);
  EXPECT_GT(canvas.TextWidth("WW"), canvas.TextWidth("W"));
  canvas.TextOut(10, 0, "W", THorizontalAlign::Center, TVerticalAlign::Top);
  canvas.Present();
  int blueish = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x)
      if (qBlue(At(x, y)) > qRed(At(x, y)) + 50) ++blueish;
  EXPECT_GT(blueish, 5);
}

TEST_F(QtCanvasTest, InvertingOutlineTwiceRestoresThePixels) {
  // Every column in its own colour, so a pixel inverted twice or left out shows.
  for (int x = 0; x < 20; ++x) canvas.FillRect({x, 0, x + 1, 12}, RgbColour(x * 12, 200 - x, 77));
  const QImage original = canvas.Image().copy();
  const TColor pen = RgbColour(0x12, 0x34, 0x56);
  const QRgb penRgb = qRgb(0x12, 0x34, 0x56);
  const struct {
    TPoint a, b;
  } outlines[] = {
      {{3, 2}, {12, 8}}, {{12, 8}, {3, 2}}, {{5, 5}, {5, 5}},     {{2, 4}, {9, 4}},
      {{7, 1}, {7, 10}}, {{4, 6}, {5, 7}},  {{-5, -3}, {30, 40}}, {{15, 9}, {25, 20}},
  };
  for (const auto& o : outlines) {
    canvas.InvertFrame(o.a, o.b, pen);
    const int left = std::min(o.a.x, o.b.x), right = std::max(o.a.x, o.b.x);
    const int top = std::min(o.a.y, o.b.y), bottom = std::max(o.a.y, o.b.y);
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool inside = left <= x && x <= right && top <= y && y <= bottom;
        const bool onOutline = inside && (x == left || x == right || y == top || y == bottom);
        const QRgb old = original.pixel(x, y);
        const QRgb expected = onOutline ? (~(old ^ penRgb) & 0xFFFFFFu) | 0xFF000000u : old;
        ASSERT_EQ(At(x, y), expected) << x << "," << y << " of " << o.a.x << "," << o.a.y;
      }
    }
    canvas.InvertFrame(o.b, o.a, pen);
    ASSERT_EQ(canvas.Image(), original) << o.a.x << "," << o.a.y;
  }

  // Also on a finished image, as the window has it.
  canvas.Present();
  QtChartCanvas window;
  window.SetImage(canvas.Image());
  window.InvertFrame({1, 1}, {18, 10}, clBlack);
  EXPECT_EQ(window.Image().pixel(1, 1), qRgb(255 - 12, 255 - 199, 255 - 77));
  EXPECT_EQ(canvas.Image(), original);  // the copy is the window's own
  window.InvertFrame({1, 1}, {18, 10}, clBlack);
  EXPECT_EQ(window.Image(), original);
  QtChartCanvas empty;
  empty.InvertFrame({0, 0}, {5, 5}, clBlack);  // nothing to draw on yet
  EXPECT_TRUE(empty.Image().isNull());
}

TEST(QtChart, MagnetizationChartPixels) {
  numtext::ProcessNumberFormat() = numtext::NumberFormat{'.', ','};
  QPalette palette;
  palette.setColor(QPalette::Button, QColor(10, 20, 30));
  palette.setColor(QPalette::Light, QColor(200, 210, 220));
  palette.setColor(QPalette::Dark, QColor(60, 70, 80));
  QtChartCanvas canvas;
  canvas.SetPalette(palette);
  TChart chart;
  ConfigureMagnetizationChart(chart);
  for (int x = 0; x <= 30; ++x) chart.Series(0).AddPoint(x, 0.5);
  chart.BottomAxis().SetMaximum(30);
  chart.BottomAxis().SetMinimum(5);
  chart.DrawChart(canvas);
  const QImage& image = canvas.Image();
  ASSERT_EQ(image.size(), QSize(305, 169));

  EXPECT_EQ(image.pixel(0, 0), qRgb(200, 210, 220));
  EXPECT_EQ(image.pixel(0, 100), qRgb(200, 210, 220));
  EXPECT_EQ(image.pixel(304, 0), qRgb(60, 70, 80));
  EXPECT_EQ(image.pixel(304, 168), qRgb(60, 70, 80));
  EXPECT_EQ(image.pixel(100, 168), qRgb(60, 70, 80));
  EXPECT_EQ(image.pixel(3, 3), qRgb(10, 20, 30));

  const TRect plot = chart.plotRect;
  const QRgb black = qRgb(0, 0, 0);
  // The wall outline shows between the dots of the grid lines drawn over it.
  EXPECT_EQ(image.pixel(plot.right, plot.top + 1), black);
  EXPECT_EQ(image.pixel(plot.left + 1, plot.top), black);
  // The bottom axis line, two pixels wide, ends on the wall's bottom row, where the left
  // axis' grid line at -1 dots it.
  EXPECT_EQ(image.pixel(plot.left + 11, plot.bottom), black);
  EXPECT_EQ(image.pixel(plot.left + 10, plot.bottom), qRgb(128, 128, 128));
  EXPECT_EQ(image.pixel(plot.left + 10, plot.bottom - 1), black);
  EXPECT_EQ(image.pixel(plot.left + 10, plot.bottom + 1), qRgb(10, 20, 30));

  // The line at 0.5 runs across the plot from the column after the wall to the one before
  // the right wall, and not beyond.
  // [-1, 1] over the rows 24 to 144: 0.5 lies three quarters of 120 rows up from the bottom.
  ASSERT_EQ(plot, (TRect{28, 24, 296, 144}));
  const int row = 54;
  EXPECT_EQ(image.pixel(plot.left + 1, row), kRed);
  EXPECT_EQ(image.pixel(plot.right - 1, row), kRed);
  EXPECT_NE(image.pixel(plot.right, row), kRed);
  EXPECT_NE(image.pixel(plot.right + 1, row), kRed);
  EXPECT_NE(image.pixel((plot.left + plot.right) / 2, row - 1), kRed);
}

TEST(QtChart, WidgetRedrawsOnlyAStaleImage) {
  ChartWidget widget;
  ConfigureMagnetizationChart(widget.Chart());
  widget.resize(kProgramChartWidth, kProgramChartHeight);
  TChart& chart = widget.Chart();
  widget.RedrawIfStale();
  EXPECT_FALSE(chart.imageStale);
  EXPECT_EQ(widget.Image().size(), QSize(305, 169));

  // A change made without a repaint request does not show.
  chart.AutoRepaint = false;
  chart.Series(0).AddPoint(0, 0.5);
  chart.Series(0).AddPoint(25, 0.5);
  chart.AutoRepaint = true;
  const QImage before = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(before, widget.Image());
  ASSERT_EQ(chart.plotRect, (TRect{28, 24, 296, 144}));
  const int lineRow = 54;
  EXPECT_NE(widget.Image().pixel(150, lineRow), kRed);

  chart.RequestRepaint();
  EXPECT_TRUE(chart.imageStale);
  const QImage after = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(after.pixel(150, lineRow), kRed);
  EXPECT_FALSE(chart.imageStale);
}

}  // namespace
}  // namespace vellora::chart

int main(int argc, char** argv) {
  return vellora::testsupport::RunOffscreenTests(argc, argv);
}
