// The raster operations that a chart draws with. The chart computes every pixel position
// itself; a canvas only rasterises, so the same drawing can go to a window image or to a
// recording fake in the tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chart/colours.h"

namespace vellora::chart {

struct TPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and top inclusive, right and bottom exclusive unless an operation says otherwise.
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// The common part of two rectangles; false when they do not overlap (an empty result).
bool IntersectRects(const TRect& a, const TRect& b, TRect& result);

enum class TPenStyle { psSolid, psDot };

struct TChartPen {
  TColor colour = clBlack;
  int width = 1;
  TPenStyle style = TPenStyle::psSolid;
  bool visible = true;
};

struct TChartFont {
  std::string name = "Arial";
  int points = 8;
  TColor colour = clBlack;
};

enum class THorizontalAlign { Left, Center, Right };
enum class TVerticalAlign { Top, Bottom };

class ChartCanvas {
 public:
  virtual ~ChartCanvas() = default;

  // Starts a drawing of the whole control; the image is (re)created at this size when needed.
  virtual void BeginDrawing(int width, int height) = 0;
  // The drawing is complete: the image may be shown.
  virtual void Present() = 0;

  virtual void FillRect(const TRect& rect, TColor colour) = 0;
  // One-pixel outline through both corners: (left, top) and (right, bottom) are both painted.
  virtual void FrameRect(const TRect& rect, const TChartPen& pen) = 0;
  // A straight line; the end point itself is not painted.
  virtual void Line(TPoint from, TPoint to, const TChartPen& pen) = 0;
  // Consecutive lines through the points, the last point not painted.
  virtual void Polyline(const std::vector<TPoint>& points, const TChartPen& pen) = 0;

  virtual void SetFont(const TChartFont& font) = 0;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  // Text in the current font without a background box; the alignment tells which edge (or the
  // centre) of the text lies at x and at y.
  virtual void TextOut(int x, int y, std::string_view text, THorizontalAlign horizontal,
                       TVerticalAlign vertical) = 0;

  virtual bool CanClip() const { return true; }
  // Restricts drawing to the rectangle, intersected with any clip in force.
  virtual void SetClip(const TRect& rect) = 0;
  virtual void ClearClip() = 0;

  // Back to the resting state: default pen, brush and font, transparent text.
  virtual void Reset() = 0;

  // The RGB value (0x00RRGGBB) that a colour is drawn in; named desktop colours resolve to the
  // desktop's.
  virtual TColor RgbOf(TColor colour) const = 0;
  // One-pixel outline through both corners, given in any order, drawn in the inverting mode:
  // every pixel of it becomes NOT(pixel XOR colour), colour being RGB. Each pixel is touched
  // once, so drawing the same outline again restores the pixels. Parts off the surface are
  // left out.
  virtual void InvertFrame(TPoint corner1, TPoint corner2, TColor colour) = 0;
};

}  // namespace vellora::chart
