#include "app/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <vector>

#include "qt_test_support.h"

namespace vellora::app {
namespace {

// The temperature track bar as the main window sets it up, recording the position at each
// notification.
class TrackBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar.setRange(50, 1000);
    bar.setValue(500);
    bar.setSingleStep(2);
    bar.setPageStep(2);
    bar.setTickInterval(100);
    bar.resize(25, 497);
    bar.onChange = [this] { seen.push_back(bar.Position()); };
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  }

  TrackBar bar;
  std::vector<int> seen;
};

TEST_F(TrackBarTest, VerticalWithMinimumAtTheTopAndTicksOnTheRight) {
  EXPECT_EQ(bar.orientation(), Qt::Vertical);
  EXPECT_TRUE(bar.invertedAppearance());
  EXPECT_EQ(bar.tickPosition(), QSlider::TicksRight);
  // The thumb at the minimum sits above the thumb at the maximum.
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = Qt::Vertical;
  option.minimum = 50;
  option.maximum = 1000;
  option.upsideDown = !bar.invertedAppearance();
  option.sliderPosition = 50;
  const QRect atMinimum =
      bar.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &bar);
  option.sliderPosition = 1000;
  const QRect atMaximum =
      bar.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &bar);
  EXPECT_LT(atMinimum.top(), atMaximum.top());
}

TEST_F(TrackBarTest, KeysMoveThePositionAndNotifyAfterIt) {
  const struct {
    Qt::Key key;
    int before;
    int after;
  } cases[] = {
      {Qt::Key_Down, 500, 502},    {Qt::Key_Up, 500, 498},        {Qt::Key_PageDown, 500, 502},
      {Qt::Key_PageUp, 500, 498},  {Qt::Key_Home, 500, 50},       {Qt::Key_End, 500, 1000},
      {Qt::Key_Up, 50, 50},        {Qt::Key_PageUp, 51, 50},      {Qt::Key_Home, 50, 50},
      {Qt::Key_Down, 1000, 1000},  {Qt::Key_PageDown, 999, 1000}, {Qt::Key_End, 1000, 1000},
      {Qt::Key_Left, 500, 498},    {Qt::Key_Right, 500, 502},     {Qt::Key_Left, 50, 50},
      {Qt::Key_Right, 1000, 1000},
  };
  for (const auto& c : cases) {
    bar.setValue(c.before);
    seen.clear();
    QTest::keyClick(&bar, c.key);
    EXPECT_EQ(bar.value(), c.after) << "key " << c.key << " from " << c.before;
    // Every notification, also at the limits where nothing moved, sees the new position.
    EXPECT_EQ(seen, std::vector<int>{c.after}) << "key " << c.key << " from " << c.before;
  }
}

TEST_F(TrackBarTest, SettingThePositionFromTheProgramClampsAndDoesNotNotify) {
  bar.setValue(20);
  EXPECT_EQ(bar.value(), 50);
  bar.setValue(5000);
  EXPECT_EQ(bar.value(), 1000);
  EXPECT_TRUE(seen.empty());
}

// Where the thumb of the bar is drawn.
QRect ThumbRect(const TrackBar& bar) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = Qt::Vertical;
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.upsideDown = !bar.invertedAppearance();
  option.sliderPosition = bar.value();
  option.sliderValue = bar.value();
  option.tickPosition = bar.tickPosition();
  option.tickInterval = bar.tickInterval();
  return bar.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &bar);
}

TEST_F(TrackBarTest, ThumbLengthTicksEveryHundredFromTheMinimumAndAtBothEnds) {
  EXPECT_EQ(ThumbRect(bar).height(), 12);
  EXPECT_EQ(bar.TickPositions(),
            (std::vector<int>{50, 150, 250, 350, 450, 550, 650, 750, 850, 950, 1000}));

  // On the screen: the rows right of the thumb that carry a mark, wherever the thumb is.
  for (int value : {50, 500, 1000}) {
    SCOPED_TRACE(value);
    bar.setValue(value);
    const QImage image = bar.grab().toImage();
    const QColor background = bar.palette().color(QPalette::Window);
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
      bool marked = false;
      for (int x = ThumbRect(bar).right() + 2; x < image.width(); ++x) {
        if (image.pixelColor(x, y) != background) marked = true;
      }
      if (marked) rows.push_back(y);
    }
    ASSERT_EQ(rows.size(), 11u) << ::testing::PrintToString(rows);
    // Ten equal steps of 100 positions, give or take a rounded pixel, then one of 50.
    const double step = (rows[9] - rows[0]) / 9.0;
    EXPECT_GT(step, 40.0);
    for (std::size_t k = 1; k < 10; ++k) EXPECT_NEAR(rows[k] - rows[k - 1], step, 1.0) << k;
    EXPECT_NEAR(rows[10] - rows[9], step / 2, 1.0);
    // The ends are level with the thumb's centre at the minimum and at the maximum.
    bar.setValue(50);
    EXPECT_NEAR(rows.front(), ThumbRect(bar).center().y(), 1);
    bar.setValue(1000);
    EXPECT_NEAR(rows.back(), ThumbRect(bar).center().y(), 1);
  }
}

