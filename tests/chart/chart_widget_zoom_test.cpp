// Zoom and panning through the chart widget with real mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "chart/program_charts.h"
#include "chart/qt/chart_widget.h"
#include "numtext/number_format.h"
#include "offscreen_main.h"

namespace vellora::chart {
namespace {

class ChartWidgetZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numtext::ProcessNumberFormat() = numtext::NumberFormat{'.', ','};
    ConfigureMagnetizationChart(widget.Chart());
    for (int x = 0; x <= 25; ++x) widget.Chart().Series(0).AddPoint(x, 0.9);
    widget.resize(kProgramChartWidth, kProgramChartHeight);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    Show();
  }
  void TearDown() override { numtext::ProcessNumberFormat() = savedFormat; }

  // Paints the widget now, as the event loop would.
  QImage Show() { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  QPoint Centre() const {
    const TRect& plot = widget.Chart().plotRect;
    return {(plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2};
  }
  // The pixels where two images differ.
  static std::vector<QPoint> Differences(const QImage& a, const QImage& b) {
    std::vector<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) points.emplace_back(x, y);
    return points;
  }

  const numtext::NumberFormat savedFormat = numtext::ProcessNumberFormat();
  ChartWidget widget;
};

TEST_F(ChartWidgetZoomTest, LeftDragShowsTheRectangleAndZooms) {
  const TChart& chart = widget.Chart();
  const QPoint from = Centre() - QPoint(40, 30);
  const QPoint to = Centre() + QPoint(40, 30);
  // The plot of a 305 x 169 chart with Liberation Sans labels: 268 pixels for [0, 25] from
  // column 28, 120 pixels for [-1, 1] from row 24. The drag runs from (122, 54) to (202, 114).
  ASSERT_EQ(chart.plotRect, (TRect{28, 24, 296, 144}));
  const double left = 94 * 25 / 268.0;    // 8.7686...
  const double right = 174 * 25 / 268.0;  // 16.231...
  const double top = 0.5;
  const double bottom = -0.5;

  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(&widget, Centre());
  QTest::mouseMove(&widget, to);
  ASSERT_TRUE(chart.zoomDrag.active);
  // On the screen the outline from one corner to the other is inverted, nothing else.
  const QImage dragging = Show();
  const std::vector<QPoint> changed = Differences(dragging, widget.Image());
  EXPECT_EQ(changed.size(), static_cast<std::size_t>(2 * (80 + 1) + 2 * (60 - 1)));
  for (const QPoint& p : changed) {
    const bool onOutline =
        p.x() == from.x() || p.x() == to.x() || p.y() == from.y() || p.y() == to.y();
    EXPECT_TRUE(onOutline) << p.x() << "," << p.y();
  }
  // The chart's colour is not white, so the pen is that colour and the panel under the
  // outline turns white.
  const QRgb face = widget.Image().pixel(from.x(), from.y());
  ASSERT_NE(face & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(dragging.pixel(from), qRgb(255, 255, 255));

  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, to);
  EXPECT_FALSE(chart.zoomDrag.active);
  EXPECT_EQ(chart.BottomAxis().Minimum(), left);
  EXPECT_EQ(chart.BottomAxis().Maximum(), right);
  EXPECT_EQ(chart.LeftAxis().Minimum(), bottom);
  EXPECT_EQ(chart.LeftAxis().Maximum(), top);
  EXPECT_TRUE(chart.imageStale);
  const QImage zoomed = Show();
  EXPECT_EQ(zoomed, widget.Image());
  EXPECT_EQ(zoomed, widget.WindowImage());

  // Dragging up and left undoes it.
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, to);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, from);
  EXPECT_EQ(chart.BottomAxis().Minimum(), 0.0);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 25.0);
  EXPECT_EQ(chart.LeftAxis().Minimum(), -1.0);
}

TEST_F(ChartWidgetZoomTest, ARedrawDuringTheDragKeepsTheRectangleOnScreen) {
  const QImage plain = Show();
  const QPoint from = Centre() - QPoint(20, 20);
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(&widget, Centre());
  const QImage before = Show();
  // A tick changes the chart while the user drags: the new image carries the rectangle.
  widget.Chart().RequestRepaint();
  const QImage redrawn = Show();
  EXPECT_EQ(redrawn, before);
  EXPECT_EQ(redrawn, widget.Image());
  QTest::mouseMove(&widget, Centre() + QPoint(10, 10));
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(5, 5));
  EXPECT_EQ(Show(), plain);
}

TEST_F(ChartWidgetZoomTest, RightDragPansAndEndsOutsideThePlot) {
  const TChart& chart = widget.Chart();
  const QPoint start = Centre();
  // 30 pixels of the 268 that show 25 units.
  ASSERT_EQ(chart.plotRect, (TRect{28, 24, 296, 144}));
  const double step = -30 * 25 / 268.0;
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, start);
  QTest::mouseMove(&widget, start + QPoint(30, 0));
  EXPECT_NEAR(chart.BottomAxis().Minimum(), step, 1e-12);
  EXPECT_NEAR(chart.BottomAxis().Maximum(), 25 + step, 1e-12);
  EXPECT_EQ(chart.LeftAxis().Minimum(), -1.0);
  EXPECT_TRUE(chart.imageStale);
  Show();

  QTest::mouseMove(&widget, QPoint(2, start.y()));  // into the margin
  EXPECT_FALSE(chart.panningDrag.active);
  const double minimum = chart.BottomAxis().Minimum();
  QTest::mouseMove(&widget, start);
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, start);
  EXPECT_EQ(chart.BottomAxis().Minimum(), minimum);
}

}  // namespace
}  // namespace vellora::chart

int main(int argc, char** argv) {
  return vellora::testsupport::RunOffscreenTests(argc, argv);
}
