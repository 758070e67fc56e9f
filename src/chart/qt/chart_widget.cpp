#include "chart/qt/chart_widget.h"

#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>

namespace vellora::chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  chart_.SetSize(width(), height());
  chart_.onRepaintRequest = [this] { update(); };
}

void ChartWidget::RedrawIfStale() {
  if (!chart_.imageStale && canvas_.Image().size() == QSize(chart_.Width(), chart_.Height()))
    return;
  canvas_.SetPalette(palette());
  try {
    chart_.DrawChart(canvas_);
  } catch (const Exception& error) {
    // Finish the image as far as it got and report the error outside the paint. The image
    // stays as it is until the next change, so a failing drawing does not repeat on every
    // paint.
    canvas_.Present();
    chart_.imageStale = false;
    if (onDrawError) {
      Exception copy = error;
      QMetaObject::invokeMethod(
          this,
          [this, copy] {
            if (onDrawError) onDrawError(copy);
          },
          Qt::QueuedConnection);
    }
  }
}

void ChartWidget::paintEvent(QPaintEvent*) {
  RedrawIfStale();
  QPainter painter(this);
  painter.drawImage(0, 0, canvas_.Image());
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
  chart_.SetSize(event->size().width(), event->size().height());
  QWidget::resizeEvent(event);
}

}  // namespace vellora::chart
