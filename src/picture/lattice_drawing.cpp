#include "picture/lattice_drawing.h"

#include <algorithm>
#include <cstring>

#include "base/rounding.h"

namespace vellora::picture {

std::array<int, sim::kLatticeSide + 1> CellEdges(int controlWidth) {
  const double cellSize = static_cast<double>(controlWidth) / sim::kLatticeSide;
  std::array<int, sim::kLatticeSide + 1> edges{};
  for (int k = 0; k <= sim::kLatticeSide; ++k) {
    // The product of a small integer and a double is exact in extended precision, so the
    // rounding sees the true value of k * c.
    edges[k] = static_cast<int>(RoundHalfEven(Extended(k) * cellSize));
  }
  return edges;
}

void DrawLattice(RasterSurface& surface, const sim::SpinLattice& lattice, int controlWidth) {
  const int width = surface.Width();
  const int height = surface.Height();
  if (width == 0 || height == 0) return;

  // The edges clipped to the raster. They never decrease, so the cells neither overlap nor leave
  // gaps, and their order of drawing does not matter.
  std::array<int, sim::kLatticeSide + 1> columns = CellEdges(controlWidth);
  std::array<int, sim::kLatticeSide + 1> rows = columns;
  for (int& edge : columns) edge = std::clamp(edge, 0, width);
  for (int& edge : rows) edge = std::clamp(edge, 0, height);

  const std::size_t rowBytes = surface.BytesPerLine();
  for (int j = 1; j <= sim::kLatticeSide; ++j) {
    const int top = rows[j - 1];
    const int bottom = rows[j];
    if (top >= bottom) continue;
    // The first pixel row of band j, then copies of it for the rest of the band.
    for (int i = 1; i <= sim::kLatticeSide; ++i) {
      const Colour colour = lattice.At(i, j) == 1 ? kBlack : kWhite;
      surface.FillSpan(columns[i - 1], top, columns[i] - columns[i - 1], colour);
    }
    surface.FillSpan(columns[sim::kLatticeSide], top, width - columns[sim::kLatticeSide], kWhite);
    const std::uint8_t* first = surface.Row(top);
    for (int y = top + 1; y < bottom; ++y) std::memcpy(surface.Row(y), first, rowBytes);
  }
  // Below the last band the raster is white.
  surface.FillCell(0, rows[sim::kLatticeSide], width, height, kWhite);
}

RasterSurface& LatticePicture::Obtain(int controlWidth, int controlHeight) {
  if (!surface_) surface_.emplace(controlWidth, controlHeight, bitsPerPixel_);
  return *surface_;
}

void LatticePicture::Draw(const sim::SpinLattice& lattice, int controlWidth, int controlHeight) {
  DrawLattice(Obtain(controlWidth, controlHeight), lattice, controlWidth);
}

}  // namespace vellora::picture
