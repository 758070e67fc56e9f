#include "app/lattice_image.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

#include "base/rounding.h"

namespace vellora::app {

LatticeImage::LatticeImage(QWidget* parent) : QWidget(parent), picture_(32) {
  // The raster covers the control; the rest (if the control is larger) is the window colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void LatticeImage::Draw(const sim::SpinLattice& lattice) {
  const QSize size = DeviceSize();
  picture_.Draw(lattice, size.width(), size.height());
  repaint();
}

QSize LatticeImage::DeviceSize() const {
  const double ratio = devicePixelRatioF();
  return {DevicePixels(width(), ratio), DevicePixels(height(), ratio)};
}

QImage LatticeImage::View() const {
  const picture::RasterSurface* surface = picture_.Surface();
  if (surface == nullptr) return {};
  return QImage(surface->Bits(), surface->Width(), surface->Height(),
                static_cast<qsizetype>(surface->BytesPerLine()), QImage::Format_RGB32);
}

void LatticeImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // The view shares the raster's memory; tagging it with the screen's ratio makes the painter
  // put one raster pixel on each screen pixel.
  QImage image = View();
  const double ratio = devicePixelRatioF();
  image.setDevicePixelRatio(ratio);
  // Whatever the raster does not cover in full shows the window colour, and the raster goes
  // over it, so that a logical pixel the raster covers only in part is not left unpainted.
  const QRect covered(0, 0, static_cast<int>(std::floor(image.width() / ratio)),
                      static_cast<int>(std::floor(image.height() / ratio)));
  for (const QRect& part : event->region() - covered) painter.fillRect(part, palette().window());
  if (!image.isNull()) painter.drawImage(QPointF(0, 0), image);
}

}  // namespace vellora::app
