#include "chart/qt/qt_chart_canvas.h"

#include <QGuiApplication>
#include <QPoint>
#include <QString>
#include <algorithm>
#include <cstdlib>

#include "base/rounding.h"

namespace vellora::chart {

namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont MakeFont(const TChartFont& font, double ratio) {
  QFont result(QString::fromStdString(font.name));
  result.setPixelSize(QtChartCanvas::PixelSizeOfPoints(font.points, ratio));
  return result;
}

}  // namespace

int QtChartCanvas::PixelSizeOfPoints(int points, double ratio) {
  return static_cast<int>(RoundHalfAway(Extended(points) * 96 * ratio / 72));
}

QtChartCanvas::QtChartCanvas()
    : palette_(QGuiApplication::palette()),
      font_(MakeFont(chartFont_, ratio_)),
      metrics_(font_),
      fontColour_(Qt::black) {}

QtChartCanvas::~QtChartCanvas() {
  if (painter_.isActive()) painter_.end();
}

QColor QtChartCanvas::ResolveColour(TColor colour) const {
  switch (colour) {
    case clBtnFace:
      return palette_.color(QPalette::Button);
    case clBtnHighlight:
      return palette_.color(QPalette::Light);
    case clBtnShadow:
      return palette_.color(QPalette::Dark);
    case clDefault:
      return QColor(Qt::black);
    default:
      break;
  }
  if (IsSystemColour(colour)) return palette_.color(QPalette::Button);
  return QColor(static_cast<int>((colour >> 16) & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>(colour & 0xFF));
}

void QtChartCanvas::BeginDrawing(int width, int height) {
  if (painter_.isActive()) painter_.end();
  if (image_.width() != width || image_.height() != height)
    image_ = QImage(width, height, QImage::Format_RGB32);
  painter_.begin(&image_);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
}

void QtChartCanvas::Present() {
  if (painter_.isActive()) painter_.end();
}

void QtChartCanvas::FillRect(const TRect& rect, TColor colour) {
  painter_.fillRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ResolveColour(colour));
}

void QtChartCanvas::FrameRect(const TRect& rect, const TChartPen& pen) {
  // Closing the outline at its first corner paints every corner once.
  Polyline({{rect.left, rect.top},
            {rect.right, rect.top},
            {rect.right, rect.bottom},
            {rect.left, rect.bottom},
            {rect.left, rect.top}},
           pen);
}

void QtChartCanvas::Line(TPoint from, TPoint to, const TChartPen& pen) {
  if (!pen.visible || from == to) return;
  const QColor colour = ResolveColour(pen.colour);
  const int width = pen.width < 1 ? 1 : pen.width;
  const int half = width / 2;

  // A solid horizontal or vertical line is one band of pixels, centred on the line.
  if (pen.style == TPenStyle::psSolid && (from.x == to.x || from.y == to.y)) {
    QRect band;
    if (from.y == to.y) {
      const int left = from.x < to.x ? from.x : to.x + 1;
      band = QRect(left, from.y - half, std::abs(to.x - from.x), width);
    } else {
      const int top = from.y < to.y ? from.y : to.y + 1;
      band = QRect(from.x - half, top, width, std::abs(to.y - from.y));
    }
    painter_.fillRect(band, colour);
    return;
  }

  // Bresenham from the start point, the end point excluded.
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int stepX = from.x < to.x ? 1 : -1;
  const int stepY = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  int x = from.x;
  int y = from.y;
  QList<QPoint> pixels;
  for (int index = 0; !(x == to.x && y == to.y); ++index) {
    if (pen.style == TPenStyle::psSolid || index % 2 == 0) {
      if (width == 1) {
        pixels.append(QPoint(x, y));
      } else {
        painter_.fillRect(QRect(x - half, y - half, width, width), colour);
      }
    }
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      y += stepY;
    }
  }
  if (!pixels.isEmpty()) {
    painter_.setPen(QPen(colour, 1));
    painter_.drawPoints(pixels.constData(), static_cast<int>(pixels.size()));
  }
}

void QtChartCanvas::Polyline(const std::vector<TPoint>& points, const TChartPen& pen) {
  for (std::size_t i = 1; i < points.size(); ++i) Line(points[i - 1], points[i], pen);
}

void QtChartCanvas::SetDeviceRatio(double ratio) {
  if (ratio == ratio_) return;
  ratio_ = ratio;
  SetFont(chartFont_);
}

void QtChartCanvas::SetFont(const TChartFont& font) {
  chartFont_ = font;
  font_ = MakeFont(font, ratio_);
  metrics_ = QFontMetrics(font_);
  fontColour_ = ResolveColour(font.colour);
}

int QtChartCanvas::TextWidth(std::string_view text) {
  return metrics_.horizontalAdvance(ToQString(text));
}

int QtChartCanvas::TextHeight(std::string_view) {
  return metrics_.height();
}

void QtChartCanvas::TextOut(int x, int y, std::string_view text, THorizontalAlign horizontal,
                            TVerticalAlign vertical) {
  const QString string = ToQString(text);
  const int width = metrics_.horizontalAdvance(string);
  if (horizontal == THorizontalAlign::Center) x -= width / 2;
  if (horizontal == THorizontalAlign::Right) x -= width;
  if (vertical == TVerticalAlign::Bottom) y -= metrics_.height();
  painter_.setFont(font_);
  painter_.setPen(fontColour_);
  painter_.drawText(x, y + metrics_.ascent(), string);
}

void QtChartCanvas::SetClip(const TRect& rect) {
  const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
  painter_.setClipRect(area, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void QtChartCanvas::ClearClip() {
  painter_.setClipping(false);
}

void QtChartCanvas::SetImage(const QImage& image) {
  if (painter_.isActive()) painter_.end();
  image_ = image;
}

TColor QtChartCanvas::RgbOf(TColor colour) const {
  const QColor resolved = ResolveColour(colour);
  return RgbColour(resolved.red(), resolved.green(), resolved.blue());
}

void QtChartCanvas::InvertFrame(TPoint corner1, TPoint corner2, TColor colour) {
  if (image_.isNull()) return;
  const int left = std::min(corner1.x, corner2.x);
  const int right = std::max(corner1.x, corner2.x);
  const int top = std::min(corner1.y, corner2.y);
  const int bottom = std::max(corner1.y, corner2.y);
  // Bands that do not overlap, so that no pixel is inverted twice: the top and bottom rows in
  // full, the left and right columns between them.
  QList<QRect> bands{QRect(left, top, right - left + 1, 1)};
  if (bottom != top) bands.append(QRect(left, bottom, right - left + 1, 1));
  if (bottom - top > 1) {
    bands.append(QRect(left, top + 1, 1, bottom - top - 1));
    if (right != left) bands.append(QRect(right, top + 1, 1, bottom - top - 1));
  }
  const QColor pen = ResolveColour(colour);
  auto invert = [&bands, &pen](QPainter& painter) {
    painter.save();
    painter.setClipping(false);
    // (NOT pen) XOR pixel, which is NOT(pixel XOR pen).
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    for (const QRect& band : bands) painter.fillRect(band, pen);
    painter.restore();
  };
  if (painter_.isActive()) {
    invert(painter_);
  } else {
    QPainter painter(&image_);
    invert(painter);
  }
}

void QtChartCanvas::Reset() {
  painter_.setClipping(false);
  SetFont(TChartFont{"Arial", 10, clBlack});
}

}  // namespace vellora::chart
