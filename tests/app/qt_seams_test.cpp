#include "app/qt_seams.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>

#include "base/errors.h"
#include "qt_test_support.h"

namespace vellora::app {
namespace {

TEST(QtRunTimerTest, EnablingAnEnabledTimerKeepsItsPeriod) {
  QTimer timer;
  timer.setInterval(10000);
  timer.setTimerType(Qt::PreciseTimer);
  QtRunTimer run(timer);
  EXPECT_FALSE(run.Enabled());
  run.SetEnabled(true);
  EXPECT_TRUE(run.Enabled());
  QTest::qWait(300);
  run.SetEnabled(true);
  // Restarting would have put the remaining time back to the whole period.
  EXPECT_LE(timer.remainingTime(), 9800);
  run.SetEnabled(false);
  EXPECT_FALSE(run.Enabled());
  run.SetEnabled(false);
  EXPECT_FALSE(run.Enabled());
  run.SetEnabled(true);
  EXPECT_GT(timer.remainingTime(), 9800);  // a real change starts a fresh period
}

TEST(QtRunTimerTest, ATimerThatCannotStartRaisesNotEnoughTimers) {
  // A timer that belongs to a thread without a running event loop cannot be started here.
  QThread elsewhere;
  QTimer timer;
  timer.setInterval(200);
  timer.moveToThread(&elsewhere);
  QtRunTimer run(timer);
  try {
    run.SetEnabled(true);
    ADD_FAILURE() << "no error";
  } catch (const EOutOfResources& error) {
    EXPECT_EQ(error.Message(), "Not enough timers available");
  }
  EXPECT_FALSE(run.Enabled());
}

TEST(LabelReadoutTest, LabelGrowsToTheRightWithItsCaption) {
  QLabel label(QStringLiteral("M ="));
  label.move(192, 512);
  label.adjustSize();
  const int before = label.width();
  LabelReadout readout(label);
  readout.SetCaption("M=-1.00");
  EXPECT_EQ(label.text(), QStringLiteral("M=-1.00"));
  EXPECT_EQ(label.pos(), QPoint(192, 512));
  EXPECT_GT(label.width(), before);
}

TEST(EditTextsTest, EachEditByItsParameter) {
  QLineEdit t, h, j1, j2;
  EditTexts edits({&t, &h, &j1, &j2});
  edits.SetText(sim::ParameterEdit::Edit1, "5.00");
  edits.SetText(sim::ParameterEdit::Edit2, "0");
  edits.SetText(sim::ParameterEdit::Edit3, "1");
  edits.SetText(sim::ParameterEdit::edJ2, "caf\xC3\xA9");
  EXPECT_EQ(t.text(), QStringLiteral("5.00"));
  EXPECT_EQ(h.text(), QStringLiteral("0"));
  EXPECT_EQ(j1.text(), QStringLiteral("1"));
  EXPECT_EQ(j2.text(), QString::fromUtf8("caf\xC3\xA9"));
  EXPECT_EQ(edits.Text(sim::ParameterEdit::edJ2), "caf\xC3\xA9");
  t.setText(QStringLiteral(" 3 "));
  EXPECT_EQ(edits.Text(sim::ParameterEdit::Edit1), " 3 ");
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::app::testing::RunQtTests(argc, argv);
}
