// The strip chart: a line series of (x, y) points, the four value axes and the chart that lays
// them out and draws them on a ChartCanvas.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/extended.h"
#include "chart/chart_canvas.h"
#include "chart/colours.h"
#include "chart/value_list.h"

namespace vellora::chart {

class TChart;

// A series drawn as a line through its points, in X order.
class TLineSeries {
 public:
  explicit TLineSeries(TChart* parentChart = nullptr);
  TLineSeries(const TLineSeries&) = delete;
  TLineSeries& operator=(const TLineSeries&) = delete;

  TChartValueList XValues{"X", loAscending};
  TChartValueList YValues{"Y", loNone};

  // Adds one point where its x belongs and returns its index. An empty label is kept as none.
  int AddPoint(double x, double y, std::string_view label = {}, TColor colour = clDefault);
  void ClearPoints();

  int PointCount() const { return XValues.ValueCount(); }
  double XValueAt(int i) const { return XValues.ValueAt(i); }
  double YValueAt(int i) const { return YValues.ValueAt(i); }
  double LowestX() const { return XValues.Lowest(); }
  double HighestX() const { return XValues.Highest(); }
  double LowestY() const { return YValues.Lowest(); }
  double HighestY() const { return YValues.Highest(); }
  // The colour point i is drawn with: its own, or the series colour for clDefault.
  TColor PointColour(int i) const;
  bool IsNullPoint(int i) const { return PointColour(i) == clNone; }
  // The label given with point i, if any.
  const std::optional<std::string>& PointLabel(int i) const {
    static const std::optional<std::string> kNoLabel;
    return labels_.empty() ? kNoLabel : labels_[static_cast<std::size_t>(i)];
  }

  TColor SeriesColor() const { return seriesColor_; }
  void SetSeriesColor(TColor colour);
  bool Active() const { return active_; }
  void SetActive(bool active);
  bool PointerVisible() const { return pointerVisible_; }
  void SetPointerVisible(bool visible);

  // The line's pen; its colour is replaced by each point's colour when drawn.
  TChartPen LinePen;

  TChart* ParentChart() const { return parentChart_; }
  void SetParentChart(TChart* chart) { parentChart_ = chart; }

 private:
  void Changed();

  std::vector<TColor> colours_;
  // One entry per point once any point has a label; empty before, so that a long run of
  // unlabelled points (all the program adds) keeps only its values and colours.
  std::vector<std::optional<std::string>> labels_;
  TColor seriesColor_ = clRed;
  bool active_ = true;
  bool pointerVisible_ = true;
  TChart* parentChart_ = nullptr;
};

enum class TAxisSide { Bottom, Top, Left, Right };

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// One value axis: its range (fixed or automatic), the mapping between values and pixels, the
// choice of label values and texts, and its room and drawing at the edge of the plot.
class TChartAxis {
 public:
  TChartAxis(TChart* parentChart, TAxisSide side);
  TChartAxis(const TChartAxis&) = delete;
  TChartAxis& operator=(const TChartAxis&) = delete;

  TAxisSide Side() const { return side_; }
  bool Horizontal() const { return side_ == TAxisSide::Bottom || side_ == TAxisSide::Top; }

  // Range properties. Outside loading, a minimum above the maximum, a maximum below the
  // minimum and a negative increment are refused with AxisException and change nothing.
  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  double Increment() const { return increment_; }
  void SetMinimum(double value);
  void SetMaximum(double value);
  void SetIncrement(double value);
  bool Automatic() const { return automatic_; }
  bool AutomaticMinimum() const { return automaticMinimum_; }
  bool AutomaticMaximum() const { return automaticMaximum_; }
  void SetAutomatic(bool value);
  void SetAutomaticMinimum(bool value);
  void SetAutomaticMaximum(bool value);
  // Zoom and panning: clears the automatic flags and stores the ordered pair unchecked, keeping
  // the range at least 1e-10 wide.
  void SetRange(double a, double b);

  const std::string& AxisValuesFormat() const { return axisValuesFormat_; }
  void SetAxisValuesFormat(std::string format);
  TAxisLabelStyle LabelStyle() const { return labelStyle_; }
  void SetLabelStyle(TAxisLabelStyle style);
  int TickLength() const { return tickLength_; }
  void SetTickLength(int length);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Drawing settings with their usual values; the program never changes them after loading.
  int LabelsSeparation = 10;
  bool RoundFirstLabel = true;
  bool LabelsOnAxis = true;
  bool TickOnLabelsOnly = true;
  bool Labels = true;
  TChartFont LabelsFont;
  double StartPosition = 0;
  double EndPosition = 100;
  int LabelsSize = 0;
  TChartPen AxisPen{clBlack, 2, TPenStyle::psSolid, true};
  TChartPen Ticks{clGray, 1, TPenStyle::psSolid, true};
  TChartPen TicksInner{clGray, 1, TPenStyle::psSolid, true};
  int TickInnerLength = 0;
  TChartPen MinorTicks{clGray, 1, TPenStyle::psSolid, true};
  int MinorTickLength = 2;
  int MinorTickCount = 3;
  TChartPen Grid{clGray, 1, TPenStyle::psDot, true};
  TChartPen MinorGrid{clGray, 1, TPenStyle::psDot, false};
  bool GridCentered = false;

