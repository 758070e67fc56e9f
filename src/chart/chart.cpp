#include "chart/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "base/extended.h"
#include "base/rounding.h"

namespace vellora::chart {

namespace {

// Pixel positions beyond this are left out of the line.
constexpr int kPixelLimit = 32766;

}  // namespace

bool IntersectRects(const TRect& a, const TRect& b, TRect& result) {
  const TRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
  if (common.left >= common.right || common.top >= common.bottom) return false;
  result = common;
  return true;
}

TChart::TChart() = default;

TLineSeries& TChart::AddSeries() {
  series_.push_back(std::make_unique<TLineSeries>(this));
  RequestRepaint();
  return *series_.back();
}

bool TChart::HasActiveSeries() const {
  return std::any_of(series_.begin(), series_.end(),
                     [](const auto& series) { return series->Active(); });
}

void TChart::SetSize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  RequestRepaint();
}

void TChart::SetColor(TColor colour) {
  if (colour == color_) return;
  color_ = colour;
  RequestRepaint();
}

void TChart::SetTitle(TChartTitle title) {
  title_ = std::move(title);
  RequestRepaint();
}

void TChart::SetAxisVisible(bool visible) {
  if (visible == axisVisible_) return;
  axisVisible_ = visible;
  RequestRepaint();
}

void TChart::EndLoading() {
  loading_ = false;
  imageStale = true;
}

void TChart::RequestRepaint() {
  if (!AutoRepaint || loading_) return;
  imageStale = true;
  if (onRepaintRequest) onRepaintRequest();
}

TChartAxis* TChart::Axes(int i) {
  TChartAxis* axes[] = {&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_};
  return axes[i];
}

const TChartAxis* TChart::Axes(int i) const {
  const TChartAxis* axes[] = {&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_};
  return axes[i];
}

void TChart::NormalisePlotRect() {
  plotRect.left = std::max(plotRect.left, controlRect.left);
  plotRect.top = std::max(plotRect.top, controlRect.top);
  if (plotRect.right < plotRect.left) plotRect.right = plotRect.left + 1;
  if (plotRect.right == plotRect.left) plotRect.right = plotRect.left + width_;
  if (plotRect.bottom < plotRect.top) plotRect.bottom = plotRect.top + 1;
  if (plotRect.bottom == plotRect.top) plotRect.bottom = plotRect.top + height_;
}

// A raised one-pixel bevel: light along the left and top edges, dark along the right and
// bottom edges, the rectangle's right and bottom taken one pixel in.
void TChart::DrawBevel(ChartCanvas& canvas) {
  const int left = controlRect.left;
  const int top = controlRect.top;
  const int right = controlRect.right - 1;
  const int bottom = controlRect.bottom - 1;
  canvas.Polyline({{left, bottom}, {left, top}, {right, top}}, {clBtnHighlight, 1});
  canvas.Polyline({{right, top}, {right, bottom}, {left - 1, bottom}}, {clBtnShadow, 1});
}

void TChart::DrawTitle(ChartCanvas& canvas) {
  titleRect = {};
  if (!title_.Visible || title_.Text.empty()) return;
  canvas.SetFont(title_.Font);
  const int lineHeight = canvas.TextHeight("W");
  const int left = plotRect.left;
  const int right = plotRect.right;
  const int top = plotRect.top;
  const int bottom = top + static_cast<int>(title_.Text.size()) * lineHeight;
  titleRect = {left, top, right, bottom};
  for (std::size_t i = 0; i < title_.Text.size(); ++i) {
    const std::string& line = title_.Text[i];
    const int width = canvas.TextWidth(line);
    int x = (left + right) / 2 - width / 2;
    if (title_.Alignment == THorizontalAlign::Left) {
      x = left + canvas.TextWidth("W") / 2;
    } else if (title_.Alignment == THorizontalAlign::Right) {
      x = right - width - canvas.TextWidth("W") / 2;
    }
    canvas.TextOut(x, top + static_cast<int>(i) * lineHeight, line, THorizontalAlign::Left,
                   TVerticalAlign::Top);
  }
  plotRect.top = bottom + 5;
  NormalisePlotRect();
}

void TChart::LayoutAxes(ChartCanvas& canvas) {
  for (int i = 0; i < 4; ++i) Axes(i)->UpdateRange();
  TRect rect = plotRect;
  for (int i = 0; i < 4; ++i) {
    TChartAxis* axis = Axes(i);
    if (!axis->IsShown()) continue;
    TRect reduced = rect;
    axis->ReserveRoom(canvas, reduced);
    IntersectRects(rect, reduced, rect);
  }
  plotRect = rect;
  NormalisePlotRect();
  for (int i = 0; i < 4; ++i) Axes(i)->PlaceOnChartRect(plotRect);
}

