#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errors.h"
#include "base/extended.h"
#include "base/rounding.h"
#include "chart/chart.h"
#include "numtext/format.h"

namespace vellora::chart {

namespace {

// Quotients at or beyond this size are not turned into pixel offsets or interval counts.
const Extended kIntLimit = 2147483647;
// The literals 0.01, 1e-10, 1e-12 and 1.000000000001 rounded to the 64-bit significand: each
// is a quotient of exact integers, rounded once.
const Extended kHundredth = Extended(1) / 100;
const Extended kMinimumRange = Extended(1) / 10000000000;
const Extended kLimitOffset = Extended(1) / 1000000000000;
const Extended kLimitDivisor = Extended(1000000000001) / 1000000000000;
constexpr double kSmallestStep = 1e-12;
// At most this many tick positions are recorded in one draw.
constexpr std::size_t kMaxTicks = 2000;

int ClampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

TChartAxis::TChartAxis(TChart* parentChart, TAxisSide side)
    : parentChart_(parentChart), side_(side) {}

bool TChartAxis::Loading() const {
  return parentChart_ != nullptr && parentChart_->Loading();
}

void TChartAxis::Repaint() {
  if (parentChart_ != nullptr) parentChart_->RequestRepaint();
}

void TChartAxis::SetMinimum(double value) {
  if (!Loading() && value > maximum_) throw AxisException("Axis Minimum Value must be <= Maximum");
  if (value == minimum_) return;
  minimum_ = value;
  Repaint();
}

void TChartAxis::SetMaximum(double value) {
  if (!Loading() && value < minimum_) throw AxisException("Axis Maximum Value must be >= Minimum");
  if (value == maximum_) return;
  maximum_ = value;
  Repaint();
}

void TChartAxis::SetIncrement(double value) {
  if (value < 0) throw AxisException("Axis increment must be >= 0");
  if (value == increment_) return;
  increment_ = value;
  Repaint();
}

void TChartAxis::SetAutomatic(bool value) {
  bool changed = automatic_ != value;
  automatic_ = value;
  if (!Loading()) {
    changed = changed || automaticMinimum_ != value || automaticMaximum_ != value;
    automaticMinimum_ = automaticMaximum_ = value;
  }
  if (changed) Repaint();
}

void TChartAxis::SetAutomaticMinimum(bool value) {
  bool changed = automaticMinimum_ != value;
  automaticMinimum_ = value;
  if (!value || automaticMaximum_) {
    changed = changed || automatic_ != value;
    automatic_ = value;
  }
  if (changed) Repaint();
}

void TChartAxis::SetAutomaticMaximum(bool value) {
  bool changed = automaticMaximum_ != value;
  automaticMaximum_ = value;
  if (!value || automaticMinimum_) {
    changed = changed || automatic_ != value;
    automatic_ = value;
  }
  if (changed) Repaint();
}

void TChartAxis::SetRange(double a, double b) {
  automatic_ = automaticMinimum_ = automaticMaximum_ = false;
  if (a > b) std::swap(a, b);
  const bool changed = a != minimum_ || b != maximum_;
  minimum_ = a;
  maximum_ = b;
  if (Extended(maximum_) - minimum_ < kMinimumRange)
    maximum_ = ToDoubleChecked(Extended(minimum_) + kMinimumRange);
  if (changed) Repaint();
}

void TChartAxis::SetAxisValuesFormat(std::string format) {
  if (format == axisValuesFormat_) return;
  axisValuesFormat_ = std::move(format);
  Repaint();
}

void TChartAxis::SetLabelStyle(TAxisLabelStyle style) {
  if (style == labelStyle_) return;
  labelStyle_ = style;
  Repaint();
}

void TChartAxis::SetTickLength(int length) {
  if (length == tickLength_) return;
  tickLength_ = length;
  Repaint();
}

void TChartAxis::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Repaint();
}

bool TChartAxis::IsShown() const {
  if (!visible_ || parentChart_ == nullptr || !parentChart_->AxisVisible()) return false;
  // Every line series is drawn against the bottom and the left axis; with no active series at
  // all, every axis shows.
  if (!parentChart_->HasActiveSeries()) return true;
  return side_ == TAxisSide::Bottom || side_ == TAxisSide::Left;
}

void TChartAxis::UpdateRange() {
  const bool fromSeries = side_ == TAxisSide::Bottom || side_ == TAxisSide::Left;
  const bool autoMaximum = automatic_ || automaticMaximum_;
  const bool autoMinimum = automatic_ || automaticMinimum_;
  if ((autoMaximum || autoMinimum) && parentChart_ != nullptr) {
    bool found = false;
    double lowest = 0;
    double highest = 0;
    for (int i = 0; fromSeries && i < parentChart_->SeriesCount(); ++i) {
      const TLineSeries& series = parentChart_->Series(i);
      if (!series.Active() || series.PointCount() == 0) continue;
      const double low = Horizontal() ? series.LowestX() : series.LowestY();
      const double high = Horizontal() ? series.HighestX() : series.HighestY();
      if (!found || low < lowest) lowest = low;
      if (!found || high > highest) highest = high;
      found = true;
    }
    // Set directly: no checks and no repaint request.
    if (autoMaximum) maximum_ = highest;
    if (autoMinimum) minimum_ = lowest;
  }
  drawMinimum = minimum_;
  drawMaximum = maximum_;
  drawRange = ToDoubleChecked(Extended(drawMaximum) - drawMinimum);
}

void TChartAxis::PlaceOnChartRect(const TRect& rect) {
  const int origin = Horizontal() ? rect.left : rect.top;
  const Extended size = Horizontal() ? rect.Width() : rect.Height();
  startPixel = origin + ClampToInt(RoundHalfEven(size * kHundredth * StartPosition));
  endPixel = origin + ClampToInt(RoundHalfEven(size * kHundredth * EndPosition));
  lengthPixels = endPixel - startPixel;
  centerPixel = (startPixel + endPixel) / 2;
}

int TChartAxis::ValueToPixel(double value) const {
  if (drawRange == 0) return centerPixel;
  const Extended t = (Extended(value) - drawMinimum) * lengthPixels / drawRange;
  if (!(t.Abs() < kIntLimit)) return centerPixel;
  const std::int64_t offset = RoundHalfEven(t);
  return ClampToInt(Horizontal() ? startPixel + offset : endPixel - offset);
}

double TChartAxis::PixelToValue(int pixel) const {
  if (lengthPixels < 1) return 0;
  const Extended a = Extended(pixel - startPixel) * drawRange / lengthPixels;
  return ToDoubleChecked(Horizontal() ? drawMinimum + a : drawMaximum - a);
}

std::string TChartAxis::LabelText(const Extended& value) const {
  return numtext::FloatToPattern(axisValuesFormat_, value);
}

double TChartAxis::NextNiceStep(double step) {
  double result;
  if (step >= 10) {
    result = NextNiceStep(step * 0.1) * 10;
  } else if (step < 1) {
    result = NextNiceStep(step * 10) * 0.1;
  } else if (step < 2) {
    result = 2;
  } else if (step < 5) {
    result = 5;
  } else {
    result = 10;
  }
  return ToDoubleChecked(result);
}

double TChartAxis::LabelStep(ChartCanvas& canvas) const {
  canvas.SetFont(LabelsFont);
  int size;
  if (Horizontal()) {
    size = std::max(canvas.TextWidth(LabelText(drawMaximum)),
                    canvas.TextWidth(LabelText(drawMinimum)));
  } else {
    size = canvas.TextHeight("W");
  }
  std::int64_t intervals = 1;
  if (size > 0) {
    std::int64_t spacing = size;
    if (LabelsSeparation > 0)
      spacing += RoundHalfEven(Extended(LabelsSeparation) * kHundredth * size);
    intervals = RoundHalfEven(Extended(lengthPixels) / spacing);
  }
  if (intervals < 1) return kSmallestStep;

  double step = increment_ > 0 ? increment_ : (std::fabs(drawRange) >= 1 ? 1.0 : kSmallestStep);
  if (LabelsSeparation > 0) {
    std::int64_t count = intervals + 1;
    do {
      const Extended quotient = Extended(drawRange) / step;
      if (quotient.Abs() < kIntLimit) {
        count = RoundHalfEven(quotient);
        if (count > intervals) step = NextNiceStep(step);
      } else {
        step = NextNiceStep(step);
      }
    } while (count > intervals);
  }
  return std::max(step, kSmallestStep);
}

void TChartAxis::ForEachLabelValue(ChartCanvas& canvas, const LabelAction& action) const {
  ForEachLabelValue(LabelStep(canvas), action);
}

void TChartAxis::ForEachLabelValue(double step, const LabelAction& action) const {
  if (!(step > 0) || drawMaximum < drawMinimum) return;
  if ((Extended(drawRange) / step).Abs() >= 10000) return;

  auto label = [&](double value) {
    const int pixel = ValueToPixel(value);
    if (LabelsOnAxis || (startPixel < pixel && pixel < endPixel))
      action(value, pixel, LabelText(value));
  };
  double value = drawMaximum;
  if (drawMinimum == drawMaximum) {
    // An empty range (an automatic axis over one point): its one value is the one label. The
    // limit below would lie just above a value under -1 and drop it.
    label(value);
    return;
  }
  if (RoundFirstLabel) {
    const Extended quotient = (Extended(drawMaximum) / step).Trunc();
    // The quotient is kept as a 64-bit integer; beyond that it is an invalid operation.
    if (!(quotient.Abs() < Extended(1).Scale(63))) throw EInvalidOp();
    value = ToDoubleChecked(Extended(quotient.TruncToInt64()) * step);
  }
  // A step below the resolution of the values leaves them unchanged; stop there instead of
  // labelling the same value for ever.
  while (value > drawMaximum) {
    const double next = value - step;
    if (!(next < value)) return;
    value = next;
  }
  const double limit = ToDoubleChecked((Extended(drawMinimum) - kLimitOffset) / kLimitDivisor);
  while (value >= limit) {
    label(value);
    const double next = value - step;
    if (!(next < value)) return;
    value = next;
  }
}

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() const {
  if (labelStyle_ != talAuto) return labelStyle_;
  if (parentChart_ == nullptr) return talValue;
  bool associated = false;
  for (int i = 0; i < parentChart_->SeriesCount(); ++i) {
    const TLineSeries& series = parentChart_->Series(i);
    if (!series.Active()) continue;
    if (side_ != TAxisSide::Bottom && side_ != TAxisSide::Left) continue;
    associated = true;
    if (Horizontal() && series.PointCount() > 0 && series.PointLabel(0).has_value()) return talText;
  }
  return associated ? talValue : talNone;
}

int TChartAxis::TickRoom() const {
  int room = (AxisPen.visible ? AxisPen.width : 0) + (Ticks.visible ? tickLength_ : 0);
  if (MinorTicks.visible) room = std::max(room, MinorTickLength);
  return room;
}

int TChartAxis::LabelRoom(ChartCanvas& canvas) const {
  if (LabelsSize != 0) return LabelsSize;
  canvas.SetFont(LabelsFont);
  if (Horizontal()) return canvas.TextHeight("W");
  if (EffectiveLabelStyle() != talValue) return 0;
  // Measured with the lengths of the previous layout.
  const double step = LabelStep(canvas);
  Extended low = drawMinimum;
  Extended high = drawMaximum;
  if (RoundFirstLabel) {
    low = (low / step).Trunc() * step;
    high = (high / step).Trunc() * step;
  }
  return std::max(canvas.TextWidth(LabelText(high)), canvas.TextWidth(LabelText(low))) +
         canvas.TextWidth(" ");
}

void TChartAxis::Shrink(TRect& rect, int amount) const {
  switch (side_) {
    case TAxisSide::Bottom:
      rect.bottom -= amount;
      break;
    case TAxisSide::Top:
      rect.top += amount;
      break;
    case TAxisSide::Left:
      rect.left += amount;
      break;
    case TAxisSide::Right:
      rect.right -= amount;
      break;
  }
}

int TChartAxis::Edge(const TRect& rect) const {
  switch (side_) {
    case TAxisSide::Bottom:
      return rect.bottom;
    case TAxisSide::Top:
      return rect.top;
    case TAxisSide::Left:
      return rect.left;
    case TAxisSide::Right:
      return rect.right;
  }
  return 0;
}

void TChartAxis::ReserveRoom(ChartCanvas& canvas, TRect& rect) {
  if (Labels) {
    Shrink(rect, LabelRoom(canvas));
    labelsPixel = Edge(rect);
  }
  const int ticks = TickRoom();
  if (ticks > 0) Shrink(rect, ticks);
}

void TChartAxis::DrawLabel(ChartCanvas& canvas, int pixel, int fontHeight,
                           const std::string& text) {
  switch (side_) {
    case TAxisSide::Bottom:
      canvas.TextOut(pixel, labelsPixel, text, THorizontalAlign::Center, TVerticalAlign::Top);
      break;
    case TAxisSide::Top:
      canvas.TextOut(pixel, labelsPixel, text, THorizontalAlign::Center, TVerticalAlign::Bottom);
      break;
    case TAxisSide::Left:
      canvas.TextOut(labelsPixel, pixel - fontHeight / 2, text, THorizontalAlign::Right,
                     TVerticalAlign::Top);
      break;
    case TAxisSide::Right:
      canvas.TextOut(labelsPixel, pixel - fontHeight / 2, text, THorizontalAlign::Left,
                     TVerticalAlign::Top);
      break;
  }
}

// Ticks start one pixel off the axis line: outward (below a bottom axis, left of a left
// axis) or, for the inner ticks, into the plot.
void TChartAxis::DrawTickLines(ChartCanvas& canvas, const std::vector<int>& positions,
                               const TChartPen& pen, int offset, int length, bool inward) {
  int direction = (side_ == TAxisSide::Bottom || side_ == TAxisSide::Right) ? 1 : -1;
  if (inward) direction = -direction;
  const int from = axisPixel + direction * offset;
  const int to = from + direction * length;
  for (const int p : positions) {
    if (Horizontal()) {
      canvas.Line({p, from}, {p, to}, pen);
    } else {
      canvas.Line({from, p}, {to, p}, pen);
    }
  }
}

void TChartAxis::DrawGridLines(ChartCanvas& canvas, const std::vector<int>& positions,
                               const TChartPen& pen) {
  TChartPen gridPen = pen;
  if (gridPen.colour == clDefault) gridPen.colour = clGray;
  const TRect& plot = parentChart_->plotRect;
  for (const int p : positions) {
    if (Horizontal()) {
      canvas.Line({p, plot.top}, {p, plot.bottom}, gridPen);
    } else {
      canvas.Line({plot.left, p}, {plot.right, p}, gridPen);
    }
  }
}

void TChartAxis::DrawAxis(ChartCanvas& canvas) {
  canvas.SetFont(LabelsFont);
  const double step = LabelStep(canvas);
  axisPixel = Edge(parentChart_->plotRect);

  std::vector<int> ticks;
  auto record = [&ticks](int pixel) {
    if (ticks.size() < kMaxTicks) ticks.push_back(pixel);
  };
  if (EffectiveLabelStyle() == talValue) {
    const int fontHeight = canvas.TextHeight("W");
    ForEachLabelValue(step, [&](double, int pixel, const std::string& text) {
      if (!TickOnLabelsOnly) record(pixel);
      if (Labels) {
        if (TickOnLabelsOnly) record(pixel);
        DrawLabel(canvas, pixel, fontHeight, text);
      }
    });
  }

  if (AxisPen.visible) {
    if (Horizontal()) {
      canvas.Line({startPixel, axisPixel}, {endPixel, axisPixel}, AxisPen);
    } else {
      canvas.Line({axisPixel, startPixel}, {axisPixel, endPixel}, AxisPen);
    }
  }
  if (Ticks.visible) DrawTickLines(canvas, ticks, Ticks, 1, tickLength_, false);
  if (Grid.visible) {
    if (GridCentered) {
      std::vector<int> middles;
      for (std::size_t i = 1; i < ticks.size(); ++i)
        middles.push_back(ClampToInt(RoundHalfEven((Extended(ticks[i - 1]) + ticks[i]) / 2)));
      DrawGridLines(canvas, middles, Grid);
    } else {
      DrawGridLines(canvas, ticks, Grid);
    }
  }
  if (TicksInner.visible && TickInnerLength != 0)
    DrawTickLines(canvas, ticks, TicksInner, 1, TickInnerLength, true);

  if (ticks.empty() || (!MinorTicks.visible && !MinorGrid.visible)) return;
  std::vector<int> minor;
  const int m = MinorTickCount;
  auto add = [&](int position) {
    if (startPixel < position && position < endPixel) minor.push_back(position);
  };
  auto offset = [m](int from, int to, int j) {
    const Extended part = Extended(to - from) / (m + 1);
    return ClampToInt(RoundHalfEven(j * part));
  };
  const std::size_t n = ticks.size();
  if (n > 1) {
    for (int j = 1; j <= m; ++j) {
      const int d = offset(ticks[0], ticks[1], j);
      add(ticks[0] - d);
      add(ticks[n - 1] + d);
    }
  }
  for (std::size_t i = 1; i < n; ++i)
    for (int j = 1; j <= m; ++j) add(ticks[i] - offset(ticks[i - 1], ticks[i], j));
  if (MinorTicks.visible) DrawTickLines(canvas, minor, MinorTicks, 1, MinorTickLength, false);
  if (MinorGrid.visible) DrawGridLines(canvas, minor, MinorGrid);
}

}  // namespace vellora::chart
