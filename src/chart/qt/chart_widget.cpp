#include "chart/qt/chart_widget.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "base/rounding.h"

namespace vellora::chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  chart_.onRepaintRequest = [this] { update(); };
  FitToDevice();
  chart_.window = &window_;
}

void ChartWidget::FitToDevice() {
  const double ratio = devicePixelRatioF();
  if (ratio != canvas_.DeviceRatio()) {
    canvas_.SetDeviceRatio(ratio);
    window_.SetDeviceRatio(ratio);
    chart_.ZoomThreshold = DevicePixels(16, ratio);
    chart_.imageStale = true;
  }
  chart_.SetSize(DevicePixels(width(), ratio), DevicePixels(height(), ratio));
}

QSize ChartWidget::sizeHint() const {
  const double ratio = canvas_.DeviceRatio();
  return QSize(static_cast<int>(RoundHalfEven(Extended(chart_.Width()) / ratio)),
               static_cast<int>(RoundHalfEven(Extended(chart_.Height()) / ratio)));
}

TPoint ChartWidget::DevicePoint(const QMouseEvent* event) const {
  const double ratio = canvas_.DeviceRatio();
  return {DevicePixels(event->position().x(), ratio), DevicePixels(event->position().y(), ratio)};
}

void ChartWidget::ReportError(const Exception& error, bool fromMouse) {
  if (!onDrawError && !(fromMouse && onMouseError)) return;
  // The lambda keeps its own copy of the error (its message) until the event loop runs it.
  QMetaObject::invokeMethod(
      this,
      [this, error, fromMouse] {
        if (fromMouse && onMouseError) {
          onMouseError(error);
        } else if (onDrawError) {
          onDrawError(error);
        }
      },
      Qt::QueuedConnection);
}

void ChartWidget::RedrawIfStale() {
  FitToDevice();
  if (!chart_.imageStale && canvas_.Image().size() == QSize(chart_.Width(), chart_.Height()))
    return;
  canvas_.SetPalette(palette());
  window_.SetPalette(palette());
  try {
    chart_.DrawChart(canvas_);
  } catch (const Exception& error) {
    // Finish the image as far as it got and report the error outside the paint. The image
    // stays as it is until the next change, so a failing drawing does not repeat on every
    // paint. A zoom drag's rectangle still goes on it, so that the next move erases it.
    canvas_.ClearClip();
    if (chart_.zoomDrag.active) chart_.DrawZoomRectangle(canvas_);
    canvas_.Present();
    chart_.imageStale = false;
    ReportError(error);
  }
  window_.SetImage(canvas_.Image());
}

void ChartWidget::paintEvent(QPaintEvent*) {
  RedrawIfStale();
  // One image pixel per screen pixel: the image spans its size over the ratio in the control's
  // own coordinates, which the painter scales back to the screen's pixels.
  const QImage& image = window_.Image();
  const double ratio = canvas_.DeviceRatio();
  QPainter painter(this);
  painter.drawImage(QRectF(0, 0, image.width() / ratio, image.height() / ratio), image,
                    QRectF(image.rect()));
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
  FitToDevice();
  QWidget::resizeEvent(event);
}

namespace {

// The left button zooms and the right one pans; any other only ends a pan when released.
TMouseButton ChartButton(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return TMouseButton::mbLeft;
  if (button == Qt::RightButton) return TMouseButton::mbRight;
  return TMouseButton::mbMiddle;
}

}  // namespace

void ChartWidget::HandleMouse(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    ReportError(error, true);
  }
  update();
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
  const TPoint point = DevicePoint(event);
  HandleMouse([&] {
    chart_.MouseDown(ChartButton(event->button()), point.x, point.y);
    if (chart_.zoomDrag.active) unsetCursor();
  });
  event->accept();
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
  const TPoint point = DevicePoint(event);
  HandleMouse([&] { chart_.MouseMove(point.x, point.y); });
  event->accept();
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const TPoint point = DevicePoint(event);
  HandleMouse([&] { chart_.MouseUp(ChartButton(event->button()), point.x, point.y); });
  event->accept();
}

}  // namespace vellora::chart
