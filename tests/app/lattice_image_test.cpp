#include "app/lattice_image.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QTest>

#include "qt_test_support.h"

namespace vellora::app {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

sim::SpinLattice Checkerboard() {
  sim::SpinLattice lattice;
  for (int i = 1; i <= sim::kLatticeSide; ++i) {
    for (int j = 1; j <= sim::kLatticeSide; ++j) lattice.At(i, j) = (i + j) % 2 == 0 ? 1 : -1;
  }
  return lattice;
}

TEST(LatticeImageTest, NoRasterBeforeTheFirstDrawing) {
  LatticeImage image;
  image.resize(500, 500);
  EXPECT_EQ(image.Surface(), nullptr);
  EXPECT_TRUE(image.View().isNull());
}

TEST(LatticeImageTest, DrawingBeforeTheControlIsShownMakesTheRasterAtItsSize) {
  LatticeImage image;
  image.resize(500, 500);
  image.Draw(Checkerboard());
  ASSERT_NE(image.Surface(), nullptr);
  EXPECT_EQ(image.Surface()->Width(), 500);
  EXPECT_EQ(image.Surface()->Height(), 500);
  // Spin (1, 1) is +1: the top-left 5 x 5 block is black; (2, 1) is white.
  EXPECT_EQ(image.Surface()->PixelAt(0, 0), picture::kBlack);
  EXPECT_EQ(image.Surface()->PixelAt(4, 4), picture::kBlack);
  EXPECT_EQ(image.Surface()->PixelAt(5, 0), picture::kWhite);
}

TEST(LatticeImageTest, ShowsTheRasterOneToOneAtTheTopLeftAndRepaintsAtOnce) {
  QWidget window;
  window.resize(600, 560);
  LatticeImage image(&window);
  image.setGeometry(8, 8, 500, 500);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::qWait(20);

  PaintCounter counter;
  image.installEventFilter(&counter);
  sim::SpinLattice lattice = Checkerboard();
  lattice.At(100, 100) = -1;  // was up
  lattice.At(99, 100) = 1;    // was down
  image.Draw(lattice);
  // The control painted before Draw returned, without the event loop running.
  EXPECT_EQ(counter.paints, 1);

  const QImage shown = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(500, 500));
  const QImage raster = image.View().convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < 500; y += 3) {
    for (int x = 0; x < 500; x += 3) {
      ASSERT_EQ(shown.pixel(x, y) & 0xFFFFFF, raster.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
  }
  EXPECT_EQ(shown.pixel(499, 499) & 0xFFFFFF, 0xFFFFFFu);  // spin (100, 100)
  EXPECT_EQ(shown.pixel(494, 499) & 0xFFFFFF, 0u);         // spin (99, 100)
  EXPECT_EQ(shown.pixel(482, 499) & 0xFFFFFF, 0xFFFFFFu);  // spin (97, 100)
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::app::testing::RunQtTests(argc, argv);
}
