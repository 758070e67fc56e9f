// Colours of the charts: 24-bit RGB values (0x00RRGGBB) or one of a few markers and named
// desktop colours that only the canvas can turn into RGB.
#pragma once

#include <cstdint>

namespace vellora::chart {

using TColor = std::uint32_t;

constexpr TColor RgbColour(int red, int green, int blue) {
  return (static_cast<TColor>(red & 0xFF) << 16) | (static_cast<TColor>(green & 0xFF) << 8) |
         static_cast<TColor>(blue & 0xFF);
}

// Markers: "use the default colour" (for a point: the series colour) and "null point".
constexpr TColor clDefault = 0x20000000;
constexpr TColor clNone = 0x1FFFFFFF;

// Named desktop colours; the canvas resolves them when it draws.
constexpr TColor kSystemColourFlag = 0x80000000;
constexpr TColor clBtnFace = kSystemColourFlag | 15;
constexpr TColor clBtnShadow = kSystemColourFlag | 16;
constexpr TColor clBtnHighlight = kSystemColourFlag | 20;

constexpr bool IsSystemColour(TColor colour) {
  return (colour & kSystemColourFlag) != 0;
}

constexpr TColor clBlack = RgbColour(0, 0, 0);
constexpr TColor clWhite = RgbColour(255, 255, 255);
constexpr TColor clRed = RgbColour(255, 0, 0);
constexpr TColor clBlue = RgbColour(0, 0, 255);
constexpr TColor clGray = RgbColour(128, 128, 128);

}  // namespace vellora::chart
