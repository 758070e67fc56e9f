// The image control that shows the lattice picture: the raster at the control's top-left
// corner, one raster pixel per screen pixel, never stretched or centred. The raster has the
// control's size in the screen's own pixels: on a screen with r device pixels per logical pixel,
// a control 500 logical pixels wide holds a raster of round(500 r) pixels, with the cells laid
// out over that width.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>

#include "picture/lattice_drawing.h"
#include "sim/simulation_state.h"

namespace vellora::app {

class LatticeImage : public QWidget {
 public:
  explicit LatticeImage(QWidget* parent = nullptr);

  // Draws the lattice into the raster (made at the control's device size on first use) and
  // repaints the control before returning, so every block's picture reaches the screen even when
  // ticks follow each other without pause. A control that is not shown yet paints the picture
  // when it first appears.
  void Draw(const sim::SpinLattice& lattice);

  // The raster once the first drawing made it, else null.
  picture::RasterSurface* Surface() { return picture_.Surface(); }
  const picture::RasterSurface* Surface() const { return picture_.Surface(); }

  // A view of the raster without copying, one pixel per raster pixel (a device pixel ratio of
  // 1); null before the first drawing.
  QImage View() const;

  // The control's width and height in the screen's pixels.
  QSize DeviceSize() const;

  // The picture in words for a screen reader, computed when one asks.
  std::function<QString()> describe;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  picture::LatticePicture picture_;
};

}  // namespace vellora::app