// The groove is the same above and below the thumb: no fill up to the thumb, as a level meter has.
TEST_F(TrackBarTest, PlainGroove) {
  bar.setValue(500);
  const QImage image = bar.grab().toImage();
  const QRect thumb = ThumbRect(bar);
  const QColor highlight = bar.palette().color(QPalette::Highlight);
  for (int x = thumb.left(); x <= thumb.right(); ++x) {
    const QColor above = image.pixelColor(x, thumb.top() - 60);
    EXPECT_EQ(above, image.pixelColor(x, thumb.bottom() + 60)) << x;
    for (int y = 0; y < image.height(); ++y) {
      if (thumb.contains(x, y)) continue;
      ASSERT_NE(image.pixelColor(x, y), highlight) << x << "," << y;
    }
  }
}

TEST_F(TrackBarTest, ClickOnTheChannelMovesByAPageTowardsTheClick) {
  const struct {
    int dy;
    int after;
  } cases[] = {{60, 502}, {-60, 498}};
  for (const auto& c : cases) {
    bar.setValue(500);
    seen.clear();
    const QPoint target = ThumbRect(bar).center() + QPoint(0, c.dy);
    QTest::mousePress(&bar, Qt::LeftButton, {}, target);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, target);
    EXPECT_EQ(bar.value(), c.after) << c.dy;
    ASSERT_FALSE(seen.empty()) << c.dy;
    EXPECT_EQ(seen.back(), c.after) << c.dy;
  }
}

TEST_F(TrackBarTest, DraggingNotifiesEachMoveAndTheRelease) {
  bar.setValue(500);
  const QPoint thumb = ThumbRect(bar).center();
  QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(&bar, thumb + QPoint(0, 40));
  QTest::mouseMove(&bar, thumb + QPoint(0, 80));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + QPoint(0, 80));
  ASSERT_GE(seen.size(), 3u);
  EXPECT_GT(bar.value(), 500);  // downwards is towards the maximum
  EXPECT_EQ(seen.back(), bar.value());
  for (std::size_t k = 1; k < seen.size(); ++k) EXPECT_GE(seen[k], seen[k - 1]);
}

// A window with two edits and a button, the edits counting their focus-entry calls.
class ParameterEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    first.setGeometry(10, 10, 49, 21);
    second.setGeometry(10, 40, 49, 21);
    button.setGeometry(10, 70, 75, 25);
    first.onEnter = [this] { ++firstEntries; };
    second.onEnter = [this] { ++secondEntries; };
    first.setText(QStringLiteral("1"));
    second.setText(QStringLiteral("2"));
    QWidget::setTabOrder(&button, &first);
    QWidget::setTabOrder(&first, &second);
    window.resize(200, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button.setFocus(Qt::OtherFocusReason);
  }

  QWidget window;
  ParameterEdit first{&window};
  ParameterEdit second{&window};
  QPushButton button{QStringLiteral("Go"), &window};
  int firstEntries = 0;
  int secondEntries = 0;
};

TEST_F(ParameterEditTest, TabAndBacktabEnterAndSelectTheText) {
  QTest::keyClick(&button, Qt::Key_Tab);
  EXPECT_TRUE(first.hasFocus());
  EXPECT_EQ(firstEntries, 1);
  EXPECT_EQ(first.selectedText(), QStringLiteral("1"));
  QTest::keyClick(&first, Qt::Key_Tab);
  EXPECT_EQ(secondEntries, 1);
  QTest::keyClick(&second, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_TRUE(first.hasFocus());
  EXPECT_EQ(firstEntries, 2);
}

TEST_F(ParameterEditTest, MouseClickEntersOnlyWhenTheFocusMoves) {
  QTest::mouseClick(&second, Qt::LeftButton);
  EXPECT_TRUE(second.hasFocus());
  EXPECT_EQ(secondEntries, 1);
  QTest::mouseClick(&second, Qt::LeftButton);  // already focused
  EXPECT_EQ(secondEntries, 1);
}

TEST_F(ParameterEditTest, NeitherTheProgramNorReactivationEnters) {
  first.setFocus(Qt::OtherFocusReason);
  first.setText(QStringLiteral("3"));
  EXPECT_TRUE(first.hasFocus());
  EXPECT_EQ(firstEntries, 0);

  // The window loses and regains activation with the edit still focused.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_TRUE(first.hasFocus());
  EXPECT_EQ(firstEntries, 0);
}

}  // namespace
}  // namespace vellora::app

int main(int argc, char** argv) {
  return vellora::app::testing::RunQtTests(argc, argv);
}
