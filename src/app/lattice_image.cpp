#include "app/lattice_image.h"

#include <QPaintEvent>
#include <QPainter>

namespace vellora::app {

LatticeImage::LatticeImage(QWidget* parent) : QWidget(parent), picture_(32) {
  // The raster covers the control; the rest (if the control is larger) is the window colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void LatticeImage::Draw(const sim::SpinLattice& lattice) {
  picture_.Draw(lattice, width(), height());
  repaint();
}

QImage LatticeImage::View() const {
  const picture::RasterSurface* surface = picture_.Surface();
  if (surface == nullptr) return {};
  return QImage(surface->Bits(), surface->Width(), surface->Height(),
                static_cast<qsizetype>(surface->BytesPerLine()), QImage::Format_RGB32);
}

void LatticeImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage image = View();
  const QRect imageRect(0, 0, image.width(), image.height());
  for (const QRect& area : event->region()) {
    const QRect shown = area & imageRect;
    if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), image, shown);
    // Whatever the raster does not cover shows the window colour.
    const QRegion rest = QRegion(area) - imageRect;
    for (const QRect& part : rest) painter.fillRect(part, palette().window());
  }
}

}  // namespace vellora::app
