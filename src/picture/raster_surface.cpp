#include "picture/raster_surface.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace vellora::picture {

namespace {

static_assert(std::endian::native == std::endian::little);

// The largest pixel data that a BMP file's 32-bit size fields can describe with its headers.
constexpr std::uint64_t kMaxImageBytes = 0xFFFFFFFFull - 54;

}  // namespace

RasterSurface::RasterSurface(int width, int height, int bitsPerPixel)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel), bytesPerLine_(0) {
  if (width < 0 || height < 0) throw std::invalid_argument("raster size must not be negative");
  if (bitsPerPixel != 32 && bitsPerPixel != 24) {
    throw std::invalid_argument("raster depth must be 24 or 32 bits per pixel");
  }
  const std::uint64_t rowBytes =
      (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
  if (rowBytes * static_cast<std::uint64_t>(height) > kMaxImageBytes) {
    throw std::length_error("raster too large");
  }
  bytesPerLine_ = static_cast<std::size_t>(rowBytes);
  bits_.assign(bytesPerLine_ * static_cast<std::size_t>(height), 0);
  Fill(kWhite);
}

Colour RasterSurface::PixelAt(int x, int y) const {
  const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * (bitsPerPixel_ / 8);
  return static_cast<Colour>(p[0]) | static_cast<Colour>(p[1]) << 8 |
         static_cast<Colour>(p[2]) << 16;
}

void RasterSurface::FillSpan(int x, int y, int count, Colour colour) {
  if (count <= 0) return;
  const std::uint8_t blue = colour & 0xFF;
  const std::uint8_t green = (colour >> 8) & 0xFF;
  const std::uint8_t red = (colour >> 16) & 0xFF;
  if (bitsPerPixel_ == 32) {
    // On a little-endian machine the word 0x00RRGGBB is the bytes blue, green, red, 0.
    const std::uint32_t word = colour & 0xFFFFFF;
    std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 4;
    for (int k = 0; k < count; ++k, p += 4) std::memcpy(p, &word, 4);
    return;
  }
  std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
  for (int k = 0; k < count; ++k, p += 3) {
    p[0] = blue;
    p[1] = green;
    p[2] = red;
  }
}

void RasterSurface::FillCell(int left, int top, int right, int bottom, Colour colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom) return;
  FillSpan(left, top, right - left, colour);
  // The other rows of the rectangle are copies of its first.
  const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel_ / 8);
  const std::size_t offset = static_cast<std::size_t>(left) * bytesPerPixel;
  const std::size_t length = static_cast<std::size_t>(right - left) * bytesPerPixel;
  const std::uint8_t* first = Row(top) + offset;
  for (int y = top + 1; y < bottom; ++y) std::memcpy(Row(y) + offset, first, length);
}

}  // namespace vellora::picture
