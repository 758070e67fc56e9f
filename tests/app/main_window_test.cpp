#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <iostream>

#include "app/message_box.h"
#include "chart/chart_summary.h"
#include "numtext/format.h"
#include "picture/bmp_writer.h"
#include "qt_test_support.h"
#include "sim/lattice_summary.h"
#include "sim/magnetisation.h"

namespace vellora::app {
namespace {

using testing::App;
using testing::ModalCloser;

QString Name(QWidget* widget) {
  return widget == nullptr ? QStringLiteral("(none)") : widget->objectName();
}

class MainWindowTest : public testing::ShownWindowTest {
 protected:
  const sim::SimulationState& State() { return form.Controller().State(); }

  // The picture shows the lattice: the centre pixel of every cell has the spin's colour.
  void ExpectPictureShowsLattice() {
    const picture::RasterSurface* surface = form.Image1->Surface();
    ASSERT_NE(surface, nullptr);
    for (int i = 1; i <= sim::kLatticeSide; ++i) {
      for (int j = 1; j <= sim::kLatticeSide; ++j) {
        const picture::Colour expected =
            State().lattice.At(i, j) == 1 ? picture::kBlack : picture::kWhite;
        ASSERT_EQ(surface->PixelAt(5 * i - 3, 5 * j - 3), expected) << i << "," << j;
      }
    }
  }
};

TEST_F(MainWindowTest, StartUpState) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Vellora"));
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("5.00"));
  EXPECT_EQ(form.Edit2->text(), QStringLiteral("0"));
  EXPECT_EQ(form.Edit3->text(), QStringLiteral("1"));
  EXPECT_EQ(form.edJ2->text(), QStringLiteral("0"));
  EXPECT_EQ(form.labEnergy->text(), QStringLiteral("E ="));
  EXPECT_EQ(form.labMag->text(), QStringLiteral("M ="));
  EXPECT_EQ(form.labTemp->text(), QStringLiteral("T ="));
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 200);
  EXPECT_EQ(form.TrackBar1->value(), 500);
  EXPECT_EQ(QApplication::focusWidget(), form.TrackBar1);
  EXPECT_EQ(State().parameters.T, 5.0);
  EXPECT_EQ(State().parameters.J1, 1.0);
  for (chart::ChartWidget* chart : {form.Chart1, form.Chart2}) {
    EXPECT_EQ(chart->Chart().Series(0).PointCount(), 0);
    EXPECT_EQ(chart->Chart().BottomAxis().Minimum(), 0.0);
    EXPECT_EQ(chart->Chart().BottomAxis().Maximum(), 25.0);
  }
  ExpectPictureShowsLattice();
  EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
}

TEST_F(MainWindowTest, WindowPlaceAndClientArea) {
  EXPECT_EQ(form.pos(), QPoint(83, 91));
  EXPECT_EQ(form.centralWidget()->size(), QSize(TForm1::kClientWidth, TForm1::kClientHeight));
  const auto* area = qobject_cast<QScrollArea*>(form.centralWidget());
  ASSERT_NE(area, nullptr);
  EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(area->verticalScrollBar()->isVisible());

  // Smaller than the content: scroll bars, and the controls stay where they are.
  form.resize(400, 300);
  QTest::qWait(20);
  EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(area->verticalScrollBar()->isVisible());
  EXPECT_EQ(form.Image1->geometry(), QRect(8, 8, 500, 500));
  EXPECT_EQ(form.GroupBox1->geometry(), QRect(552, 368, 305, 145));
}

TEST(FitWindowFrameTest, AsLargeAsFitsAtItsPlaceWhenItFits) {
  const QRect wanted(83, 91, 909, 618);
  const struct {
    QRect available;
    QRect frame;
  } cases[] = {
      {{0, 0, 1280, 1024}, {83, 91, 909, 618}},
      {{0, 0, 1280, 720}, {83, 91, 909, 618}},      // 150 % of 1920 x 1080: 709 rows, it fits
      {{0, 0, 1280, 680}, {83, 62, 909, 618}},      // a task bar below: up just far enough
      {{0, 0, 1024, 600}, {83, 0, 909, 600}},       // too low: as high as the screen
      {{0, 30, 1024, 570}, {83, 30, 909, 570}},     // a panel above
      {{0, 0, 950, 700}, {41, 82, 909, 618}},       // left and up, each just far enough
      {{0, 0, 800, 500}, {0, 0, 800, 500}},         // too small both ways
      {{1920, 0, 1024, 600}, {1920, 0, 909, 600}},  // a screen right of the first
      {{0, 0, 992, 709}, {83, 91, 909, 618}},       // exactly fits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitWindowFrame(wanted, c.available), c.frame)
        << c.available.x() << "," << c.available.y() << " " << c.available.width() << "x"
        << c.available.height();
  }
}