  // Working values of the last layout.
  double drawMinimum = 0;
  double drawMaximum = 0;
  double drawRange = 0;
  int startPixel = 0;
  int endPixel = 0;
  int lengthPixels = 0;
  int centerPixel = 0;
  int axisPixel = 0;
  int labelsPixel = 0;

  // Whether the axis takes room and is drawn.
  bool IsShown() const;
  // The range to draw: from the series when automatic.
  void UpdateRange();
  void PlaceOnChartRect(const TRect& rect);
  int ValueToPixel(double value) const;
  double PixelToValue(int pixel) const;
  // Distance between consecutive labels, measured with the labels font on the canvas.
  double LabelStep(ChartCanvas& canvas) const;
  static double NextNiceStep(double step);
  std::string LabelText(const Extended& value) const;
  // Calls action(value, pixel, text) for the label values from the top of the range down.
  using LabelAction = std::function<void(double value, int pixel, const std::string& text)>;
  void ForEachLabelValue(ChartCanvas& canvas, const LabelAction& action) const;
  // What the axis labels: talValue, talText or talNone once talAuto is resolved.
  TAxisLabelStyle EffectiveLabelStyle() const;

  int TickRoom() const;
  int LabelRoom(ChartCanvas& canvas) const;
  // Shrinks the rectangle on the axis' side by the axis' room and sets labelsPixel.
  void ReserveRoom(ChartCanvas& canvas, TRect& rect);
  void DrawAxis(ChartCanvas& canvas);

 private:
  void ForEachLabelValue(double step, const LabelAction& action) const;
  void Shrink(TRect& rect, int amount) const;
  int Edge(const TRect& rect) const;
  void DrawLabel(ChartCanvas& canvas, int pixel, int fontHeight, const std::string& text);
  void DrawTickLines(ChartCanvas& canvas, const std::vector<int>& positions, const TChartPen& pen,
                     int offset, int length, bool inward);
  void DrawGridLines(ChartCanvas& canvas, const std::vector<int>& positions, const TChartPen& pen);
  void Repaint();
  bool Loading() const;

  TChart* parentChart_;
  TAxisSide side_;
  bool automatic_ = true;
  bool automaticMinimum_ = true;
  bool automaticMaximum_ = true;
  double minimum_ = 0;
  double maximum_ = 0;
  double increment_ = 0;
  std::string axisValuesFormat_ = "#,##0.###";
  TAxisLabelStyle labelStyle_ = talAuto;
  int tickLength_ = 4;
  bool visible_ = true;
};

struct TChartTitle {
  std::vector<std::string> Text;
  bool Visible = true;
  THorizontalAlign Alignment = THorizontalAlign::Center;
  TChartFont Font{"Arial", 8, clBlue};
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Which directions a right-button drag pans.
enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };

// A mouse drag: where it started (x0, y0), where the pointer was last seen (x1, y1) and
// whether it is going on. Positions are client pixels.
struct TDragRecord {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool active = false;
};

// What a mouse press finds under the pointer, checked in this order.
enum class THitPart { None, Series, Axis, Title, PlotRect };

class TChart {
 public:
  TChart();
  TChart(const TChart&) = delete;
  TChart& operator=(const TChart&) = delete;

  // The series are owned by the chart and drawn in the order they were added.
  TLineSeries& AddSeries();
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TLineSeries& Series(int i) { return *series_[static_cast<std::size_t>(i)]; }
  const TLineSeries& Series(int i) const { return *series_[static_cast<std::size_t>(i)]; }
  bool HasActiveSeries() const;

  TChartAxis& BottomAxis() { return bottomAxis_; }
  TChartAxis& TopAxis() { return topAxis_; }
  TChartAxis& LeftAxis() { return leftAxis_; }
  TChartAxis& RightAxis() { return rightAxis_; }
  const TChartAxis& BottomAxis() const { return bottomAxis_; }
  const TChartAxis& LeftAxis() const { return leftAxis_; }

  // Client size of the control.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);

