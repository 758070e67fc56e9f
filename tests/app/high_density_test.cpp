// The window on a denser screen: the picture and the charts drawn at the screen's own pixels,
// shown one image pixel per screen pixel, and the window kept inside a small screen. Built once
// per scale (VELLORA_TEST_SCALE: 2 or 1.5), since the toolkit's scale is fixed for a process.
#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "chart/program_charts.h"
#include "chart/qt/qt_chart_canvas.h"
#include "picture/lattice_drawing.h"
#include "qt_test_support.h"

namespace vellora::app {
namespace {

constexpr double kScale = VELLORA_TEST_SCALE;

// What the scale should give, worked out by hand.
struct Expected {
  double scale;
  int raster;                                  // round(500 r)
  QSize chart;                                 // round(305 r) x round(169 r)
  int titlePixels;                             // 8 points at 96 r pixels per inch
  std::vector<std::pair<int, int>> cellEdges;  // (k, round(5 k r)), halves to even
  QSize screenNative;                          // the test screen in device pixels
  QRect available;                             // the same in logical pixels
  chart::TRect plot;                           // the magnetisation chart's plot, device pixels
  // The zoom to logical (60, 40)-(100, 80): the bottom axis' new ends and the left axis' top.
  double zoomLeft, zoomRight, zoomTop;
};

const Expected& ForThisScale() {
  // clang-format off
  static const Expected cases[] = {
      // The plot spans 543 x 253 device pixels from (49, 42); the drag starts at (120, 80).
      {2, 1000, {610, 338}, 21, {{1, 10}, {37, 370}, {100, 1000}}, {1600, 1000}, {0, 0, 800, 500},
       {49, 42, 592, 295}, 71 * 25 / 543.0, 151 * 25 / 543.0, 1 - 38 * 2 / 253.0},
      // 7.5 k: 7.5 goes to 8, 22.5 to 22, 742.5 to 742. The plot spans 406 x 189 device pixels
      // from (38, 32); the drag starts at (90, 60).
      {1.5, 750, {458, 254}, 16, {{1, 8}, {2, 15}, {3, 22}, {99, 742}, {100, 750}},
       {1920, 1080}, {0, 0, 1280, 720},
       {38, 32, 444, 221}, 52 * 25 / 406.0, 112 * 25 / 406.0, 1 - 28 * 2 / 189.0},
  };
  // clang-format on
  return *std::find_if(std::begin(cases), std::end(cases),
                       [](const Expected& c) { return c.scale == kScale; });
}

// Edge k of a raster `width` pixels wide in integers: k * width / 100, halves to even.
int IntegerEdge(int k, int width) {
  const int quotient = k * width / 100;
  const int twiceRemainder = 2 * (k * width % 100);
  if (twiceRemainder > 100 || (twiceRemainder == 100 && quotient % 2 != 0)) return quotient + 1;
  return quotient;
}

QImage Grab(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Rows from the first to the last that hold a blue pixel (the title's colour, blended into the
// background at the glyphs' edges).
int BlueRows(const QImage& image) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qBlue(pixel) > qRed(pixel) + 80 && qBlue(pixel) > qGreen(pixel) + 80) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

class HighDensityTest : public testing::ShownWindowTest {
 protected:
  const Expected& expected = ForThisScale();
};

TEST_F(HighDensityTest, PictureRasterAtDevicePixelsWithSharpCells) {
  const picture::RasterSurface* surface = form.Image1->Surface();
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->Width(), expected.raster);
  ASSERT_EQ(surface->Height(), expected.raster);

  const auto edges = picture::CellEdges(expected.raster);
  for (const auto& [k, edge] : expected.cellEdges) EXPECT_EQ(edges[k], edge) << k;
  for (int k = 0; k <= sim::kLatticeSide; ++k)
    ASSERT_EQ(edges[k], IntegerEdge(k, expected.raster)) << k;
  // The control shows the raster one pixel per screen pixel, and every cell is one colour
  // there: the spin's.
  const QImage shown = Grab(form.Image1);
  ASSERT_EQ(shown.size(), QSize(expected.raster, expected.raster));
  const sim::SpinLattice& lattice = form.Controller().State().lattice;
  for (int j = 1; j <= sim::kLatticeSide; ++j) {
    for (int i = 1; i <= sim::kLatticeSide; ++i) {
      const picture::Colour colour = lattice.At(i, j) == 1 ? picture::kBlack : picture::kWhite;
      for (int y = edges[j - 1]; y < edges[j]; ++y) {
        for (int x = edges[i - 1]; x < edges[i]; ++x) {
          ASSERT_EQ(surface->PixelAt(x, y), colour) << i << "," << j << " at " << x << "," << y;
          ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, colour) << i << "," << j;
        }
      }
    }
  }
}

TEST_F(HighDensityTest, SavedPictureHasTheRasterSize) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("dense.bmp"));
  form.SetFileChooser([&](QWidget*) -> std::optional<QString> { return path; });
  form.SaveAs1Click();
  EXPECT_EQ(QImage(path).size(), QSize(expected.raster, expected.raster));
}

