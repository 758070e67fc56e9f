#include "app/controls.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

namespace vellora::app {

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Vertical, parent) {
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
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(frame.adjusted(1, 1, 0, 0));

  const QRect captionRect(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
  painter.fillRect(captionRect, palette().window());
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(captionRect, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

}  // namespace vellora::app
