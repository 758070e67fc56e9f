// Support for the tests of the desktop program: a main() that runs the tests inside the
// program's application object on the offscreen platform, and a driver for modal boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cerrno>
#include <functional>

#include "app/application.h"
#include "app/main_window.h"
#include "app/message_box.h"

namespace vellora::app::testing {

// The system's error code for a file whose folder does not exist.
#ifdef _WIN32
inline constexpr int kMissingFolderError = 3;  // ERROR_PATH_NOT_FOUND
#else
inline constexpr int kMissingFolderError = ENOENT;
#endif

// The application object of the test run.
inline Application& App() {
  return *static_cast<Application*>(QCoreApplication::instance());
}

// Chooses the offscreen platform before the application object exists (test discovery runs the
// binary outside the test environment) with one screen of `screen` device pixels, large enough
// by default for the whole window; keeps what the toolkit's dialogs remember (the file dialog's
// last folder) out of the user's settings, then runs the tests.
inline int RunQtTests(int argc, char** argv, QSize screen = QSize(1920, 1200)) {
  // In the working folder, so that the platform's argument can name it relatively: arguments are
  // separated by colons, which a Windows path has after its drive letter.
  QTemporaryDir settings(QStringLiteral("qt-test-XXXXXX"));
  if (settings.isValid()) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QFile config(settings.filePath(QStringLiteral("screens.json")));
    if (config.open(QIODevice::WriteOnly)) {
      config.write(QStringLiteral(R"({"screens": [{"name": "test", "width": %1, "height": %2}]})")
                       .arg(screen.width())
                       .arg(screen.height())
                       .toUtf8());
      config.close();
    }
    qputenv("QT_QPA_PLATFORM",
            "offscreen:configfile=" + QFile::encodeName(QDir().relativeFilePath(config.fileName())));
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  Application application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Closes a modal widget: a message box through its default button, any other dialog by
// rejecting it.
inline void CloseModal(QWidget* modal) {
  if (auto* box = dynamic_cast<MessageBox*>(modal)) {
    box->OkButton()->click();
    return;
  }
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
    return;
  }
  modal->close();
}

// Waits for the next modal widget. Once it has been open `holdMs`, hands it to `inspect` and
// then closes it unless `inspect` did. If no modal widget appears within `timeoutMs`, gives up
// and closes whatever modal window is open without being the active one, so that a test that
// waits in exec() for a box the closer never saw fails by its assertions instead of hanging.
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
        for (QWidget* widget : QApplication::topLevelWidgets()) {
          if (widget->isVisible() && widget->isModal()) CloseModal(widget);
        }
      }
      return;
    }
    if (!seen_.isValid()) seen_.start();
    if (seen_.elapsed() < holdMs_) return;
    poll_.stop();
    if (inspect_) inspect_(modal);
    if (modal->isVisible()) CloseModal(modal);
    closed_ = true;
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

// Closes every message box that opens, `holdMs` after it opened, and keeps the texts in the
// order the boxes came; `inspect` sees each box first.
class BoxRecorder {
 public:
  explicit BoxRecorder(int holdMs = 0, std::function<void(MessageBox*)> inspect = {})
      : holdMs_(holdMs), inspect_(std::move(inspect)) {
    poll_.setInterval(10);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start();
  }

  const QStringList& Texts() const { return texts_; }

 private:
  void Poll() {
    auto* box = dynamic_cast<MessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
      seen_.invalidate();
      return;
    }
    if (!seen_.isValid()) seen_.start();
    if (seen_.elapsed() < holdMs_) return;
    seen_.invalidate();
    texts_.append(box->TextLabel()->text());
    if (inspect_) inspect_(box);
    if (box->isVisible()) CloseModal(box);
  }

  int holdMs_;
  std::function<void(MessageBox*)> inspect_;
  QTimer poll_;
  QElapsedTimer seen_;
  QStringList texts_;
};

// The visible message boxes.
inline int VisibleMessageBoxes() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (dynamic_cast<MessageBox*>(widget) != nullptr && widget->isVisible()) ++count;
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
