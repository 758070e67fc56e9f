// The program's modal message box, used for the About text and for errors: caption, optional
// icon, text and one "OK" button that is both the default (Enter) and the cancel button (Esc).
// Ctrl+C beeps and copies the box as plain text.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QLabel;
class QPushButton;

namespace vellora::app {

// The About message: three lines joined by CR LF.
QString AboutText();

// What Ctrl+C copies from a box: a line of 27 "-", the caption, a line of dashes, the text, a
// line of dashes, each button caption (without "&") followed by three blanks, a line of dashes;
// every line ends with CR LF.
QString MessageBoxClipboardText(const QString& caption, const QString& text,
                                const QStringList& buttonCaptions);

class MessageBox : public QDialog {
 public:
  // `text` may hold CR LF line breaks; it is shown as plain text, lines wider than half the
  // screen wrapped there, without an indent when there is no icon. The box is centred on the
  // screen and blocks input to every window of the program while open; exec() returns
  // QMessageBox::Ok however it is closed.
  MessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
             QWidget* parent = nullptr);

  // The text as given, CR LF included.
  const QString& MessageText() const { return messageText_; }
  QMessageBox::Icon IconKind() const { return icon_; }
  // Shows the text with its line breaks.
  QLabel* TextLabel() const { return textLabel_; }
  QPushButton* OkButton() const { return okButton_; }

  // Esc and the window's close button press OK.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QString messageText_;
  QMessageBox::Icon icon_;
  QLabel* textLabel_;
  QPushButton* okButton_;
};

}  // namespace vellora::app
