#include "picture/lattice_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>

namespace vellora::picture {
namespace {

using sim::SpinLattice;

SpinLattice Uniform(std::int32_t spin) {
  SpinLattice lattice;
  lattice.spins.fill(spin);
  return lattice;
}

SpinLattice Random(unsigned seed) {
  std::mt19937 engine(seed);
  SpinLattice lattice;
  for (auto& spin : lattice.spins) spin = (engine() & 1) != 0 ? 1 : -1;
  return lattice;
}

// Cell edge k for a control of `width` pixels, worked out with integers alone: c is the double
// nearest width / 100, so k * c is exactly k * m * 2^e for c's integer significand m.
int ReferenceEdge(int width, int k) {
  int exponent = 0;
  const double fraction = std::frexp(static_cast<double>(width) / 100, &exponent);
  if (fraction == 0) return 0;
  const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = 53 - exponent;  // k * c = k * significand / 2^shift
  const std::uint64_t product = static_cast<std::uint64_t>(k) * significand;
  const std::uint64_t whole = product >> shift;
  const std::uint64_t rest = product - (whole << shift);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  const bool up = rest > half || (rest == half && (whole & 1) != 0);
  return static_cast<int>(whole + (up ? 1 : 0));
}

// The cell index (1-based) of pixel coordinate p, or 0 beyond the last cell.
int CellOf(int width, int p) {
  for (int k = 1; k <= sim::kLatticeSide; ++k) {
    if (p < ReferenceEdge(width, k)) return k;
  }
  return 0;
}

// Every pixel of the surface against the rule: the colour of the spin whose cell holds it,
// white outside all cells; and every padding byte and fourth byte zero.
void ExpectDrawnByRule(const RasterSurface& surface, const SpinLattice& lattice, int width) {
  std::vector<int> cellOf(static_cast<std::size_t>(std::max(surface.Width(), surface.Height())));
  for (std::size_t p = 0; p < cellOf.size(); ++p) cellOf[p] = CellOf(width, static_cast<int>(p));
  int wrong = 0;
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      const int i = cellOf[x];
      const int j = cellOf[y];
      const Colour expected = (i != 0 && j != 0 && lattice.At(i, j) == 1) ? kBlack : kWhite;
      if (surface.PixelAt(x, y) != expected && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") of cell (" << i << ", " << j << ")";
      }
    }
    const std::uint8_t* row = surface.Row(y);
    const int bytesPerPixel = surface.BitsPerPixel() / 8;
    for (std::size_t b = 0; b < surface.BytesPerLine(); ++b) {
      const bool padding = b >= static_cast<std::size_t>(surface.Width()) * bytesPerPixel;
      const bool fourth = bytesPerPixel == 4 && b % 4 == 3;
      if ((padding || fourth) && row[b] != 0 && ++wrong <= 5) {
        ADD_FAILURE() << "byte " << b << " of row " << y << " is not 0";
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(CellEdges, FollowTheRoundingRule) {
  const auto at500 = CellEdges(500);
  for (int k = 0; k <= 100; ++k) EXPECT_EQ(at500[k], 5 * k);

  // c = 6.15 lies a little above 6.15, so the exact products 10c and 30c are just above a half:
  // 62 and 185, where rounding the double product 184.5 would give 184.
  const auto at615 = CellEdges(615);
  const int expected[][2] = {{0, 0},  {1, 6},   {2, 12},   {3, 18},   {4, 25},   {5, 31},
                             {6, 37}, {10, 62}, {30, 185}, {99, 609}, {100, 615}};
  for (const auto& [k, edge] : expected) EXPECT_EQ(at615[k], edge) << "k = " << k;

  for (const int width : {0, 1, 50, 99, 101, 333, 615, 777, 1001}) {
    const auto edges = CellEdges(width);
    for (int k = 0; k <= 100; ++k) {
      ASSERT_EQ(edges[k], ReferenceEdge(width, k)) << "width " << width << ", k = " << k;
    }
  }
}

TEST(DrawLattice, UniformLatticesAreOneColour) {
  struct Case {
    int width, height, bits;
    std::int32_t spin;
    Colour colour;
  };
  const Case cases[] = {{500, 500, 32, 1, kBlack},
                        {500, 500, 32, -1, kWhite},
                        {615, 615, 32, 1, kBlack},
                        {615, 615, 24, 1, kBlack},
                        {615, 615, 24, -1, kWhite}};
  for (const auto& c : cases) {
    RasterSurface surface(c.width, c.height, c.bits);
    DrawLattice(surface, Uniform(-c.spin), c.width);  // the opposite first: all is overwritten
    DrawLattice(surface, Uniform(c.spin), c.width);
    ExpectDrawnByRule(surface, Uniform(c.spin), c.width);
    EXPECT_EQ(surface.PixelAt(c.width - 1, c.height - 1), c.colour);
  }
}

TEST(DrawLattice, CornerSitesAreTheCornerBlocks) {
  struct Case {
    int i, j;
    int left, top;  // the 5 x 5 block at 500 pixels
  };
  const Case cases[] = {{1, 1, 0, 0},         {100, 1, 495, 0}, {1, 100, 0, 495},
                        {100, 100, 495, 495}, {2, 1, 5, 0},     {1, 2, 0, 5}};
  for (const auto& c : cases) {
    SpinLattice lattice = Uniform(-1);
    lattice.At(c.i, c.j) = 1;
    RasterSurface surface(500, 500);
    DrawLattice(surface, lattice, 500);
    int black = 0;
    for (int y = 0; y < 500; ++y) {
      for (int x = 0; x < 500; ++x) {
        const bool inside = x >= c.left && x < c.left + 5 && y >= c.top && y < c.top + 5;
        if (surface.PixelAt(x, y) == kBlack) {
          ++black;
          EXPECT_TRUE(inside) << "(" << x << ", " << y << ") for site " << c.i << ", " << c.j;
        }
      }
    }
    EXPECT_EQ(black, 25) << "site " << c.i << ", " << c.j;
  }
}

TEST(DrawLattice, RandomLatticeTilesTheRasterAtEveryWidth) {
  struct Case {
    int width, height, bits;
  };
  // Square rasters at the reference and a scaled size, a raster taller than the cells (white
  // below), and depths 32 and 24 (615 x 3 bytes needs row padding).
  const Case cases[] = {{500, 500, 32}, {615, 615, 32}, {615, 615, 24},
                        {500, 530, 32}, {333, 333, 24}, {50, 50, 32}};
  unsigned seed = 1;
  for (const auto& c : cases) {
    const SpinLattice lattice = Random(seed++);
    RasterSurface surface(c.width, c.height, c.bits);
    DrawLattice(surface, Uniform(1), c.width);
    DrawLattice(surface, lattice, c.width);
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.bits);
    ExpectDrawnByRule(surface, lattice, c.width);
  }
}

TEST(LatticePicture, RasterIsMadeOnFirstUseAndKeepsItsSize) {
  LatticePicture picture;
  EXPECT_FALSE(picture.HasSurface());
  EXPECT_EQ(picture.Surface(), nullptr);

  const SpinLattice lattice = Random(7);
  picture.Draw(lattice, 500, 500);
  ASSERT_TRUE(picture.HasSurface());
  RasterSurface* surface = picture.Surface();
  EXPECT_EQ(surface->Width(), 500);
  EXPECT_EQ(surface->Height(), 500);
  EXPECT_EQ(surface->BitsPerPixel(), 32);
  ExpectDrawnByRule(*surface, lattice, 500);

  // The control has grown since: the same raster, the cells of the new width clipped to it.
  picture.Draw(lattice, 615, 615);
  EXPECT_EQ(picture.Surface(), surface);
  EXPECT_EQ(surface->Width(), 500);
  ExpectDrawnByRule(*surface, lattice, 615);
}

TEST(RasterSurface, StartsWhiteWithZeroPadding) {
  RasterSurface surface(615, 2, 24);
  EXPECT_EQ(surface.BytesPerLine(), 1848u);
  ExpectDrawnByRule(surface, Uniform(-1), 615);
  EXPECT_EQ(RasterSurface(500, 1, 32).BytesPerLine(), 2000u);
  EXPECT_EQ(RasterSurface(0, 0).BytesPerLine(), 0u);
  EXPECT_THROW(RasterSurface(10, 10, 16), std::invalid_argument);
  EXPECT_THROW(RasterSurface(-1, 10), std::invalid_argument);
  EXPECT_THROW(RasterSurface(40000, 40000), std::length_error);
}

TEST(RasterSurface, FillCellCoversLeftTopInclusiveRightBottomExclusive) {
  struct Case {
    int left, top, right, bottom;
    int x0, y0, x1, y1;  // the filled pixels, end exclusive
  };
  const Case cases[] = {
      {2, 3, 5, 7, 2, 3, 5, 7},    {0, 0, 10, 8, 0, 0, 10, 8}, {-4, -2, 3, 2, 0, 0, 3, 2},
      {8, 6, 20, 30, 8, 6, 10, 8}, {5, 5, 5, 7, 0, 0, 0, 0},   {6, 2, 4, 5, 0, 0, 0, 0},
      {12, 1, 15, 3, 0, 0, 0, 0},
  };
  for (const int bits : {32, 24}) {
    for (const auto& c : cases) {
      RasterSurface surface(10, 8, bits);
      surface.FillCell(c.left, c.top, c.right, c.bottom, 0x123456);
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
          const bool inside = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
          ASSERT_EQ(surface.PixelAt(x, y), inside ? 0x123456u : kWhite)
              << bits << " bits, (" << x << ", " << y << ") for rectangle " << c.left << ", "
              << c.top << ", " << c.right << ", " << c.bottom;
        }
      }
      // Blue, green, red in memory order, and the fourth byte of a 32-bit pixel stays 0.
      if (c.x1 > c.x0) {
        const std::uint8_t* p = surface.Row(c.y0) + static_cast<std::ptrdiff_t>(c.x0) * (bits / 8);
        EXPECT_EQ(p[0], 0x56);
        EXPECT_EQ(p[1], 0x34);
        EXPECT_EQ(p[2], 0x12);
        if (bits == 32) {
          EXPECT_EQ(p[3], 0);
        }
      }
    }
  }
}

}  // namespace
}  // namespace vellora::picture