TEST_F(MainWindowTest, EveryControlAtItsPlaceWithItsText) {
  const struct {
    const char* name;
    const char* className;
    const char* parent;
    QRect geometry;  // an empty size: a label that sizes itself to its text
    const char* text;
  } cases[] = {
      {"Image1", "QWidget", "Client", {8, 8, 500, 500}, nullptr},
      // The read-outs' row starts at the first one: they stand at 8, 192 and 512, 512.
      {"Readouts", "QWidget", "Client", {8, 512, 857, 30}, nullptr},
      {"labEnergy", "QLabel", "Readouts", {0, 0, 0, 0}, "E ="},
      {"labMag", "QLabel", "Readouts", {184, 0, 0, 0}, "M ="},
      {"labTemp", "QLabel", "Readouts", {504, 0, 0, 0}, "T ="},
      {"TrackBar1", "QSlider", "Client", {520, 8, 25, 497}, nullptr},
      {"Chart1", "QWidget", "Client", {552, 8, 305, 169}, nullptr},
      {"Chart2", "QWidget", "Client", {552, 192, 305, 169}, nullptr},
      {"GroupBox1", "QGroupBox", "Client", {552, 368, 305, 145}, "Control Panel"},
      {"Label4", "QLabel", "GroupBox1", {15, 18, 0, 0}, "Interaction H= - J1*NN - J2*NNN - h*S"},
      {"Label1", "QLabel", "GroupBox1", {18, 44, 0, 0}, "h ="},
      {"Edit2", "QLineEdit", "GroupBox1", {40, 36, 49, 21}, "0"},
      {"Label6", "QLabel", "GroupBox1", {98, 42, 0, 0}, "magnetic field"},
      {"Label3", "QLabel", "GroupBox1", {13, 68, 0, 0}, "J1 ="},
      {"Edit3", "QLineEdit", "GroupBox1", {40, 60, 49, 21}, "1"},
      {"Label7", "QLabel", "GroupBox1", {98, 66, 0, 0}, "nearest coupling"},
      {"Label5", "QLabel", "GroupBox1", {13, 92, 0, 0}, "J2 ="},
      {"edJ2", "QLineEdit", "GroupBox1", {40, 84, 49, 21}, "0"},
      {"Label8", "QLabel", "GroupBox1", {98, 90, 0, 0}, "next-nearest coupl."},
      {"Label2", "QLabel", "GroupBox1", {17, 116, 0, 0}, "T ="},
      {"Edit1", "QLineEdit", "GroupBox1", {40, 108, 49, 21}, "5.00"},
      {"Label9", "QLabel", "GroupBox1", {98, 114, 0, 0}, "temperature"},
      {"Button5", "QPushButton", "GroupBox1", {206, 48, 75, 25}, "Start"},
      {"Button8", "QPushButton", "GroupBox1", {206, 80, 75, 25}, "Stop"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* widget = form.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(c.className));
    EXPECT_EQ(Name(widget->parentWidget()), QString::fromLatin1(c.parent));
    EXPECT_TRUE(widget->isVisible());
    if (c.geometry.isEmpty()) {
      EXPECT_EQ(widget->pos(), c.geometry.topLeft());
      EXPECT_EQ(widget->size(), widget->sizeHint());
    } else {
      EXPECT_EQ(widget->geometry(), c.geometry);
    }
    if (c.text == nullptr) continue;
    QString text;
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) text = edit->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) text = button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) text = box->title();
    EXPECT_EQ(text, QString::fromLatin1(c.text));
  }
}