void TChart::DrawChart(ChartCanvas& canvas) {
  canvas.BeginDrawing(width_, height_);
  controlRect = {0, 0, width_, height_};
  plotRect = {static_cast<int>(RoundHalfAway(Extended(MarginLeft) * width_ / 100)),
              static_cast<int>(RoundHalfAway(Extended(MarginTop) * height_ / 100)),
              width_ - static_cast<int>(RoundHalfAway(Extended(MarginRight) * width_ / 100)),
              height_ - static_cast<int>(RoundHalfAway(Extended(MarginBottom) * height_ / 100))};
  NormalisePlotRect();

  canvas.FillRect(controlRect, color_);
  DrawBevel(canvas);
  DrawTitle(canvas);
  LayoutAxes(canvas);

  canvas.FrameRect(plotRect, BackWallPen);
  for (int i = 0; i < 4; ++i)
    if (Axes(i)->IsShown()) Axes(i)->DrawAxis(canvas);
  for (auto& series : series_)
    if (series->Active()) DrawSeries(canvas, *series);
  // A zoom drag in progress: its rectangle goes over everything else, as it is on the window.
  if (zoomDrag.active) DrawZoomRectangle(canvas);

  canvas.Reset();
  canvas.Present();
  imageStale = false;
}

bool TChart::VisibleRange(const TLineSeries& series, int& first, int& last) const {
  const int count = series.PointCount();
  if (count == 0) return false;
  first = 0;
  last = count - 1;
  if (series.XValues.Order() != loAscending) return true;
  // The visible points, and the first one beyond the right edge so the line runs out of the
  // plot. Binary searches over the ascending X values.
  const double leftValue = bottomAxis_.PixelToValue(plotRect.left);
  const double rightValue = bottomAxis_.PixelToValue(plotRect.right);
  first = series.XValues.FirstAtOrAbove(leftValue);
  if (first >= count) return false;
  if (!(series.XValueAt(count - 1) <= rightValue))
    last = series.XValues.FirstAtOrAbove(rightValue, first);
  return true;
}

void TChart::DrawSeries(ChartCanvas& canvas, TLineSeries& series) {
  int first = 0;
  int last = 0;
  if (!VisibleRange(series, first, last)) return;
  const TChartAxis& horizontal = bottomAxis_;
  const TChartAxis& vertical = leftAxis_;
  const double leftValue = horizontal.PixelToValue(plotRect.left);

  const bool clipped = ClipPoints && canvas.CanClip();
  if (clipped)
    canvas.SetClip({plotRect.left + 1, plotRect.top + 1, plotRect.right, plotRect.bottom - 1});

  TChartPen pen = series.LinePen;
  TPoint previous{};
  bool havePrevious = false;
  TColor previousColour = clDefault;
  for (int i = first; i <= last; ++i) {
    const TColor colour = series.PointColour(i);
    const TPoint point{horizontal.ValueToPixel(series.XValueAt(i)),
                       vertical.ValueToPixel(series.YValueAt(i))};
    if (std::abs(point.x) > kPixelLimit || std::abs(point.y) > kPixelLimit) {
      previousColour = colour;
      continue;
    }
    bool drawSegment = false;
    if (previousColour == clNone) previous = point;
    if (i == first && i > 0) {
      // Enter at the left edge, at the height the segment from the point before has there.
      const Extended x0 = series.XValueAt(i - 1);
      const Extended x1 = series.XValueAt(i);
      const Extended y0 = series.YValueAt(i - 1);
      const Extended y1 = series.YValueAt(i);
      Extended y = y0;
      if (x1 != x0) y = y0 + (y1 - y0) * (leftValue - x0) / (x1 - x0);
      previous = {plotRect.left, vertical.ValueToPixel(ToDoubleChecked(y))};
      drawSegment = !series.IsNullPoint(i - 1);
    } else if (i != first) {
      drawSegment = havePrevious;
    }
    if (drawSegment && !(point == previous) && colour != clNone) {
      pen.colour = colour;
      canvas.Line(previous, point, pen);
    }
    previous = point;
    havePrevious = true;
    previousColour = colour;
  }

  if (clipped) canvas.ClearClip();
}

namespace {

// P lies on the segment A-B when it is inside the segment's bounding box and its distance from
// the line through A and B, times the segment's length, is below the segment's larger extent:
// within about a pixel of the line.
bool OnSegment(TPoint p, TPoint a, TPoint b) {
  if (p.x < std::min(a.x, b.x) || p.x > std::max(a.x, b.x) || p.y < std::min(a.y, b.y) ||
      p.y > std::max(a.y, b.y))
    return false;
  const std::int64_t cross = static_cast<std::int64_t>(p.x - a.x) * (b.y - a.y) -
                             static_cast<std::int64_t>(p.y - a.y) * (b.x - a.x);
  const std::int64_t extent = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
  return std::abs(cross) < extent;
}

}  // namespace

// The line as DrawSeries draws it, without the clip: a point's pixel or a segment between
// consecutive points that are drawn.
bool TChart::SeriesLineHit(const TLineSeries& series, TPoint point) const {
  int first = 0;
  int last = 0;
  if (!VisibleRange(series, first, last)) return false;
  TPoint previous{};
  bool havePrevious = false;
  for (int i = first; i <= last; ++i) {
    const TPoint pixel{bottomAxis_.ValueToPixel(series.XValueAt(i)),
                       leftAxis_.ValueToPixel(series.YValueAt(i))};
    if (std::abs(pixel.x) > kPixelLimit || std::abs(pixel.y) > kPixelLimit) continue;
    if (series.IsNullPoint(i)) {
      havePrevious = false;
      continue;
    }
    if (pixel == point || (havePrevious && OnSegment(point, previous, pixel))) return true;
    previous = pixel;
    havePrevious = true;
  }
  return false;
}

}  // namespace vellora::chart
