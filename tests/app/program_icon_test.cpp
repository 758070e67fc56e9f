#include "app/program_icon.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cmath>

#include "offscreen_main.h"

namespace vellora::app {
namespace {

// The icon is drawn on a 16-unit grid: a blue tile, a 6 x 6 patch of 2-unit cells from (2, 2) to
// (14, 14), up spins black, down spins white, the wall between the two domains lit in amber on
// its white side, half a unit wide.
TEST(ProgramIconTest, CellsLandOnWholePixelsAtEverySize) {
  const QRgb blue = qRgb(0x2c, 0x5a, 0x86);
  const QRgb black = qRgb(0x11, 0x11, 0x11);
  const QRgb white = qRgb(0xff, 0xff, 0xff);
  const struct {
    double x, y;  // in grid units
    QRgb colour;
    const char* what;
  } points[] = {
      {1.0, 8.0, blue, "tile left of the patch"},
      {15.0, 8.0, blue, "tile right of the patch"},
      {8.0, 0.5, blue, "tile above the patch"},
      {3.0, 3.0, black, "top-left cell, in the up domain"},
      {13.0, 3.0, white, "top-right cell, in the down domain"},
      {5.0, 7.0, white, "the flipped spin inside the up domain"},
      {11.0, 9.0, black, "the flipped spin inside the down domain"},
      {3.0, 13.0, black, "bottom-left cell"},
      {13.0, 13.0, white, "bottom-right cell"},
      {9.5, 5.0, white, "a down cell beside the wall, off the amber"},
  };
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QImage image = ProgramIcon().pixmap(size, size).toImage();
    ASSERT_EQ(image.width(), size);
    ASSERT_EQ(image.height(), size);
    const double scale = size / 16.0;
    for (const auto& point : points) {
      const int x = static_cast<int>(std::floor(point.x * scale));
      const int y = static_cast<int>(std::floor(point.y * scale));
      EXPECT_EQ(image.pixel(x, y) & 0xffffffu, point.colour & 0xffffffu)
          << size << " px, " << point.what << " at (" << x << ", " << y << ")";
    }
  }
}

TEST(ProgramIconTest, WallShowsAmberWhereItCoversWholePixels) {
  // Half a unit is 8 pixels at 256 px: the wall beside the top-right down cells, from x = 10 to
  // 10.5 units, and under the up cells of the second row, from y = 4 to 4.5 units.
  const QImage image = ProgramIcon().pixmap(256, 256).toImage();
  const QRgb amber = qRgb(0xf0, 0xa0, 0x10) & 0xffffffu;
  EXPECT_EQ(image.pixel(164, 40) & 0xffffffu, amber);
  EXPECT_EQ(image.pixel(144, 68) & 0xffffffu, amber);
  EXPECT_EQ(image.pixel(168, 40) & 0xffffffu, qRgb(0xff, 0xff, 0xff) & 0xffffffu);
}

TEST(ProgramIconTest, ApplicationIdIsReverseDomain) {
  const QStringList parts = ApplicationId().split(QLatin1Char('.'));
  ASSERT_EQ(parts.size(), 3);
  EXPECT_EQ(parts[2], QStringLiteral("Vellora"));
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::testsupport::RunOffscreenTests(argc, argv);
}