TEST_F(MainWindowTest, FontsOfTheWindowAndTheReadouts) {
  EXPECT_EQ(form.Edit1->font().family(), QStringLiteral("MS Sans Serif"));
  EXPECT_EQ(form.Edit1->font().pixelSize(), 11);
  EXPECT_EQ(QFontInfo(form.Label4->font()).family(), QStringLiteral("Liberation Sans"));
  for (QLabel* readout : {form.labEnergy, form.labMag, form.labTemp}) {
    EXPECT_EQ(readout->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(readout->font().pixelSize(), 19);
    EXPECT_TRUE(readout->font().bold());
  }
}

TEST_F(MainWindowTest, TrackBarSettingsAndKeysRewriteTheTemperature) {
  EXPECT_EQ(form.TrackBar1->minimum(), 50);
  EXPECT_EQ(form.TrackBar1->maximum(), 1000);
  EXPECT_EQ(form.TrackBar1->singleStep(), 2);
  EXPECT_EQ(form.TrackBar1->pageStep(), 2);
  EXPECT_EQ(form.TrackBar1->tickInterval(), 100);
  const struct {
    Qt::Key key;
    const char* text;
  } cases[] = {
      {Qt::Key_Down, "5.02"}, {Qt::Key_Down, "5.04"}, {Qt::Key_PageUp, "5.02"},
      {Qt::Key_Home, "0.50"}, {Qt::Key_End, "10.00"}, {Qt::Key_Up, "9.98"},
  };
  for (const auto& c : cases) {
    QTest::keyClick(form.TrackBar1, c.key);
    EXPECT_EQ(form.Edit1->text(), QString::fromLatin1(c.text)) << c.key;
  }
  // At the limit the position does not change, but the notification still rewrites the edit.
  QTest::keyClick(form.TrackBar1, Qt::Key_Home);
  form.Edit1->setText(QStringLiteral("typed"));
  QTest::keyClick(form.TrackBar1, Qt::Key_Up);
  EXPECT_EQ(form.Edit1->text(), QStringLiteral("0.50"));
  // Moving the track bar neither starts nor stops a run.
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(MainWindowTest, TabOrderAndBack) {
  const std::vector<QString> forward{"Edit1",   "Button5", "Edit2",    "Edit3",
                                     "Button8", "edJ2",    "TrackBar1"};
  ASSERT_EQ(QApplication::focusWidget(), form.TrackBar1);
  for (const QString& expected : forward) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Name(QApplication::focusWidget()), expected);
  }
  for (auto it = forward.rbegin() + 1; it != forward.rend(); ++it) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Name(QApplication::focusWidget()), *it);
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Name(QApplication::focusWidget()), QStringLiteral("TrackBar1"));
}

TEST_F(MainWindowTest, StartThenTimerTicksUpdatePictureChartsAndReadouts) {
  QTest::mouseClick(form.Button5, Qt::LeftButton);
  EXPECT_TRUE(form.Timer1->isActive());
  ASSERT_TRUE(QTest::qWaitFor([&] { return State().stepCount >= 300000; }, 5000));
  const int ticks = static_cast<int>(State().stepCount / 100000);

  ExpectPictureShowsLattice();
  for (chart::ChartWidget* chart : {form.Chart1, form.Chart2}) {
    const chart::TLineSeries& series = chart->Chart().Series(0);
    ASSERT_EQ(series.PointCount(), ticks);
    for (int k = 0; k < ticks; ++k) EXPECT_EQ(series.XValueAt(k), k + 1.0);
    EXPECT_EQ(chart->Chart().BottomAxis().Minimum(), 0.0);
    EXPECT_EQ(chart->Chart().BottomAxis().Maximum(), static_cast<double>(ticks));
  }
  const double magnetisation = (sim::LatticeSum(State().lattice) / 10000).ToDouble();
  EXPECT_EQ(form.Chart1->Chart().Series(0).YValueAt(ticks - 1), magnetisation);
  EXPECT_EQ(form.Chart2->Chart().Series(0).YValueAt(ticks - 1), State().energyEstimate);
  EXPECT_EQ(form.labMag->text().toStdString(),
            "M=" + numtext::FloatToFixed(sim::LatticeSum(State().lattice) / 10000, 8, 2));
  EXPECT_EQ(form.labEnergy->text().toStdString(),
            "E=" + numtext::FloatToFixed(State().energyEstimate, 8, 2));
  EXPECT_EQ(form.labTemp->text(), QStringLiteral("T=5.00"));
  EXPECT_EQ(form.labMag->size(), form.labMag->sizeHint());

  // Stop halts the run and keeps what the last tick left.
  QTest::mouseClick(form.Button8, Qt::LeftButton);
  EXPECT_FALSE(form.Timer1->isActive());
  const auto steps = State().stepCount;
  QTest::qWait(450);
  EXPECT_EQ(State().stepCount, steps);
}

