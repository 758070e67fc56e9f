// The pixel raster of the lattice picture: what the lattice is drawn into, what the window
// shows and what File > Save Image As... writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellora::picture {

// A 24-bit RGB colour as 0xRRGGBB.
using Colour = std::uint32_t;

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

// A width x height raster of 32 or 24 bits per pixel, rows from top to bottom. A 32-bit pixel is
// the bytes blue, green, red, 0 (in memory the same as a little-endian 0x00RRGGBB word); a 24-bit
// pixel is blue, green, red. Each row is padded with zero bytes to a multiple of four bytes, which
// is both the row layout of a BMP file and what an image view over the raw rows expects.
// A new raster is white.
class RasterSurface {
 public:
  // Throws std::invalid_argument for a negative size or a depth other than 24 or 32, and
  // std::length_error for a raster too large to be saved as a BMP file (over 4 GiB).
  RasterSurface(int width, int height, int bitsPerPixel = 32);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  // Bytes from the start of one row to the start of the next, a multiple of four.
  std::size_t BytesPerLine() const { return bytesPerLine_; }

  // The raw rows, top row first; the padding bytes at the end of each row stay zero.
  std::uint8_t* Bits() { return bits_.data(); }
  const std::uint8_t* Bits() const { return bits_.data(); }
  std::uint8_t* Row(int y) { return bits_.data() + static_cast<std::size_t>(y) * bytesPerLine_; }
  const std::uint8_t* Row(int y) const {
    return bits_.data() + static_cast<std::size_t>(y) * bytesPerLine_;
  }

  // The colour of pixel (x, y), counted from the top-left corner; both must lie inside.
  Colour PixelAt(int x, int y) const;

  // Fills the rectangle from (left, top) inclusive to (right, bottom) exclusive with a solid
  // colour, clipped to the raster. An empty or inverted rectangle fills nothing.
  void FillCell(int left, int top, int right, int bottom, Colour colour);

  // Fills the whole raster.
  void Fill(Colour colour) { FillCell(0, 0, width_, height_, colour); }

  // Writes `count` pixels of one colour into row y from column x on; the caller keeps the span
  // inside the row. The building block of the fast lattice drawing.
  void FillSpan(int x, int y, int count, Colour colour);

 private:
  int width_;
  int height_;
  int bitsPerPixel_;
  std::size_t bytesPerLine_;
  std::vector<std::uint8_t> bits_;
};

}  // namespace vellora::picture
