// The chart control: a widget that owns a TChart and shows its off-screen image. It redraws
// the image only when the chart marked it stale; otherwise a paint just copies the image. The
// background is never erased, so the control's pixels only come from the image.
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

  // Redraws now if the image is stale (what a paint does before it copies the image).
  void RedrawIfStale();

  // Receives an error raised while the chart was drawn; called from the event loop after the
  // paint, not inside it.
  std::function<void(const Exception&)> onDrawError;

  QSize sizeHint() const override { return QSize(chart_.Width(), chart_.Height()); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TChart chart_;
  QtChartCanvas canvas_;
};

}  // namespace vellora::chart