QString Spoken(QObject* object, QAccessible::Text which = QAccessible::Name) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
  return accessible == nullptr ? QStringLiteral("(none)") : accessible->text(which);
}

TEST_F(MainWindowTest, AScreenReaderHearsNamesValuesAndDescriptions) {
  QSet<QString> names;
  for (QWidget* widget : form.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&form) || (widget->focusPolicy() & Qt::TabFocus) == 0) continue;
    const QString name = Spoken(widget);
    EXPECT_FALSE(name.isEmpty()) << Name(widget).toStdString();
    EXPECT_FALSE(names.contains(name)) << name.toStdString();
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 7);  // the track bar, four edits, two buttons

  const struct {
    QWidget* widget;
    const char* shows;  // a read-out's text, set first
    const char* name;
  } named[] = {
      {form.labEnergy, "E=-1.31", "Energy per spin -1.31"},
      {form.labMag, "M =", "Magnetization per spin"},
      {form.labTemp, "T=2.27", "Temperature 2.27"},
      {form.Image1, nullptr, "Lattice of 100 by 100 spins"},
      {form.Chart1, nullptr, "Magnetization"},
      {form.Chart2, nullptr, "Energy"},
  };
  for (const auto& c : named) {
    if (auto* label = qobject_cast<QLabel*>(c.widget)) label->setText(QString::fromLatin1(c.shows));
    EXPECT_EQ(Spoken(c.widget), QString::fromLatin1(c.name));
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form.labMag)->parent()->role(),
            QAccessible::StatusBar);
  // The picture and the charts are described by the words of the simulation and the charts.
  EXPECT_EQ(Spoken(form.Image1, QAccessible::Description).toStdString(),
            sim::DescribeLattice(State().lattice));
  EXPECT_EQ(Spoken(form.Chart2, QAccessible::Description).toStdString(),
            chart::DescribeChart(form.Chart2->Chart()));

  // An assistive tool sets the temperature; the T edit follows as after a scroll, also when the
  // position stays.
  QAccessibleValueInterface* slider =
      QAccessible::queryAccessibleInterface(form.TrackBar1)->valueInterface();
  ASSERT_NE(slider, nullptr);
  const struct {
    double set;
    int position;
    double value;
    const char* text;
  } values[] = {{4.98, 498, 4.98, "4.98"},
                {0.1, 50, 0.5, "0.50"},
                {12.0, 1000, 10.0, "10.00"},
                {2.269, 227, 2.27, "2.27"},
                {2.27, 227, 2.27, "2.27"}};
  for (const auto& c : values) {
    form.Edit1->setText(QStringLiteral("typed"));
    slider->setCurrentValue(c.set);
    EXPECT_EQ(form.TrackBar1->value(), c.position) << c.set;
    EXPECT_EQ(slider->currentValue().toDouble(), c.value) << c.set;
    EXPECT_EQ(Spoken(form.TrackBar1, QAccessible::Value), QString::fromLatin1(c.text));
    EXPECT_EQ(form.Edit1->text(), QString::fromLatin1(c.text));
  }

  EXPECT_EQ(slider->minimumValue().toDouble(), 0.5);
  EXPECT_EQ(slider->maximumValue().toDouble(), 10.0);
  EXPECT_EQ(slider->minimumStepSize().toDouble(), 0.02);

  // F5 and Shift+F5 click Start and Stop, focus included, from anywhere; leaving an edit this
  // way does not pause the run.
  form.Edit2->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(form.Edit2, Qt::Key_F5);
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(QApplication::focusWidget(), form.Button5);
  QTest::keyClick(form.TrackBar1, Qt::Key_F5, Qt::ShiftModifier);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(QApplication::focusWidget(), form.Button8);

  // An error box tells which edit refused its text; the lattice and the charts in words are
  // tested without a window (lattice_summary_test, chart_summary_test).
  const struct {
    ParameterEdit* edit;
    const char* text;  // each its own, as a message once closed is not shown again
    const char* heard;
  } refused[] = {{form.Edit1, "t", "The text of Temperature T was refused"},
                 {form.Edit2, "h", "The text of Magnetic field h was refused"},
                 {form.Edit3, "j1", "The text of Nearest-neighbour coupling J1 was refused"},
                 {form.edJ2, "j2", "The text of Next-nearest-neighbour coupling J2 was refused"}};
  for (const auto& c : refused) {
    const QString kept = c.edit->text();
    c.edit->setText(QString::fromLatin1(c.text));
    QString description;
    ModalCloser closer([&](QWidget* modal) { description = modal->accessibleDescription(); });
    form.Button5Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
    form.Button8Click();
    c.edit->setText(kept);
    EXPECT_EQ(description, QString::fromLatin1(c.heard));
  }
}