TEST_F(HighDensityTest, ChartsDrawnAtDeviceSizeAndShownWithoutResampling) {
  for (chart::ChartWidget* widget : {form.Chart1, form.Chart2}) {
    SCOPED_TRACE(widget->objectName().toStdString());
    EXPECT_EQ(widget->size(), QSize(305, 169));
    const QImage shown = Grab(widget);
    ASSERT_EQ(widget->Image().size(), expected.chart);
    EXPECT_EQ(widget->Chart().Width(), expected.chart.width());
    EXPECT_EQ(widget->Chart().Height(), expected.chart.height());
    ASSERT_EQ(shown.size(), expected.chart);
    EXPECT_EQ(shown, widget->Image().convertToFormat(QImage::Format_RGB32));
    // The layout is that of a chart of the device size: the plot starts 3 % of the width in.
    EXPECT_GT(widget->Chart().plotRect.left, expected.chart.width() * 3 / 100);
    EXPECT_EQ(widget->Chart().controlRect.right, expected.chart.width());
  }
}

TEST_F(HighDensityTest, TitleDrawnAtTheDeviceFontSize) {
  EXPECT_EQ(chart::QtChartCanvas::PixelSizeOfPoints(8, kScale), expected.titlePixels);
  EXPECT_EQ(chart::QtChartCanvas::PixelSizeOfPoints(8), 11);

  // The same chart at one pixel per logical pixel, drawn in this process for comparison.
  chart::TChart reference;
  chart::ConfigureMagnetizationChart(reference);
  reference.SetSize(chart::kProgramChartWidth, chart::kProgramChartHeight);
  chart::QtChartCanvas canvas;
  reference.DrawChart(canvas);
  const int rowsAtOne = BlueRows(canvas.Image().convertToFormat(QImage::Format_RGB32));
  const int rowsHere = BlueRows(form.Chart1->Image().convertToFormat(QImage::Format_RGB32));
  ASSERT_GT(rowsAtOne, 5);
  EXPECT_GE(rowsHere, rowsAtOne * kScale * 0.85) << rowsHere << " rows against " << rowsAtOne;
  EXPECT_LE(rowsHere, rowsAtOne * kScale * 1.15) << rowsHere << " rows against " << rowsAtOne;
}

TEST_F(HighDensityTest, MouseDragsInLogicalPixelsMapToTheChartsPixels) {
  chart::ChartWidget* widget = form.Chart1;
  Grab(widget);
  chart::TChart& chart = widget->Chart();
  const chart::TRect plot = chart.plotRect;
  // Logical (60, 40) to (100, 80): device pixels r times those, inside the plot.
  const QPoint from(60, 40);
  const int x0 = static_cast<int>(60 * kScale);
  const int y0 = static_cast<int>(40 * kScale);
  ASSERT_TRUE(plot.left < x0 && x0 < plot.right && plot.top < y0 && y0 < plot.bottom);

  // 12 logical pixels down and right: more than 16 of the chart's pixels at this scale, yet
  // no zoom, since the drag is shorter than 16 of the user's pixels.
  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
  ASSERT_TRUE(chart.zoomDrag.active);
  EXPECT_EQ(chart.zoomDrag.x0, x0);
  EXPECT_EQ(chart.zoomDrag.y0, y0);
  QTest::mouseMove(widget, from + QPoint(12, 12));
  EXPECT_EQ(chart.zoomDrag.x1, static_cast<int>(72 * kScale));
  EXPECT_EQ(chart.zoomDrag.y1, static_cast<int>(52 * kScale));
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(12, 12));
  EXPECT_TRUE(chart.scalesRestored);
  EXPECT_EQ(chart.LeftAxis().Maximum(), 1.0);

  // 40 logical pixels: the axes take the values under the dragged rectangle.
  ASSERT_EQ(plot, expected.plot);
  const double left = expected.zoomLeft;
  const double right = expected.zoomRight;
  const double top = expected.zoomTop;
  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(widget, QPoint(100, 80));
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
  EXPECT_FALSE(chart.scalesRestored);
  EXPECT_EQ(chart.BottomAxis().Minimum(), left);
  EXPECT_EQ(chart.BottomAxis().Maximum(), right);
  EXPECT_EQ(chart.LeftAxis().Maximum(), top);
  chart.RestoreZoom();
}

TEST_F(HighDensityTest, WindowInsideTheScreensAvailableArea) {
  ASSERT_EQ(form.devicePixelRatioF(), kScale);
  const QRect available = form.screen()->availableGeometry();
  ASSERT_EQ(available, expected.available);
  const QRect frame = form.frameGeometry();
  EXPECT_TRUE(available.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  const auto* area = qobject_cast<QScrollArea*>(form.centralWidget());
  ASSERT_NE(area, nullptr);
  if (kScale == 2) {
    // 800 x 500: the window takes the whole area and scrolls the rest.
    EXPECT_EQ(frame, available);
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
  } else {
    // 1280 x 720: the window fits at its place with its size.
    EXPECT_EQ(form.pos(), QPoint(83, 91));
    EXPECT_EQ(form.centralWidget()->size(), QSize(TForm1::kClientWidth, TForm1::kClientHeight));
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
  }
  // The controls keep their places in the client area.
  EXPECT_EQ(form.Image1->geometry(), QRect(8, 8, 500, 500));
  EXPECT_EQ(form.Chart2->geometry(), QRect(552, 192, 305, 169));
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", QByteArray::number(vellora::app::kScale));
  return vellora::app::testing::RunQtTests(argc, argv, vellora::app::ForThisScale().screenNative);
}
