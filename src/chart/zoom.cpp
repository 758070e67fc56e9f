// Mouse zoom and panning of a chart: the press that finds what lies under the pointer, the
// zoom drag with its inverted rectangle, the panning drag, and the one saved set of scales that
// an undo returns to.
#include <algorithm>
#include <cstdlib>

#include "base/extended.h"
#include "chart/chart.h"

namespace vellora::chart {

namespace {

// How far an axis' band reaches from the axis line into the plot.
constexpr int kAxisBandInside = 3;

// Left and top edges inside, right and bottom edges outside.
bool Contains(const TRect& rect, int x, int y) {
  return rect.left <= x && x < rect.right && rect.top <= y && y < rect.bottom;
}

// The strip of an axis' line and ticks: along the axis over its span, across from the labels'
// edge to a few pixels inside the plot. The edges away from the origin are outside.
bool AxisBandHit(const TChartAxis& axis, int x, int y) {
  const int along = axis.Horizontal() ? x : y;
  const int across = axis.Horizontal() ? y : x;
  if (along < axis.startPixel || along >= axis.endPixel) return false;
  const bool labelsBefore = axis.Side() == TAxisSide::Left || axis.Side() == TAxisSide::Top;
  const int from = labelsBefore ? axis.labelsPixel : axis.axisPixel - kAxisBandInside;
  const int to = labelsBefore ? axis.axisPixel + kAxisBandInside : axis.labelsPixel;
  return from <= across && across < to;
}

}  // namespace

THitPart TChart::HitTest(int x, int y) const {
  const TPoint point{x, y};
  for (int i = SeriesCount() - 1; i >= 0; --i)
    if (Series(i).Active() && SeriesLineHit(Series(i), point)) return THitPart::Series;
  for (int i = 0; i < 4; ++i)
    if (Axes(i)->IsShown() && AxisBandHit(*Axes(i), x, y)) return THitPart::Axis;
  // The foot title has no text and takes no room, so only the title can be hit.
  if (Contains(titleRect, x, y)) return THitPart::Title;
  if (HasActiveSeries() && Contains(plotRect, x, y)) return THitPart::PlotRect;
  return THitPart::None;
}

void TChart::MouseDown(TMouseButton button, int x, int y) {
  if (zoomDrag.active || panningDrag.active) return;
  const THitPart part = HitTest(x, y);
  if (part == THitPart::None || part == THitPart::Title) return;
  if (button == TMouseButton::mbLeft && AllowZoom) {
    zoomDrag = {x, y, x, y, true};
    DrawZoomOnWindow();
  } else if (button == TMouseButton::mbRight && AllowPanning != pmNone) {
    panningDrag = {x, y, x, y, true};
  }
}

void TChart::MouseMove(int x, int y) {
  if (zoomDrag.active) {
    if (x == zoomDrag.x1 && y == zoomDrag.y1) return;
    DrawZoomOnWindow();  // erases the rectangle where it was
    zoomDrag.x1 = x;
    zoomDrag.y1 = y;
    DrawZoomOnWindow();
    return;
  }
  if (!panningDrag.active) return;
  // Leaving the plot ends the pan for good; coming back does not resume it.
  if (!Contains(plotRect, x, y)) {
    panningDrag.active = false;
    return;
  }
  if (x == panningDrag.x1 && y == panningDrag.y1) return;
  if (scalesRestored) SaveScales();
  bool moved = false;
  if (x != panningDrag.x1 && (AllowPanning == pmHorizontal || AllowPanning == pmBoth))
    moved = PanAxes(true, panningDrag.x1, x);
  if (y != panningDrag.y1 && (AllowPanning == pmVertical || AllowPanning == pmBoth))
    moved = PanAxes(false, panningDrag.y1, y) || moved;
  panningDrag.x1 = x;
  panningDrag.y1 = y;
  if (moved) RequestRepaint();
}

void TChart::MouseUp(TMouseButton button, int x, int y) {
  panningDrag.active = false;
  if (!zoomDrag.active || button != TMouseButton::mbLeft) return;
  zoomDrag.active = false;
  DrawZoomOnWindow();  // erases the rectangle
  zoomDrag.x1 = x;
  zoomDrag.y1 = y;
  const TDragRecord& drag = zoomDrag;
  if (std::abs(drag.x1 - drag.x0) <= ZoomThreshold || std::abs(drag.y1 - drag.y0) <= ZoomThreshold)
    return;
  // Right and down zooms in; any other way undoes.
  if (drag.x0 < drag.x1 && drag.y0 < drag.y1) {
    ZoomTo({drag.x0, drag.y0, drag.x1, drag.y1});
  } else {
    RestoreZoom();
  }
  RequestRepaint();
}

void TChart::ZoomTo(const TRect& rect) {
  const int x0 = std::min(rect.left, rect.right);
  const int x1 = std::max(rect.left, rect.right);
  const int y0 = std::min(rect.top, rect.bottom);
  const int y1 = std::max(rect.top, rect.bottom);
  if (scalesRestored) SaveScales();
  // Each axis maps the pixels with its own scale; the vertical ones first. Pixel rows grow
  // downward, so the bottom row gives a vertical axis' minimum.
  for (TChartAxis* axis : {&leftAxis_, &rightAxis_})
    axis->SetRange(axis->PixelToValue(y1), axis->PixelToValue(y0));
  for (TChartAxis* axis : {&topAxis_, &bottomAxis_})
    axis->SetRange(axis->PixelToValue(x0), axis->PixelToValue(x1));
}

void TChart::RestoreZoom() {
  if (!scalesRestored) {
    for (int i = 0; i < 4; ++i) {
      TChartAxis& axis = *Axes(i);
      const TAxisScale& saved = savedScales_[i];
      axis.SetAutomatic(saved.automatic);
      axis.SetAutomaticMinimum(saved.automaticMinimum);
      axis.SetAutomaticMaximum(saved.automaticMaximum);
      if (!axis.Automatic()) axis.SetRange(saved.minimum, saved.maximum);
    }
    scalesRestored = true;
  }
  RequestRepaint();
}

void TChart::SaveScales() {
  for (int i = 0; i < 4; ++i) {
    const TChartAxis& axis = *Axes(i);
    savedScales_[i] = {axis.Automatic(), axis.AutomaticMinimum(), axis.AutomaticMaximum(),
                       axis.Minimum(), axis.Maximum()};
  }
  scalesRestored = false;
}

bool TChart::PanAxes(bool horizontal, int from, int to) {
  bool moved = false;
  for (int i = 0; i < 4; ++i) {
    TChartAxis& axis = *Axes(i);
    if (axis.Horizontal() != horizontal) continue;
    // The value under the pointer's old position moves to its new one.
    const double delta = ToDoubleChecked(Extended(axis.PixelToValue(from)) - axis.PixelToValue(to));
    const double minimum = axis.Minimum();
    const double maximum = axis.Maximum();
    axis.SetRange(ToDoubleChecked(Extended(minimum) + delta),
                  ToDoubleChecked(Extended(maximum) + delta));
    moved = moved || axis.Minimum() != minimum || axis.Maximum() != maximum;
  }
  return moved;
}

TColor TChart::ZoomPenColour(const ChartCanvas& canvas) const {
  const TColor rgb = canvas.RgbOf(color_);
  return rgb == clWhite ? clBlack : rgb;
}

void TChart::DrawZoomRectangle(ChartCanvas& canvas) const {
  canvas.InvertFrame({zoomDrag.x0, zoomDrag.y0}, {zoomDrag.x1, zoomDrag.y1}, ZoomPenColour(canvas));
}

void TChart::DrawZoomOnWindow() const {
  if (window != nullptr) DrawZoomRectangle(*window);
}

}  // namespace vellora::chart