TEST_F(MainWindowTest, SpaceOrEnterOnAFocusedButtonClicksIt) {
  for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
    form.Button5->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form.Button5, key);
    EXPECT_TRUE(form.Timer1->isActive()) << key;
    form.Button8->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form.Button8, key);
    EXPECT_FALSE(form.Timer1->isActive()) << key;
  }
}

TEST_F(MainWindowTest, ClickingOrTabbingIntoAnEditStopsTheRun) {
  const struct {
    const char* how;
    std::function<void()> enter;
  } cases[] = {
      {"click Edit2", [&] { QTest::mouseClick(form.Edit2, Qt::LeftButton); }},
      {"click edJ2", [&] { QTest::mouseClick(form.edJ2, Qt::LeftButton); }},
      {"Tab from Start",
       [&] {
         form.Button5->setFocus(Qt::OtherFocusReason);
         QTest::keyClick(form.Button5, Qt::Key_Tab);
       }},
      {"Tab from the track bar",
       [&] {
         form.TrackBar1->setFocus(Qt::OtherFocusReason);
         QTest::keyClick(form.TrackBar1, Qt::Key_Tab);
       }},
      {"Shift+Tab from Stop",
       [&] {
         form.Button8->setFocus(Qt::OtherFocusReason);
         QTest::keyClick(form.Button8, Qt::Key_Backtab, Qt::ShiftModifier);
       }},
  };
  for (const auto& c : cases) {
    form.TrackBar1->setFocus(Qt::OtherFocusReason);
    form.Button5Click();
    ASSERT_TRUE(form.Timer1->isActive()) << c.how;
    c.enter();
    EXPECT_TRUE(dynamic_cast<ParameterEdit*>(QApplication::focusWidget()) != nullptr) << c.how;
    EXPECT_FALSE(form.Timer1->isActive()) << c.how;
  }
}

