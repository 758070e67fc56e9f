// The lattice picture: the 100 x 100 spins drawn as black (up) and white (down) square cells.
#pragma once

#include <array>
#include <optional>

#include "picture/raster_surface.h"
#include "sim/simulation_state.h"

namespace vellora::picture {

// The pixel edges of the cells for an image control `controlWidth` pixels wide: entry k is
// round(k * c) with c = controlWidth / 100 as a double, halves to even. Cell i (1-based) spans
// [edges[i - 1], edges[i]); rows use the same edges, so the cells are square.
std::array<int, sim::kLatticeSide + 1> CellEdges(int controlWidth);

// Draws the lattice into the surface for an image control `controlWidth` pixels wide: spin (i, j)
// is the cell of column i from the left and row j from the top, black for +1 and white for any
// other value; everything the cells do not cover is white. The result is that of filling the
// raster white and then filling each cell with FillCell, done row band by row band.
void DrawLattice(RasterSurface& surface, const sim::SpinLattice& lattice, int controlWidth);

// The raster of the image control together with its drawing. The raster is made on first use at
// the control's size of that moment and keeps that size for good.
class LatticePicture {
 public:
  // `bitsPerPixel` is the depth of the raster to make: 32, or 24 where the display is 24-bit.
  explicit LatticePicture(int bitsPerPixel = 32) : bitsPerPixel_(bitsPerPixel) {}

  // The raster, made white at controlWidth x controlHeight if there is none yet.
  RasterSurface& Obtain(int controlWidth, int controlHeight);

  // Obtains the raster and draws the lattice into it, with the cell size taken from the
  // control's current width.
  void Draw(const sim::SpinLattice& lattice, int controlWidth, int controlHeight);

  bool HasSurface() const { return surface_.has_value(); }
  // The raster once it exists, else null.
  RasterSurface* Surface() { return surface_ ? &*surface_ : nullptr; }
  const RasterSurface* Surface() const { return surface_ ? &*surface_ : nullptr; }

 private:
  int bitsPerPixel_;
  std::optional<RasterSurface> surface_;
};

}  // namespace vellora::picture
