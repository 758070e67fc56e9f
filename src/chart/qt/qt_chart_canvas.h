// A ChartCanvas that draws into an off-screen QImage. Lines are rasterised here, pixel by
// pixel, so that every chart looks the same on every Qt platform: the end point of a line is
// left out and a dotted pen paints every other pixel.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <optional>

#include "chart/chart_canvas.h"

namespace vellora::chart {

class QtChartCanvas : public ChartCanvas {
 public:
  QtChartCanvas();
  ~QtChartCanvas() override;

  // The palette that the named desktop colours are taken from (the application's by default).
  void SetPalette(const QPalette& palette) { palette_ = palette; }
  QColor ResolveColour(TColor colour) const;

  // Screen pixels per logical pixel of the window that shows the image. The image is drawn in
  // its own pixels, which are the screen's; only the fonts depend on the ratio: a font is made at
  // its pixel size on such a screen (8 points: 11 pixels at 1, 16 at 1.5, 21 at 2).
  void SetDeviceRatio(double ratio);
  double DeviceRatio() const { return ratio_; }

  const QImage& Image() const { return image_; }
  // Takes over a finished image, as the window does when the chart image is copied to it; the
  // inverting outline can then be drawn over it.
  void SetImage(const QImage& image);

  void BeginDrawing(int width, int height) override;
  void Present() override;
  void FillRect(const TRect& rect, TColor colour) override;
  void FrameRect(const TRect& rect, const TChartPen& pen) override;
  void Line(TPoint from, TPoint to, const TChartPen& pen) override;
  void Polyline(const std::vector<TPoint>& points, const TChartPen& pen) override;
  void SetFont(const TChartFont& font) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text, THorizontalAlign horizontal,
               TVerticalAlign vertical) override;
  void SetClip(const TRect& rect) override;
  void ClearClip() override;
  void Reset() override;
  TColor RgbOf(TColor colour) const override;
  void InvertFrame(TPoint corner1, TPoint corner2, TColor colour) override;

  // The pixel size of a font given in points, on 96 pixels per inch times the device ratio,
  // rounded half away from zero.
  static int PixelSizeOfPoints(int points, double ratio = 1);

 private:
  QImage image_;
  QPainter painter_;
  QPalette palette_;
  double ratio_ = 1;
  TChartFont chartFont_;
  QFont font_;
  QFontMetrics metrics_;
  QColor fontColour_;
};

}  // namespace vellora::chart
