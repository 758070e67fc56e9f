#include "app/application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <stdexcept>
#include <vector>

#include "app/message_box.h"
#include "base/errors.h"
#include "numtext/number_format.h"
#include "qt_test_support.h"

namespace vellora::app {
namespace {

using testing::ModalCloser;

TEST(ApplicationTitleTest, FileNameWithoutFolderCutAtFirstDotFirstCharacterKept) {
  const struct {
    const char* path;
    const char* title;
  } cases[] = {
      {"/work/main/build/vellora", "vellora"},
      {"vellora", "vellora"},
      {"SIMULATE.EXE", "Simulate"},
      {"/opt/ISING/VELLORA", "Vellora"},
      {"/usr/bin/my.prog.exe", "my"},
      {"/a.b/c/Vellora.AppImage", "Vellora"},
      {"/usr/bin/.hidden", ""},
      {"/usr/bin/", ""},
      {"/tmp/ÜBUNG.bin", "Übung"},
      {"xIsing", "xising"},
#ifdef _WIN32
      {"C:\\Program Files\\Vellora\\vellora.exe", "vellora"},
      {"\\\\server\\share\\ISING\\SIMULATE.EXE", "Simulate"},
      {"D:/stick\\Vellora/VELLORA.EXE", "Vellora"},
#else
      {"/home/C:\\x\\VELLORA", "C:\\x\\vellora"},  // "\\" is a character of a name here
#endif
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplicationTitle(QString::fromUtf8(c.path)), QString::fromUtf8(c.title)) << c.path;
  }
}

TEST(ApplicationTitleTest, TakenFromTheRunningExecutable) {
  EXPECT_EQ(testing::App().Title(), QStringLiteral("application_test"));
}

TEST(ErrorBoxTextTest, FullStopAfterCharactersAboveTheDot) {
  const struct {
    const char* message;
    const char* shown;
  } cases[] = {
      {"'abc' is not a valid floating point value", "'abc' is not a valid floating point value."},
      {"Floating point overflow", "Floating point overflow."},
      {"Done.", "Done."},
      {"ends in a blank ", "ends in a blank "},
      {"Oops!", "Oops!"},
      {"(in brackets)", "(in brackets)"},
      {"quoted \"x\"", "quoted \"x\""},
      {"quoted 'x'", "quoted 'x'"},
      {"dash -", "dash -"},  // "-" is just below "."
      {"slash /", "slash /."},
      {"digit 9", "digit 9."},
      {"Stream write error", "Stream write error."},
      {"", ""},
      {"caf\xC3\xA9", "caf\xC3\xA9."},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

// Runs a failing handler through the guard and returns what the error box showed.
QString BoxTextFor(const std::function<void()>& handler) {
  ErrorDisplay errors(QStringLiteral("vellora"));
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalCloser closer([&](QWidget* modal) {
    auto* box = dynamic_cast<MessageBox*>(modal);
    if (box == nullptr) return;
    text = box->TextLabel()->text();
    caption = box->windowTitle();
    icon = box->IconKind();
  });
  RunGuarded(errors, handler);
  EXPECT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
  EXPECT_TRUE(closer.Closed());
  EXPECT_EQ(caption, QStringLiteral("vellora"));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_FALSE(errors.Busy());
  return text;
}

TEST(RunGuardedTest, EveryKindOfErrorReachesTheErrorBox) {
  EXPECT_EQ(BoxTextFor([] { throw EConvertError("'x' is not a valid floating point value"); }),
            QStringLiteral("'x' is not a valid floating point value."));
  EXPECT_EQ(BoxTextFor([] { throw EZeroDivide(); }),
            QStringLiteral("Floating point division by zero."));
  EXPECT_EQ(BoxTextFor([] { throw std::runtime_error("bad thing"); }),
            QStringLiteral("bad thing."));
  EXPECT_EQ(BoxTextFor([] { throw 42; }), QStringLiteral("Unknown error."));
}

TEST(RunGuardedTest, HandlerWithoutErrorShowsNothing) {
  ErrorDisplay errors(QStringLiteral("vellora"));
  bool ran = false;
  RunGuarded(errors, [&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(errors.Busy());
  QTest::qWait(50);
  EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
}

TEST(ErrorDisplayTest, AtMostOneBoxOpenAtATime) {
  ErrorDisplay errors(QStringLiteral("vellora"));
  int boxesWhileOpen = -1;
  int suppressedWhileOpen = -1;
  QString text;
  ModalCloser closer([&](QWidget* modal) {
    // Errors raised while the box is open show nothing more.
    errors.Report("third");
    QTest::qWait(50);
    boxesWhileOpen = testing::VisibleMessageBoxes();
    suppressedWhileOpen = errors.Suppressed();
    text = dynamic_cast<MessageBox*>(modal)->TextLabel()->text();
  });
  errors.Report("first");
  errors.Report("second");  // already scheduled: dropped
  EXPECT_TRUE(errors.Busy());
  EXPECT_FALSE(errors.BoxOpen());
  ASSERT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
  EXPECT_TRUE(closer.Closed());
  EXPECT_EQ(text, QStringLiteral("first."));
  EXPECT_EQ(boxesWhileOpen, 1);
  EXPECT_EQ(suppressedWhileOpen, 2);
  EXPECT_FALSE(errors.Busy());

  // Once closed, the next error opens a box again.
  ModalCloser next;
  errors.Report("fourth");
  ASSERT_TRUE(QTest::qWaitFor([&] { return next.Done(); }, 10000));
  EXPECT_TRUE(next.Closed());
}

// A failing tick repeats every period: once the user closed its box, the same message stays away
// until the user does something; other messages show as usual, and so does any command's error.
TEST(ErrorDisplayTest, AClosedMessageComesBackOnlyAfterTheUserActs) {
  enum class What { kRun, kCommand, kUserActed };
  struct Step {
    What what;
    const char* message;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
    QStringList shown;
  } cases[] = {
      {"the same run error after a close",
       {{What::kRun, "a"}, {What::kRun, "a"}, {What::kRun, "a"}},
       {"a."}},
      {"a different one shows, the closed ones stay away",
       {{What::kRun, "a"}, {What::kRun, "b"}, {What::kRun, "a"}, {What::kRun, "b"}},
       {"a.", "b."}},
      {"the user acts",
       {{What::kRun, "a"}, {What::kUserActed, ""}, {What::kRun, "a"}, {What::kRun, "a"}},
       {"a.", "a."}},
      {"a command's error always shows",
       {{What::kRun, "a"}, {What::kCommand, "a"}, {What::kCommand, "a"}, {What::kRun, "a"}},
       {"a.", "a.", "a."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorDisplay errors(QStringLiteral("vellora"));
    testing::BoxRecorder boxes;
    for (const Step& step : c.steps) {
      if (step.what == What::kUserActed) {
        errors.UserActed();
        continue;
      }
      errors.Report(step.message,
                    step.what == What::kRun ? ErrorSource::kRun : ErrorSource::kCommand);
      ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.Busy(); }, 5000));
    }
    EXPECT_EQ(boxes.Texts(), c.shown);
  }
}

// An error of a command the user gave (a save, a zoom) is not lost because a tick's box is open
// or about to open: it is shown after that box. The ticks' errors meanwhile are dropped.
TEST(ErrorDisplayTest, ACommandsErrorWaitsForTheBoxBeforeIt) {
  ErrorDisplay errors(QStringLiteral("vellora"));
  int boxesWhileOpen = -1;
  testing::BoxRecorder boxes(0, [&](MessageBox* box) {
    if (box->TextLabel()->text() != QStringLiteral("tick.")) return;
    errors.Report("zoom", ErrorSource::kCommand);
    errors.Report("zoom", ErrorSource::kCommand);  // every move of a failing pan: shown once
    errors.Report("tick", ErrorSource::kCommand);  // on the screen right now
    errors.Report("tick 3");
    QTest::qWait(50);
    boxesWhileOpen = testing::VisibleMessageBoxes();
  });
  errors.Report("tick");
  errors.Report("save", ErrorSource::kCommand);  // the tick's box is waiting to open
  errors.Report("tick 2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Texts().size() >= 3 && !errors.Busy(); }, 5000));
  QTest::qWait(50);
  EXPECT_EQ(boxes.Texts(), (QStringList{"tick.", "save.", "zoom."}));
  EXPECT_EQ(boxesWhileOpen, 1);
  EXPECT_EQ(errors.Suppressed(), 2);
}

// main() below starts the application with the toolkit's own options after the name: they
// change nothing, and only the name reaches the toolkit.
TEST(ApplicationTest, TheToolkitSeesNoArguments) {
  EXPECT_EQ(QCoreApplication::arguments().size(), 1)
      << QCoreApplication::arguments().join(' ').toStdString();
  EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
  EXPECT_NE(QApplication::style()->name(), QStringLiteral("windows"));
  EXPECT_EQ(testing::App().Title(), QStringLiteral("application_test"));
}

TEST(ApplicationTest, LocaleChangeReloadsTheNumberFormat) {
  numtext::NumberFormat& format = numtext::ProcessNumberFormat();
  const numtext::NumberFormat saved = format;
  format.decimalSeparator = '#';
  format.thousandSeparator = '#';
  QEvent change(QEvent::LocaleChange);
  QCoreApplication::sendEvent(&testing::App(), &change);
  const numtext::NumberFormat expected = numtext::LoadNumberFormatFromLocale();
  EXPECT_EQ(format.decimalSeparator, expected.decimalSeparator);
  EXPECT_EQ(format.thousandSeparator, expected.thousandSeparator);
  format = saved;
}

// What the toolkit remembers (the file dialog's folder) stays in a folder of this run.
TEST(ApplicationTest, ToolkitSettingsStayOutOfTheUsersConfiguration) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the toolkit keeps its settings in the registry, as for every program";
#endif
  const QString folder = testing::App().ToolkitSettingsFolder();
  ASSERT_FALSE(folder.isEmpty());
  QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
  settings.setValue(QStringLiteral("probe"), 1);
  settings.sync();
  EXPECT_TRUE(settings.fileName().startsWith(folder)) << settings.fileName().toStdString();
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  // The toolkit's own options, as a user might type them after the program's name.
  std::vector<char*> arguments(argv, argv + argc);
  char reverse[] = "-reverse";
  char style[] = "-style=windows";
  char geometry[] = "-qwindowgeometry";
  char size[] = "10x10+0+0";
  for (char* option : {reverse, style, geometry, size}) arguments.push_back(option);
  int count = static_cast<int>(arguments.size());
  arguments.push_back(nullptr);
  return vellora::app::testing::RunQtTests(count, arguments.data());
}
