// The chart control: a widget that owns a TChart and shows its off-screen image. It redraws
// the image only when the chart marked it stale; otherwise a paint just copies the image. The
// background is never erased, so the control's pixels only come from the image, and from the
// zoom rectangle that the chart inverts on them while the mouse drags it. Mouse presses, moves
// and releases go to the chart, which zooms and pans.
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

  QSize sizeHint() const override { return QSize(chart_.Width(), chart_.Height()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ReportError(const Exception& error, bool fromMouse = false);
  // Runs a mouse action of the chart, reports its error, and shows what it drew.
  void HandleMouse(const std::function<void()>& action);

  TChart chart_;
  QtChartCanvas canvas_;
  // The control's pixels: a copy of the chart image, the zoom rectangle inverted on it.
  QtChartCanvas window_;
};

}  // namespace vellora::chart
