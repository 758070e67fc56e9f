// Zoom and panning of the real charts while the run loop sets their bottom windows on every
// tick.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/chart_sink.h"
#include "app/controller.h"
#include "chart/fake_canvas.h"
#include "chart/program_charts.h"
#include "fake_seams.h"
#include "numtext/number_format.h"

namespace vellora::app {
namespace {

using chart::TMouseButton;

class ZoomRunLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart::ConfigureMagnetizationChart(magnetisation);
    chart::ConfigureEnergyChart(energy);
    controller.FormCreate();
    controller.Button5Click();
    testing::RunTicks(controller, 30);
    Draw();
    ASSERT_EQ(magnetisation.BottomAxis().Minimum(), 5.0);
    ASSERT_EQ(magnetisation.BottomAxis().Maximum(), 30.0);
  }
  void TearDown() override { numtext::ProcessNumberFormat() = savedFormat; }

  // Lays the magnetisation chart out, as its repaint after a tick does.
  void Draw() { magnetisation.DrawChart(canvas); }
  // A right drag across the plot in steps of a few pixels, releasing where it ends.
  void Pan(int fromX, int toX, int fromY, int toY) {
    magnetisation.MouseDown(TMouseButton::mbRight, fromX, fromY);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i)
      magnetisation.MouseMove(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    magnetisation.MouseUp(TMouseButton::mbRight, toX, toY);
  }
  void LeftDrag(int fromX, int fromY, int toX, int toY) {
    magnetisation.MouseDown(TMouseButton::mbLeft, fromX, fromY);
    magnetisation.MouseMove(toX, toY);
    magnetisation.MouseUp(TMouseButton::mbLeft, toX, toY);
  }
  int MiddleRow() const { return (magnetisation.plotRect.top + magnetisation.plotRect.bottom) / 2; }

  const numtext::NumberFormat savedFormat = numtext::ProcessNumberFormat();
  chart::TChart magnetisation, energy;
  TChartSink chart1{magnetisation}, chart2{energy};
  testing::FakeWindow window;
  ControllerSeams seams{window.picture, chart1,           chart2,
                        window.labMag,  window.labEnergy, window.labTemp,
                        window.edits,   window.trackBar,  window.timer};
  sim::RandomSource random{[]() -> std::uint32_t { return 2024; }};
  SimulationController controller{seams, random};
  chart::testing::FakeCanvas canvas;
};

TEST_F(ZoomRunLoopTest, APanMoreThan24UnitsBackMakesTicksFailUntilUndone) {
  const chart::TRect plot = magnetisation.plotRect;
  // From the left edge to the last column inside the plot: almost the whole window.
  Pan(plot.left, plot.right - 1, MiddleRow(), MiddleRow());
  const double maximum = magnetisation.BottomAxis().Maximum();
  ASSERT_GT(30 - maximum, 24);
  const double minimum = magnetisation.BottomAxis().Minimum();
  const std::string magCaption = window.labMag.caption;

  // The next tick (x = 31) appends the magnetisation point and then refuses the minimum 6.
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(magnetisation.Series(0).PointCount(), 31);
  EXPECT_EQ(energy.Series(0).PointCount(), 30);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), minimum);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), maximum);
  EXPECT_EQ(window.labMag.caption, magCaption);
  EXPECT_TRUE(window.timer.enabled);
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(magnetisation.Series(0).PointCount(), 32);

  // Undoing brings back [5, 30], which the next tick (minimum 8) can move on from.
  Draw();
  LeftDrag(plot.right - 5, plot.bottom - 5, plot.left + 5, plot.top + 5);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 5.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 30.0);
  testing::RunTicks(controller, 1);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 8.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 33.0);
  EXPECT_EQ(energy.Series(0).PointCount(), 31);
}

TEST_F(ZoomRunLoopTest, ASmallerPanOrAZoomOfTheBottomAxisLastsUntilTheNextTick) {
  const chart::TRect plot = magnetisation.plotRect;
  const int row = MiddleRow();
  // About ten units back, and up: the left axis moves too.
  Pan(plot.left + 20, plot.left + 125, row, row - 20);
  ASSERT_LT(magnetisation.BottomAxis().Maximum(), 21.0);
  const double leftMinimum = magnetisation.LeftAxis().Minimum();
  const double leftMaximum = magnetisation.LeftAxis().Maximum();
  ASSERT_LT(leftMinimum, -1.0);

  testing::RunTicks(controller, 1);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 6.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 31.0);
  EXPECT_EQ(magnetisation.LeftAxis().Minimum(), leftMinimum);
  EXPECT_EQ(magnetisation.LeftAxis().Maximum(), leftMaximum);

  // A zoom into the middle of the window is also reset by the next tick.
  Draw();
  LeftDrag(plot.left + 50, row - 30, plot.left + 150, row + 30);
  ASSERT_GT(magnetisation.BottomAxis().Minimum(), 6.0);
  testing::RunTicks(controller, 1);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 7.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 32.0);
}

TEST_F(ZoomRunLoopTest, AnUndoAfterMoreThan24TicksRestoresAWindowTheTicksRefuse) {
  const chart::TRect plot = magnetisation.plotRect;
  LeftDrag(plot.left + 50, plot.top + 10, plot.left + 150, plot.bottom - 10);
  testing::RunTicks(controller, 26);  // x = 56
  Draw();
  LeftDrag(plot.left + 150, plot.bottom - 10, plot.left + 50, plot.top + 10);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 30.0);
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum");
}

}  // namespace
}  // namespace vellora::app
