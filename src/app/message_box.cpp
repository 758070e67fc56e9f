#include "app/message_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace vellora::app {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDashLine = QString(27, QLatin1Char('-')) + kCrLf;

// "&&" stands for a literal "&"; a single "&" only marks the access key.
QString WithoutAccessMarks(const QString& caption) {
  QString result;
  for (qsizetype k = 0; k < caption.size(); ++k) {
    if (caption[k] == QLatin1Char('&')) {
      if (k + 1 < caption.size() && caption[k + 1] == QLatin1Char('&')) {
        result += QLatin1Char('&');
        ++k;
      }
      continue;
    }
    result += caption[k];
  }
  return result;
}

// Plain text in lines of at most the label's width: broken between words, and inside a word only
// where the word alone is wider (a long number or path is shown whole, over several lines).
class WrappedLabel : public QLabel {
 public:
  WrappedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
  }

  // As wide as the longest line, but at most `limit` pixels.
  void WrapAt(int limit) {
    QTextLayout layout;
    LayOut(layout, 0);
    qreal widest = 0;
    for (int k = 0; k < layout.lineCount(); ++k) {
      widest = std::max(widest, layout.lineAt(k).naturalTextWidth());
    }
    const QMargins margins = contentsMargins();
    setFixedWidth(std::min(static_cast<int>(std::ceil(widest)), std::max(limit, 1)) +
                  margins.left() + margins.right());
  }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    const QMargins margins = contentsMargins();
    QTextLayout layout;
    const qreal height = LayOut(layout, width - margins.left() - margins.right());
    return static_cast<int>(std::ceil(height)) + margins.top() + margins.bottom();
  }
  QSize sizeHint() const override { return {width(), heightForWidth(width())}; }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    QTextLayout layout;
    LayOut(layout, contentsRect().width());
    layout.draw(&painter, contentsRect().topLeft());
  }

 private:
  // Lays the text out in lines of at most `width` pixels (unlimited when not positive) and
  // returns the height of all lines.
  qreal LayOut(QTextLayout& layout, qreal width) const {
    QString shown = text();
    shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout.setText(shown);
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      if (width > 0) line.setLineWidth(width);
      line.setLeadingIncluded(true);
      line.setPosition(QPointF(0, height));
      height += line.height();
    }
    layout.endLayout();
    return height;
  }
};

// The screen a box over `parent` opens on.
QScreen* ScreenOf(const QWidget* parent) {
  return parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
}

QStyle::StandardPixmap PixmapOf(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Information:
      return QStyle::SP_MessageBoxInformation;
    case QMessageBox::Warning:
      return QStyle::SP_MessageBoxWarning;
    case QMessageBox::Question:
      return QStyle::SP_MessageBoxQuestion;
    default:
      return QStyle::SP_MessageBoxCritical;
  }
}

// Assistive tools announce the box as an alert, as they do the toolkit's own message boxes.
QAccessibleInterface* AlertInterface(const QString& /*className*/, QObject* object) {
  auto* box = dynamic_cast<MessageBox*>(object);
  return box != nullptr ? new QAccessibleWidget(box, QAccessible::AlertMessage) : nullptr;
}

}  // namespace

QString AboutText() {
  return QStringLiteral("Vellora") + kCrLf + QStringLiteral("by vellora@example.org") + kCrLf +
         QStringLiteral("16.2.2006");
}

QString MessageBoxClipboardText(const QString& caption, const QString& text,
                                const QStringList& buttonCaptions) {
  QString buttons;
  for (const QString& button : buttonCaptions) buttons += WithoutAccessMarks(button) + "   ";
  return kDashLine + caption + kCrLf + kDashLine + text + kCrLf + kDashLine + buttons + kCrLf +
         kDashLine;
}

MessageBox::MessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                       QWidget* parent)
    : QDialog(parent), messageText_(text), icon_(icon) {
  [[maybe_unused]] static const bool kAlertInstalled =
      (QAccessible::installFactory(&AlertInterface), true);
  setWindowTitle(caption);
  setWindowModality(Qt::ApplicationModal);
  // The font the system gives message boxes (the application's font where it names none).
  setFont(QApplication::font("QMessageBox"));

  auto* grid = new QGridLayout(this);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  QString shown = text;
  shown.replace(kCrLf, QStringLiteral("\n"));
  auto* label = new WrappedLabel(shown, this);
  textLabel_ = label;
  if (icon == QMessageBox::NoIcon) {
    grid->addWidget(label, 0, 0, 1, 2);
  } else {
    auto* iconLabel = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    iconLabel->setPixmap(style()
                             ->standardIcon(PixmapOf(icon), nullptr, this)
                             .pixmap(QSize(size, size), devicePixelRatioF()));
    grid->addWidget(iconLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(label, 0, 1);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setCenterButtons(style()->styleHint(QStyle::SH_MessageBox_CenterButtons, nullptr, this));
  grid->addWidget(buttons, 1, 0, 1, 2);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  okButton_->setDefault(true);
  okButton_->setFocus();
  connect(okButton_, &QPushButton::clicked, this, [this] { done(QMessageBox::Ok); });

  // Lines wider than half the screen wrap there.
  if (const QScreen* screen = ScreenOf(parent)) label->WrapAt(screen->geometry().width() / 2);
  // Sized now, before the window exists, so that showing it changes nothing.
  grid->activate();
}

void MessageBox::reject() {
  done(QMessageBox::Ok);
}

void MessageBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QApplication::beep();
    QGuiApplication::clipboard()->setText(
        MessageBoxClipboardText(windowTitle(), messageText_, {okButton_->text()}));
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MessageBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen, not on the window that was active.
  if (const QScreen* screen = ScreenOf(parentWidget())) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  QAccessibleEvent alert(this, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

}  // namespace vellora::app
