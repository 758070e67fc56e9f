#include "app/controls.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QProxyStyle>
#include <QStyleOptionSlider>
#include <algorithm>
#include <cstdlib>

namespace vellora::app {
namespace {

// A line one screen pixel wide at any scale: at 150 % a one-pixel pen would cover one or two
// screen rows depending on where the line falls, and the marks would look uneven.
QPen HairlinePen(const QColor& colour) {
  QPen pen(colour, 0);
  pen.setCosmetic(true);
  return pen;
}

// The desktop's style with the track bar's thumb length.
class TrackBarStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_SliderLength) return TrackBar::kThumbLength;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Vertical, parent) {
  auto* style = new TrackBarStyle;
  style->setParent(this);
  setStyle(style);
  // Minimum at the top; Up, Page Up and the wheel away from the user move towards it.
  setInvertedAppearance(true);
  setInvertedControls(true);
  setTickPosition(QSlider::TicksRight);
  setTracking(true);
  // The position has been refreshed when actionTriggered is emitted; the value follows right
  // after, so the handler sees the new position either way.
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int) { Notify(); });
  connect(this, &QAbstractSlider::sliderReleased, this, [this] { Notify(); });
}

void TrackBar::keyPressEvent(QKeyEvent* event) {
  // Left goes up towards the minimum and Right down towards the maximum, as Up and Down do.
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Left) {
      triggerAction(SliderSingleStepSub);
      event->accept();
      return;
    }
    if (event->key() == Qt::Key_Right) {
      triggerAction(SliderSingleStepAdd);
      event->accept();
      return;
    }
  }
  QSlider::keyPressEvent(event);
}

std::vector<int> TrackBar::TickPositions() const {
  std::vector<int> positions;
  const int interval = tickInterval() > 0 ? tickInterval() : pageStep();
  for (long long position = minimum(); position < maximum(); position += interval) {
    positions.push_back(static_cast<int>(position));
  }
  positions.push_back(maximum());
  return positions;
}

void TrackBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  const auto thumbAt = [&](int position) {
    QStyleOptionSlider at = option;
    at.sliderPosition = position;
    return style()->subControlRect(QStyle::CC_Slider, &at, QStyle::SC_SliderHandle, this);
  };
  const QRect thumb = thumbAt(option.sliderPosition);
  const QRect first = thumbAt(minimum());
  const QRect last = thumbAt(maximum());
  const int centre = thumb.left() + thumb.width() / 2;

  // The channel: a groove four pixels wide, sunken, from the thumb's centre at one end to its
  // centre at the other, the same all along.
  const QRect channel(centre - 2, std::min(first.top(), last.top()) + 2, 4,
                      std::abs(last.top() - first.top()) + thumb.height() - 4);
  const QPalette& colours = palette();
  painter.fillRect(channel, colours.color(QPalette::Base));
  painter.setPen(HairlinePen(colours.color(QPalette::Dark)));
  painter.drawLine(channel.topLeft(), channel.topRight());
  painter.drawLine(channel.topLeft(), channel.bottomLeft());
  painter.setPen(HairlinePen(colours.color(QPalette::Light)));
  painter.drawLine(channel.bottomLeft(), channel.bottomRight());
  painter.drawLine(channel.topRight(), channel.bottomRight());

  // The tick marks: short lines right of the thumb, level with the thumb's centre.
  if (tickPosition() != QSlider::NoTicks) {
    painter.setPen(HairlinePen(
        colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText)));
    const int tickLeft = thumb.right() + 3;
    for (int position : TickPositions()) {
      const QRect at = thumbAt(position);
      const int y = at.top() + at.height() / 2;
      painter.drawLine(tickLeft, y, tickLeft + 3, y);
    }
  }

  // The thumb as the style draws it, without the style's groove or ticks (the tick position
  // stays: it places the thumb where the mouse finds it).
  option.subControls = QStyle::SC_SliderHandle;
  style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

void TrackBar::MoveAsUser(int position) {
  position = std::clamp(position, minimum(), maximum());
  if (position == sliderPosition()) {
    triggerAction(SliderMove);
  } else {
    // With tracking on, a new position is a SliderMove action, as during a drag.
    setSliderPosition(position);
  }
}

void TrackBar::Notify() {
  if (onChange) onChange();
}

ParameterEdit::ParameterEdit(QWidget* parent) : QLineEdit(parent) {}

void ParameterEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
      if (onEnter) onEnter();
      break;
    default:
      break;
  }
}

GroupBox::GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void GroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
  painter.setPen(HairlinePen(palette().color(QPalette::Dark)));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(HairlinePen(palette().color(QPalette::Light)));
  painter.drawRect(frame.adjusted(1, 1, 0, 0));

  const QRect captionRect(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
  painter.fillRect(captionRect, palette().window());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(captionRect, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

}  // namespace vellora::app