TEST_F(MainWindowTest, ProgramTextAndReactivationDoNotStopTheRun) {
  form.Edit3->setFocus(Qt::OtherFocusReason);
  form.Button5Click();
  form.Edit3->setText(QStringLiteral("1.5"));
  QTest::keyClick(form.TrackBar1, Qt::Key_Down);  // rewrites Edit1
  EXPECT_TRUE(form.Timer1->isActive());

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(QApplication::focusWidget(), form.Edit3);
  EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(MainWindowTest, BadTextDuringARunShowsOneErrorBox) {
  form.Edit2->setText(QStringLiteral("abc"));
  ErrorDisplay& errors = App().Errors();
  const int suppressedBefore = errors.Suppressed();
  QString caption;
  QString text;
  QString description;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int boxes = 0;
  int suppressedWhileOpen = 0;
  // Hold the box open for several timer periods: ticks go on, fail, and open nothing more.
  ModalCloser closer(
      [&](QWidget* modal) {
        auto* box = dynamic_cast<MessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->TextLabel()->text();
        description = modal->accessibleDescription();
        icon = box->IconKind();
        boxes = testing::VisibleMessageBoxes();
        suppressedWhileOpen = errors.Suppressed() - suppressedBefore;
        EXPECT_TRUE(form.Timer1->isActive());
        form.Button8Click();
      },
      900);
  form.Button5Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
  ASSERT_TRUE(closer.Closed());
  EXPECT_EQ(caption, App().Title());
  EXPECT_EQ(text, QStringLiteral("'abc' is not a valid floating point value."));
  EXPECT_EQ(description, QStringLiteral("The text of Magnetic field h was refused"));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(boxes, 1);
  EXPECT_GE(suppressedWhileOpen, 2);
  // Nothing of the failed ticks reached the state or the window; T was read before h.
  EXPECT_EQ(State().stepCount, 0);
  EXPECT_EQ(form.labMag->text(), QStringLiteral("M ="));
  EXPECT_EQ(form.Chart1->Chart().Series(0).PointCount(), 0);
}

// A bad text during a run: once the user closed the box, the ticks go on failing without
// bringing it back, until the user does something in the window.
TEST_F(MainWindowTest, AClosedErrorBoxComesBackOnlyAfterTheUserActs) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  form.SetFileChooser(
      [&](QWidget*) -> std::optional<QString> { return folder.filePath("saved.bmp"); });
  const QString message = QStringLiteral("'abc' is not a valid floating point value.");
  const struct {
    const char* what;
    std::function<void()> act;
  } cases[] = {
      {"moves the track bar", [&] { QTest::keyClick(form.TrackBar1, Qt::Key_Down); }},
      {"types in an edit",
       [&] {
         QTest::keyClick(form.Edit2, Qt::Key_End);
         QTest::keyClick(form.Edit2, Qt::Key_Backspace);
         QTest::keyClick(form.Edit2, Qt::Key_C);
       }},
      {"presses Start", [&] { form.Button5->click(); }},
      {"presses on a chart",
       [&] {
         QTest::mouseClick(form.Chart1, Qt::LeftButton, {}, {150, 80});
       }},
      {"saves", [&] { form.SaveAs1->trigger(); }},
  };
  form.Edit2->setText(QStringLiteral("abc"));
  testing::BoxRecorder boxes;
  form.Button5Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Texts().size() == 1; }, 5000));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const qsizetype shown = boxes.Texts().size();
    const int suppressed = App().Errors().Suppressed();
    // Three more periods: the ticks fail and the box stays closed.
    QTest::qWait(650);
    EXPECT_EQ(boxes.Texts().size(), shown);
    EXPECT_GE(App().Errors().Suppressed() - suppressed, 1);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Edit2->text(), QStringLiteral("abc"));
    c.act();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Texts().size() == shown + 1; }, 2000));
  }
  form.Button8Click();
  for (const QString& text : boxes.Texts()) EXPECT_EQ(text, message);
}

// A save that fails while a tick's box is open is shown after it, not dropped.
TEST_F(MainWindowTest, ASaveErrorWaitsForTheTicksBox) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath(QStringLiteral("missing/lattice.bmp"));
  form.SetFileChooser([&](QWidget*) -> std::optional<QString> { return path; });
  const QString tickMessage = QStringLiteral("'abc' is not a valid floating point value.");
  testing::BoxRecorder boxes(0, [&](MessageBox* box) {
    if (box->TextLabel()->text() == tickMessage) form.SaveAs1->trigger();
  });
  form.Edit2->setText(QStringLiteral("abc"));
  form.Button5Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Texts().size() >= 2; }, 5000));
  QTest::qWait(450);
  form.Button8Click();
  const QString saveMessage =
      QString::fromStdString("Cannot create file \"" + QDir::toNativeSeparators(path).toStdString() +
                             "\". " + picture::SystemErrorText(testing::kMissingFolderError) + ".");
  EXPECT_EQ(boxes.Texts(), (QStringList{tickMessage, saveMessage}));
}

TEST_F(MainWindowTest, MenusWithoutShortcutKeys) {
  EXPECT_EQ(form.menuBar()->objectName(), QStringLiteral("MainMenu1"));
  const QList<QAction*> menus = form.menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("&Help"));
  const QList<QAction*> file = form.File1->actions();
  ASSERT_EQ(file.size(), 3);
  EXPECT_EQ(file[0]->text(), QStringLiteral("Save Image &As..."));
  EXPECT_TRUE(file[1]->isSeparator());
  EXPECT_EQ(file[2]->text(), QStringLiteral("E&xit"));
  const QList<QAction*> help = form.Help1->actions();
  ASSERT_EQ(help.size(), 1);
  EXPECT_EQ(help[0]->text(), QStringLiteral("&About..."));
  for (QAction* action : file + help) EXPECT_TRUE(action->shortcut().isEmpty());
}

