#include "app/message_box.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTest>

#include "qt_test_support.h"

namespace vellora::app {
namespace {

using testing::ModalCloser;

const QString kDashes = QString(27, QLatin1Char('-'));

TEST(MessageBoxTest, AboutTextIsThreeLinesJoinedByCrLf) {
  const QStringList lines = AboutText().split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], QStringLiteral("Vellora"));
  EXPECT_TRUE(lines[1].startsWith(QStringLiteral("by "))) << lines[1].toStdString();
  EXPECT_GT(lines[1].size(), 3);
  EXPECT_EQ(lines[2], QStringLiteral("16.2.2006"));
}

TEST(MessageBoxTest, ClipboardLayout) {
  const struct {
    QString caption;
    QString text;
    QStringList buttons;
    QString copied;
  } cases[] = {
      {"vellora",
       "Vellora\r\nby me\r\n16.2.2006",
       {"OK"},
       kDashes + "\r\nvellora\r\n" + kDashes + "\r\nVellora\r\nby me\r\n16.2.2006\r\n" + kDashes +
           "\r\nOK   \r\n" + kDashes + "\r\n"},
      {"t",
       "",
       {"&Yes", "&No", "Fish && Chips"},
       kDashes + "\r\nt\r\n" + kDashes + "\r\n\r\n" + kDashes +
           "\r\nYes   No   Fish & Chips   \r\n" + kDashes + "\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageBoxClipboardText(c.caption, c.text, c.buttons), c.copied)
        << c.copied.toStdString();
  }
}

TEST(MessageBoxTest, OneOkButtonThatIsDefaultAndCancel) {
  MessageBox box(QMessageBox::NoIcon, QStringLiteral("vellora"), AboutText());
  ASSERT_EQ(box.findChildren<QAbstractButton*>().size(), 1);
  QPushButton* ok = box.OkButton();
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_TRUE(ok->isDefault());  // Esc: EnterAndEscPressOk
  EXPECT_EQ(box.IconKind(), QMessageBox::NoIcon);
  EXPECT_EQ(box.windowTitle(), QStringLiteral("vellora"));
  // Shown with real line breaks, kept with CR LF for copying.
  EXPECT_EQ(box.TextLabel()->text(),
            QString(AboutText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  EXPECT_EQ(box.MessageText(), AboutText());
  EXPECT_EQ(box.TextLabel()->textFormat(), Qt::PlainText);
  // Announced as an alert by assistive tools.
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::AlertMessage);
}

TEST(MessageBoxTest, CtrlCCopiesTheBoxAndEscCloses) {
  QGuiApplication::clipboard()->clear();
  MessageBox box(QMessageBox::NoIcon, QStringLiteral("vellora"), AboutText());
  QPoint centre;
  QPoint screenCentre;
  ModalCloser closer([&](QWidget* modal) {
    ASSERT_EQ(modal, &box);
    centre = box.frameGeometry().center();
    screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(box.isVisible());  // copying does not close the box
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  box.exec();
  EXPECT_TRUE(closer.Closed());
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(
      QGuiApplication::clipboard()->text(),
      MessageBoxClipboardText(QStringLiteral("vellora"), AboutText(), {QStringLiteral("OK")}));
  EXPECT_LE((centre - screenCentre).manhattanLength(), 2);
}

// The text starts at the box's margin when there is no icon, and right of the icon when there is.
// Lines wider than half the screen (1280 pixels wide here) wrap at that width, not narrower.
TEST(MessageBoxTest, TextLayoutIndentAndWrapping) {
  const QString longLine = QStringLiteral("Cannot create file \"") +
                           QStringLiteral("/a/rather/long/folder/name").repeated(12) +
                           QStringLiteral("/lattice.bmp\". No such file or directory.");
  const QString longNumber = QStringLiteral("'") + QStringLiteral("1234567890").repeated(30) +
                             QStringLiteral("x' is not a valid floating point value.");
  const struct {
    QMessageBox::Icon icon;
    QString text;
    int lines;  // at least, when wrapped; 1: not wrapped
  } cases[] = {
      {QMessageBox::NoIcon, AboutText(), 1},
      {QMessageBox::Critical, QStringLiteral("Floating point overflow."), 1},
      {QMessageBox::NoIcon, longLine, 2},
      {QMessageBox::Critical, longLine + QStringLiteral(" ") + longLine, 2},
      // Some 2,000 pixels of digits: broken inside the number, not cut off after one line.
      {QMessageBox::Critical, longNumber, 4},
  };
  const int half = QGuiApplication::primaryScreen()->geometry().width() / 2;
  ASSERT_EQ(half, 640);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.left(30).toStdString());
    MessageBox box(c.icon, QStringLiteral("vellora"), c.text);
    QRect label;
    int margin = -1;
    int lineHeight = 0;
    ModalCloser closer([&](QWidget*) {
      QLabel* text = box.TextLabel();
      label = text->geometry();
      margin = box.layout()->contentsMargins().left();
      lineHeight = text->fontMetrics().lineSpacing();
    });
    box.exec();
    ASSERT_TRUE(closer.Closed());
    if (c.icon == QMessageBox::NoIcon) {
      EXPECT_EQ(label.left(), margin);
    } else {
      EXPECT_GT(label.left(), margin + 16);  // beside the icon
    }
    if (c.lines > 1) {
      EXPECT_LE(label.width(), half);
      EXPECT_GE(label.width(), half - 60);  // whole words move to the next line
      EXPECT_GE(label.height(), c.lines * lineHeight);
    } else {
      EXPECT_LT(label.width(), half / 2);
    }
  }
}

TEST(MessageBoxTest, EnterAndEscPressOk) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    MessageBox box(QMessageBox::Critical, QStringLiteral("vellora"), QStringLiteral("x."));
    ModalCloser closer([&](QWidget*) {
      EXPECT_EQ(QApplication::focusWidget(), box.OkButton());
      QTest::keyClick(&box, key);
    });
    EXPECT_EQ(box.exec(), QMessageBox::Ok) << key;
    EXPECT_TRUE(closer.Closed());
  }
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  // A screen wide enough for lines to wrap later than the toolkit's own 500 pixels.
  return vellora::app::testing::RunQtTests(argc, argv, QSize(1280, 1024));
}