  TColor Color() const { return color_; }
  void SetColor(TColor colour);
  const TChartTitle& Title() const { return title_; }
  void SetTitle(TChartTitle title);
  bool AxisVisible() const { return axisVisible_; }
  void SetAxisVisible(bool visible);
  bool View3D() const { return false; }

  int MarginLeft = 3;
  int MarginTop = 4;
  int MarginRight = 3;
  int MarginBottom = 4;
  TChartPen BackWallPen{clBlack, 1, TPenStyle::psSolid, true};
  bool ClipPoints = true;

  // Settings made while loading are stored without the axis checks and without repaints.
  void BeginLoading() { loading_ = true; }
  void EndLoading();
  bool Loading() const { return loading_; }

  // Marks the image stale and tells the control to repaint (when AutoRepaint is on).
  void RequestRepaint();
  bool AutoRepaint = true;
  bool imageStale = true;
  // Called by RequestRepaint; the window control sets it to schedule a paint.
  std::function<void()> onRepaintRequest;

  // Full layout and drawing of the control into the canvas; clears imageStale.
  void DrawChart(ChartCanvas& canvas);

  // Layout results of the last DrawChart. The title rectangle is empty without a title.
  TRect controlRect;
  TRect plotRect;
  TRect titleRect;

  // Mouse zoom and panning. A left drag right and down over more than 16 pixels both ways
  // zooms every axis to the dragged rectangle; any other left drag of that size undoes the
  // zooms and pans; a right drag moves the axes' ranges with the pointer. The axes keep the
  // positions of the last DrawChart, so the events refer to the picture on the screen.
  bool AllowZoom = true;
  TPanningMode AllowPanning = pmBoth;
  // A zoom or undo needs a drag of more than this many pixels both ways: 16 of the pixels the
  // user drags in, which a window on a denser screen gives in its own pixels.
  int ZoomThreshold = 16;
  void MouseDown(TMouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(TMouseButton button, int x, int y);
  THitPart HitTest(int x, int y) const;
  // Sets every axis to the values under the rectangle from (left, top) to (right, bottom),
  // corners in any order. The first zoom or pan after construction or an undo saves the
  // scales; RestoreZoom brings them back.
  void ZoomTo(const TRect& rect);
  void RestoreZoom();
  TDragRecord zoomDrag;
  TDragRecord panningDrag;
  // True while no scales are saved: at construction and after each RestoreZoom.
  bool scalesRestored = true;

  // The surface the zoom rectangle is drawn on while the mouse drags it: the window, over the
  // chart image shown there. Set by the window control; without it only redraws show the
  // rectangle.
  ChartCanvas* window = nullptr;
  // The zoom rectangle's pen: the chart colour as RGB, or black when that is white.
  TColor ZoomPenColour(const ChartCanvas& canvas) const;
  // Inverts the outline of the zoom drag's rectangle on the canvas (again to erase it).
  void DrawZoomRectangle(ChartCanvas& canvas) const;

 private:
  // One axis' range settings as a zoom or pan finds them.
  struct TAxisScale {
    bool automatic = true;
    bool automaticMinimum = true;
    bool automaticMaximum = true;
    double minimum = 0;
    double maximum = 0;
  };
  void SaveScales();
  void DrawZoomOnWindow() const;
  // Moves the ranges of the horizontal or the vertical axes by the values between two pixels;
  // true when a range changed.
  bool PanAxes(bool horizontal, int from, int to);
  // The indices of the points that the line is drawn through; false when there are none.
  bool VisibleRange(const TLineSeries& series, int& first, int& last) const;
  bool SeriesLineHit(const TLineSeries& series, TPoint point) const;
  const TChartAxis* Axes(int i) const;

  void NormalisePlotRect();
  void DrawBevel(ChartCanvas& canvas);
  void DrawTitle(ChartCanvas& canvas);
  void LayoutAxes(ChartCanvas& canvas);
  void DrawSeries(ChartCanvas& canvas, TLineSeries& series);
  TChartAxis* Axes(int i);

  std::vector<std::unique_ptr<TLineSeries>> series_;
  TChartAxis bottomAxis_{this, TAxisSide::Bottom};
  TChartAxis topAxis_{this, TAxisSide::Top};
  TChartAxis leftAxis_{this, TAxisSide::Left};
  TChartAxis rightAxis_{this, TAxisSide::Right};
  int width_ = 400;
  int height_ = 250;
  TColor color_ = clBtnFace;
  TChartTitle title_;
  bool axisVisible_ = true;
  bool loading_ = false;
  // In the order of Axes(): bottom, top, left, right.
  TAxisScale savedScales_[4];
};

}  // namespace vellora::chart
