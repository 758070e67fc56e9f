#include "app/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

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
    : QMessageBox(parent), messageText_(text) {
  setIcon(icon);
  setWindowTitle(caption);
  setTextFormat(Qt::PlainText);
  QString shown = text;
  shown.replace(kCrLf, QStringLiteral("\n"));
  setText(shown);
  QPushButton* ok = addButton(QMessageBox::Ok);
  setDefaultButton(ok);
  setEscapeButton(ok);
  setWindowModality(Qt::ApplicationModal);
}

void MessageBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QStringList captions;
    for (QAbstractButton* button : buttons()) captions << button->text();
    QApplication::beep();
    QGuiApplication::clipboard()->setText(
        MessageBoxClipboardText(windowTitle(), messageText_, captions));
    event->accept();
    return;
  }
  QMessageBox::keyPressEvent(event);
}

void MessageBox::showEvent(QShowEvent* event) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (icon() == QMessageBox::NoIcon) RemoveIconIndent();
  auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label != nullptr && screen != nullptr) {
    // Lines wider than half the screen wrap there: the text is at least that wide when a line
    // is, and the box sizes itself around it. The toolkit keeps a box within 1,000 pixels (the
    // screen's width on one up to 1,024 pixels wide, 480 less on one a little wider) and breaks
    // words beyond that, so on a very wide screen the text stays within that bound.
    int widest = 0;
    for (const QString& line : label->text().split(QLatin1Char('\n'))) {
      widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
    }
    const int screenWidth = screen->geometry().width();
    const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    const QMargins margins = layout() != nullptr ? layout()->contentsMargins() : QMargins();
    int beside = margins.left() + margins.right() + 2;
    auto* iconLabel = findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
    if (icon() != QMessageBox::NoIcon && iconLabel != nullptr) {
      const auto* grid = qobject_cast<QGridLayout*>(layout());
      beside +=
          iconLabel->sizeHint().width() + 2 * (grid != nullptr ? grid->horizontalSpacing() : 6);
    }
    label->setMinimumWidth(std::min({widest, screenWidth / 2, boxLimit - beside}));
  }
  QMessageBox::showEvent(event);
  // Centred on the screen, not on the window that was active.
  if (screen != nullptr) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void MessageBox::RemoveIconIndent() {
  // Without an icon the toolkit still indents the text: a fixed spacer stands in the icon's
  // column, the text in the next one. The text takes the spacer's place, spanning both columns
  // as the buttons below it do.
  auto* grid = qobject_cast<QGridLayout*>(layout());
  auto* text = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (grid == nullptr || text == nullptr) return;
  for (int k = grid->count() - 1; k >= 0; --k) {
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(k, &row, &column, &rowSpan, &columnSpan);
    QLayoutItem* item = grid->itemAt(k);
    if ((column == 0 && item->spacerItem() != nullptr) || item->widget() == text) {
      delete grid->takeAt(k);
    }
  }
  grid->addWidget(text, 0, 0, 1, 2);
}

}  // namespace vellora::app
