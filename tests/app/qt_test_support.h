// Support for the tests of the desktop program: a main() that runs the tests inside the
// program's application object on the offscreen platform, and a driver for modal boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/application.h"
#include "app/main_window.h"

namespace vellora::app::testing {

// The application object of the test run.
inline Application& App() {
  return *static_cast<Application*>(QCoreApplication::instance());
}

// Chooses the offscreen platform before the application object exists (test discovery runs the
// binary outside the test environment), keeps what the toolkit's dialogs remember (the file
// dialog's last folder) out of the user's settings, then runs the tests.
inline int RunQtTests(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  if (settings.isValid()) qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
  Application application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Waits for the next modal widget. Once it has been open `holdMs`, hands it to `inspect` and
// then closes it unless `inspect` did: a message box through its default button, any other
// dialog by rejecting it. If no modal widget appears within `timeoutMs`, gives up so the test
// fails instead of hanging.
class ModalCloser {
 public:
  explicit ModalCloser(std::function<void(QWidget*)> inspect = {}, int holdMs = 0,
                       int timeoutMs = 5000)
      : inspect_(std::move(inspect)), holdMs_(holdMs), timeoutMs_(timeoutMs) {
    clock_.start();
    poll_.setInterval(10);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start();
  }
  ~ModalCloser() { poll_.stop(); }

  bool Closed() const { return closed_; }
  bool TimedOut() const { return timedOut_; }
  bool Done() const { return closed_ || timedOut_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      if (!seen_.isValid() && clock_.elapsed() > timeoutMs_) {
        timedOut_ = true;
        poll_.stop();
      }
      return;
    }
    if (!seen_.isValid()) seen_.start();
    if (seen_.elapsed() < holdMs_) return;
    poll_.stop();
    if (inspect_) inspect_(modal);
    if (modal->isVisible()) Close(modal);
    closed_ = true;
  }

  static void Close(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      if (QPushButton* button = box->defaultButton()) {
        button->click();
        return;
      }
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
      return;
    }
    modal->close();
  }

  std::function<void(QWidget*)> inspect_;
  int holdMs_;
  int timeoutMs_;
  QTimer poll_;
  QElapsedTimer clock_;
  QElapsedTimer seen_;
  bool closed_ = false;
  bool timedOut_ = false;
};

// The visible message boxes.
inline int VisibleMessageBoxes() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible()) ++count;
  }
  return count;
}

// A test with the main window on the screen. Afterwards the timer is stopped and a box that a
// last tick scheduled comes and goes, so that nothing of one test reaches the next.
class ShownWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void TearDown() override {
    form.Timer1->stop();
    ModalCloser leftover({}, 0, 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return leftover.Done(); }, 2000));
  }

  TForm1 form{App().Errors()};
};

}  // namespace vellora::app::testing
