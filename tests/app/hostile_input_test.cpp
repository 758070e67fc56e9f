// Whatever people type into the four edits, and wherever they save: the program answers with
// the specified message or value, shows at most one error box at a time, and keeps running.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "picture/bmp_writer.h"
#include "qt_test_support.h"
#include "unprivileged_scope.h"

namespace vellora::app {
namespace {

using testing::ModalCloser;

class HostileInputTest : public testing::ShownWindowTest {
 protected:
  // Runs with the texts for a few timer periods and returns the text of the one error box that
  // opened (empty when none did); checks that no second box ever stood beside it.
  QString RunAndCatchBox(int holdMs = 700) {
    QString text;
    int boxes = 0;
    ModalCloser closer(
        [&](QWidget* modal) {
          if (auto* box = dynamic_cast<MessageBox*>(modal)) text = box->TextLabel()->text();
          boxes = testing::VisibleMessageBoxes();
          form.Button8Click();
        },
        holdMs, 1500);
    form.Button5Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 20000));
    if (closer.Closed()) {
      EXPECT_EQ(boxes, 1);
    }
    form.Button8Click();
    return text;
  }

  // After a failure the program goes on: mended texts run a tick normally.
  void ExpectStillRunning() {
    form.Edit1->setText(QStringLiteral("2"));
    form.Edit2->setText(QStringLiteral("0"));
    form.Edit3->setText(QStringLiteral("1"));
    form.edJ2->setText(QStringLiteral("0"));
    form.Button5Click();
    const long long before = form.Controller().State().stepCount;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form.Controller().State().stepCount > before; }, 5000));
    form.Button8Click();
    EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
  }
};

struct BadText {
  const char* what;
  ParameterEdit* TForm1::*edit;
  QString text;
  QString message;  // as the error box shows it
};

TEST_F(HostileInputTest, TextsThatAreNoNumbersOrOutOfRange) {
  // The edit keeps the first 32,767 characters of a longer text (a megabyte pasted in). So many
  // digits overflow the accumulator that takes every digit, even after a decimal point.
  const QString many(1 << 20, QLatin1Char('7'));
  const QString kept = many.left(form.Edit1->maxLength());
  const QString fraction = QStringLiteral("0.") + many;
  const QString fractionKept = fraction.left(form.Edit1->maxLength());
  const BadText cases[] = {
      {"a tab", &TForm1::Edit2, QStringLiteral("1\t"),
       QStringLiteral("'1\t' is not a valid floating point value.")},
      {"non-ASCII", &TForm1::Edit3, QStringLiteral("√2 ü"),
       QStringLiteral("'√2 ü' is not a valid floating point value.")},
      {"a megabyte of digits", &TForm1::Edit2, many,
       QStringLiteral("'") + kept + QStringLiteral("' is not a valid floating point value.")},
      {"a megabyte of decimals", &TForm1::Edit1, fraction,
       QStringLiteral("'") + fractionKept +
           QStringLiteral("' is not a valid floating point value.")},
      {"beyond the double range", &TForm1::Edit3, QStringLiteral("1e4931"),
       QStringLiteral("Floating point overflow.")},
      {"beyond the extended range", &TForm1::edJ2, QStringLiteral("1e4999"),
       QStringLiteral("'1e4999' is not a valid floating point value.")},
  };
  for (const BadText& c : cases) {
    SCOPED_TRACE(c.what);
    (form.*c.edit)->setText(c.text);
    EXPECT_EQ(RunAndCatchBox(), c.message);
    ExpectStillRunning();
  }
}

struct OddValue {
  QString text;
  double value;
  bool negativeZero;
};

TEST_F(HostileInputTest, OddButValidTextsGiveTheirValues) {
  const OddValue cases[] = {
      {QStringLiteral("-0"), 0.0, true},
      {QStringLiteral("1e-400"), 0.0, false},
      {QStringLiteral("."), 0.0, false},
      {QStringLiteral("-."), 0.0, true},
      // Thousands of digits: all go into one accumulator, which holds up to about 4,900 of them.
      {QStringLiteral("0.") + QString(4000, QLatin1Char('3')), 1.0 / 3, false},
  };
  for (const OddValue& c : cases) {
    form.Edit2->setText(c.text);  // the field h
    form.Timer1Timer();
    const double h = form.Controller().State().parameters.h;
    EXPECT_EQ(h, c.value) << c.text.left(20).toStdString();
    EXPECT_EQ(std::signbit(h), c.negativeZero) << c.text.left(20).toStdString();
  }
  EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
  EXPECT_EQ(form.Controller().State().stepCount, 500000);
}

TEST_F(HostileInputTest, ZeroAndNegativeTemperaturesWhileRunning) {
  // T = 0 (also as -0 or below the double range) fails with an arithmetic error at the first
  // attempt that does not lower the energy.
  for (const QString& zero :
       {QStringLiteral("0"), QStringLiteral("-0"), QStringLiteral("1e-400")}) {
    form.Edit1->setText(zero);
    const QString message = RunAndCatchBox(300);
    EXPECT_TRUE(message == QStringLiteral("Floating point division by zero.") ||
                message == QStringLiteral("Invalid floating point operation."))
        << message.toStdString();
    ExpectStillRunning();
  }
  // A negative temperature flips every spin it visits; nothing fails.
  form.Edit1->setText(QStringLiteral("-1"));
  form.Button5Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.Controller().State().stepCount >= 300000; }, 5000));
  form.Button8Click();
  EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
  EXPECT_EQ(form.labTemp->text(), QStringLiteral("T=-1"));
}

TEST_F(HostileInputTest, SavingWhereNoFileCanBeWritten) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString locked = folder.filePath(QStringLiteral("locked"));
  ASSERT_TRUE(QDir().mkdir(locked));
  struct Target {
    QString path;
    int error;
    bool unprivileged;  // saved as a user without the right to write into the folder
  };
  const Target targets[] = {
      {folder.path(), EISDIR, false},  // a folder, not a file
      {locked + QStringLiteral("/lattice.bmp"), EACCES, true},
  };
  for (const Target& target : targets) {
    form.SetFileChooser([&](QWidget*) -> std::optional<QString> { return target.path; });
    QString text;
    ModalCloser closer(
        [&](QWidget* modal) { text = dynamic_cast<MessageBox*>(modal)->TextLabel()->text(); });
    form.Button5Click();
    {
      // The folder read-only to its owner, which the save runs as (not the superuser, who may
      // write anywhere).
      std::optional<testsupport::UnprivilegedScope> unprivileged;
      if (target.unprivileged) {
        unprivileged.emplace(std::initializer_list<std::filesystem::path>{
            folder.path().toStdString(), locked.toStdString()});
        ASSERT_TRUE(unprivileged->Effective());
        ASSERT_EQ(::chmod(locked.toLocal8Bit().constData(), 0555), 0);
      }
      form.SaveAs1->trigger();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
    const std::string prefix = "Cannot create file \"" + target.path.toStdString() + "\". ";
    EXPECT_EQ(text.toStdString(), prefix + picture::SystemErrorText(target.error) + ".");
    form.Button8Click();
    ExpectStillRunning();
  }
  EXPECT_TRUE(QFileInfo(folder.path()).isDir());
  EXPECT_TRUE(QDir(locked).isEmpty());
  ::chmod(locked.toLocal8Bit().constData(), 0755);
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::app::testing::RunQtTests(argc, argv);
}
