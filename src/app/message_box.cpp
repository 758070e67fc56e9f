#include "app/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>

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
  QMessageBox::showEvent(event);
  // Centred on the screen, not on the window that was active.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace vellora::app
