// The chart control: a widget that owns a TChart and shows its off-screen image. It redraws
// the image only when the chart marked it stale; otherwise a paint just copies the image. The
// background is never erased, so the control's pixels only come from the image, and from the
// zoom rectangle that the chart inverts on them while the mouse drags it. Mouse presses, moves
// and releases go to the chart, which zooms and pans.
//
// The chart works in the screen's own pixels: on a screen with r device pixels per logical
// pixel, a control of w x h logical pixels holds a chart of round(w r) x round(h r) pixels with
// its fonts at their size on that screen, laid out and drawn as a chart of that size is, and
// shown one image pixel per screen pixel. Mouse positions are turned into those pixels; a zoom
// still needs a drag of more than 16 logical pixels.
#pragma once

#include <QWidget>
#include <functional>

#include "base/errors.h"
#include "chart/chart.h"
#include "chart/qt/qt_chart_canvas.h"

namespace vellora::chart {

class ChartWidget : public QWidget {
 public:
  explicit ChartWidget(QWidget* parent = nullptr);

  TChart& Chart() { return chart_; }
  const TChart& Chart() const { return chart_; }
  const QImage& Image() const { return canvas_.Image(); }
  // What the control shows: the image with the zoom rectangle over it during a zoom drag.
  const QImage& WindowImage() const { return window_.Image(); }

  // Redraws now if the image is stale (what a paint does before it copies the image).
  void RedrawIfStale();

  // Receives an error raised while the chart was drawn or handled the mouse; called from the
  // event loop afterwards, not inside the paint or the mouse event.
  std::function<void(const Exception&)> onDrawError;
  // Receives an error raised while the chart handled the mouse (a zoom or a pan), the same way;
  // when unset, such errors go to onDrawError.
  std::function<void(const Exception&)> onMouseError;

  // The chart's size in the control's (logical) pixels.
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Sizes the chart to the control's device pixels and makes its fonts for the screen, both
  // after a resize and when the control has moved to a screen of another density.
  void FitToDevice();
  TPoint DevicePoint(const QMouseEvent* event) const;
  void ReportError(const Exception& error, bool fromMouse = false);
  // Runs a mouse action of the chart, reports its error, and shows what it drew.
  void HandleMouse(const std::function<void()>& action);

  TChart chart_;
  QtChartCanvas canvas_;
  // The control's pixels: a copy of the chart image, the zoom rectangle inverted on it.
  QtChartCanvas window_;
};

}  // namespace vellora::chart