TEST_F(MainWindowTest, AboutBoxShowsTheTextAndKeepsTheRunGoing) {
  form.Button5Click();
  QString caption;
  QString message;
  QMessageBox::Icon icon = QMessageBox::Critical;
  long long stepsWhileOpen = 0;
  ModalCloser closer(
      [&](QWidget* modal) {
        auto* box = dynamic_cast<MessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        message = box->MessageText();
        icon = box->IconKind();
        stepsWhileOpen = State().stepCount;
      },
      500);
  form.About1->trigger();
  EXPECT_TRUE(closer.Closed());
  EXPECT_EQ(caption, App().Title());
  EXPECT_EQ(message, AboutText());
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_GE(stepsWhileOpen, 100000);  // ticks ran while the box was open
}

TEST_F(MainWindowTest, SaveWritesThePictureAsBitmap) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath(QStringLiteral("lattice.bmp"));
  int asked = 0;
  form.SetFileChooser([&](QWidget*) -> std::optional<QString> {
    ++asked;
    return path;
  });
  form.SaveAs1->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(QFileInfo(path).size(), 1000054);
  QImage saved(path);
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            form.Image1->View().convertToFormat(QImage::Format_RGB32));

  // Saving again replaces the file silently; a cancelled choice writes nothing.
  form.Timer1Timer();
  form.SaveAs1->trigger();
  EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32),
            form.Image1->View().convertToFormat(QImage::Format_RGB32));
  form.SetFileChooser([](QWidget*) -> std::optional<QString> { return std::nullopt; });
  form.SaveAs1->trigger();
  QTest::qWait(50);
  EXPECT_EQ(testing::VisibleMessageBoxes(), 0);
}

TEST_F(MainWindowTest, SaveIntoAMissingFolderShowsTheCreateError) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath(QStringLiteral("missing/lattice.bmp"));
  form.SetFileChooser([&](QWidget*) -> std::optional<QString> { return path; });
  QString text;
  ModalCloser closer(
      [&](QWidget* modal) { text = dynamic_cast<MessageBox*>(modal)->TextLabel()->text(); });
  form.SaveAs1->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return closer.Done(); }, 10000));
  const std::string expected = "Cannot create file \"" +
                               QDir::toNativeSeparators(path).toStdString() + "\". " +
                               picture::SystemErrorText(testing::kMissingFolderError) + ".";
  EXPECT_EQ(text.toStdString(), expected);
  EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(MainWindowTest, ExitClosesTheWindowAndEndsTheEventLoopWithCodeZero) {
  form.Button5Click();
  QTimer::singleShot(300, &form, [&] { form.Exit1->trigger(); });
  // Should the window not close, the loop ends anyway and the exit code fails the test. The
  // timer goes with the test, so that it cannot end a later test's loop.
  QTimer safety;
  safety.setSingleShot(true);
  QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(3); });
  safety.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(form.isVisible());
}

// Not a pass/fail check: the cost of one tick in the real window, printed for the record.
TEST_F(MainWindowTest, MeasureTickCost) {
  constexpr int kTicks = 50;
  form.Button5Click();
  form.Timer1->stop();
  QElapsedTimer clock;
  clock.start();
  for (int k = 0; k < kTicks; ++k) {
    form.Timer1Timer();
    // The charts repaint when the event loop reaches them.
    QCoreApplication::processEvents();
  }
  const double msPerTick = static_cast<double>(clock.nsecsElapsed()) / 1e6 / kTicks;
  EXPECT_EQ(State().stepCount, kTicks * 100000);
  std::cout << "[ measure  ] tick of the real window: " << msPerTick << " ms" << std::endl;
  RecordProperty("ms_per_tick", std::to_string(msPerTick));
}

// Not a pass/fail check: building the window until it is on the screen.
TEST(MainWindowStartTest, MeasureTimeToShow) {
  QElapsedTimer clock;
  clock.start();
  TForm1 form(App().Errors());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  std::cout << "[ measure  ] window built and shown: " << ms << " ms" << std::endl;
  RecordProperty("ms_to_show", std::to_string(ms));
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::app::testing::RunQtTests(argc, argv);
}
