#include "app/controller.h"

#include "app/chart_sink.h"
#include "chart/program_charts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fake_seams.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "sim/magnetisation.h"

namespace vellora::app {
namespace {

using sim::ParameterEdit;

std::uint32_t FixedSeed() {
  return 2024;
}

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    numtext::ProcessNumberFormat().decimalSeparator = ',';
    controller.FormCreate();
  }
  void TearDown() override { numtext::ProcessNumberFormat() = savedFormat; }

  numtext::NumberFormat savedFormat = numtext::ProcessNumberFormat();
  testing::FakeWindow window;
  sim::RandomSource random{FixedSeed};
  SimulationController controller{window.Seams(), random};
};

TEST_F(ControllerTest, StartUpState) {
  EXPECT_EQ(numtext::ProcessNumberFormat().decimalSeparator, '.');
  EXPECT_EQ(window.edits.Text(ParameterEdit::Edit1), "5.00");
  EXPECT_EQ(window.labMag.caption, "M =");
  EXPECT_EQ(window.labEnergy.caption, "E =");
  EXPECT_EQ(window.labTemp.caption, "T =");
  EXPECT_FALSE(window.timer.enabled);
  EXPECT_EQ(window.picture.draws, 1);
  EXPECT_EQ(window.picture.shown.spins, controller.State().lattice.spins);
  EXPECT_TRUE(window.chart1.points.empty());
  EXPECT_TRUE(window.chart2.points.empty());
  const auto& p = controller.State().parameters;
  EXPECT_EQ(p.T, 5.0);
  EXPECT_EQ(p.h, 0.0);
  EXPECT_EQ(p.J1, 1.0);
  EXPECT_EQ(p.J2, 0.0);
  EXPECT_EQ(controller.State().stepCount, 0);
  for (const std::int32_t spin : controller.State().lattice.spins)
    ASSERT_TRUE(spin == 1 || spin == -1);
}

TEST_F(ControllerTest, TicksAppendPointsAndSlideTheWindow) {
  window.calls.clear();
  controller.Button5Click();
  EXPECT_TRUE(window.timer.enabled);
  controller.Timer1Timer();
  EXPECT_EQ(window.calls, (testing::CallLog{"Chart1 clear", "Chart2 clear", "draw", "Chart1 point",
                                            "Chart1 window", "Chart2 point", "Chart2 window",
                                            "labMag", "labEnergy", "labTemp"}));
  ASSERT_EQ(window.chart1.points.size(), 1u);
  EXPECT_EQ(window.chart1.points[0].first, 1.0);
  EXPECT_EQ(window.chart2.points[0].first, 1.0);
  EXPECT_EQ(window.chart1.minimum, 0.0);
  EXPECT_EQ(window.chart1.maximum, 1.0);
  EXPECT_EQ(window.chart2.minimum, 0.0);
  EXPECT_EQ(window.chart2.maximum, 1.0);
  EXPECT_EQ(window.picture.draws, 2);

  // The read-outs and the points come from the state the tick left.
  const auto& state = controller.State();
  const Extended sum = sim::LatticeSum(state.lattice);
  EXPECT_EQ(state.magnetisationSum, static_cast<double>(sum));
  EXPECT_EQ(window.chart1.points[0].second, static_cast<double>(sum / 10000));
  EXPECT_EQ(window.chart2.points[0].second, state.energyEstimate);
  EXPECT_EQ(window.labMag.caption, "M=" + numtext::FloatToFixed(sum / 10000, 8, 2));
  EXPECT_EQ(window.labEnergy.caption, "E=" + numtext::FloatToFixed(state.energyEstimate, 8, 2));
  EXPECT_EQ(window.labTemp.caption, "T=5.00");

  testing::RunTicks(controller, 24);
  EXPECT_EQ(window.chart1.minimum, 0.0);
  EXPECT_EQ(window.chart1.maximum, 25.0);
  controller.Timer1Timer();
  EXPECT_EQ(window.chart1.minimum, 1.0);
  EXPECT_EQ(window.chart1.maximum, 26.0);
  EXPECT_EQ(window.chart2.minimum, 1.0);
  EXPECT_EQ(window.chart2.maximum, 26.0);
  EXPECT_EQ(window.chart1.points.size(), 26u);
  EXPECT_EQ(state.stepCount, 2'600'000);
}

TEST_F(ControllerTest, TheTemperatureReadoutShowsTheEditAsTyped) {
  window.edits.SetText(ParameterEdit::Edit1, " 3");
  controller.Timer1Timer();
  EXPECT_EQ(window.labTemp.caption, "T= 3");
  EXPECT_EQ(controller.State().parameters.T, 3.0);
}

TEST_F(ControllerTest, StartWhileRunningRestartsCounterAndChartsButNotTheLattice) {
  controller.Button5Click();
  testing::RunTicks(controller, 3);
  const sim::SpinLattice before = controller.State().lattice;
  controller.Button5Click();
  EXPECT_TRUE(window.timer.enabled);
  EXPECT_EQ(controller.State().stepCount, 0);
  EXPECT_TRUE(window.chart1.points.empty());
  EXPECT_TRUE(window.chart2.points.empty());
  EXPECT_EQ(controller.State().lattice.spins, before.spins);
  // The windows keep their range until the next tick.
  EXPECT_EQ(window.chart1.maximum, 3.0);
  controller.Timer1Timer();
  EXPECT_EQ(window.chart1.points.front().first, 1.0);
  EXPECT_EQ(window.chart1.maximum, 1.0);
}

TEST_F(ControllerTest, StartAfterALongRunGoesBackToTheFirstWindow) {
  window.chart1.minimum = window.chart2.minimum = 75;
  window.chart1.maximum = window.chart2.maximum = 100;
  controller.Button5Click();
  controller.Timer1Timer();
  EXPECT_EQ(window.chart1.minimum, 0.0);
  EXPECT_EQ(window.chart1.maximum, 1.0);
}

TEST_F(ControllerTest, StopAndEnteringAnEditOnlyStopTheTimer) {
  const std::string edit1 = window.edits.Text(ParameterEdit::Edit1);
  controller.Button5Click();
  controller.Button8Click();
  EXPECT_FALSE(window.timer.enabled);
  controller.Button5Click();
  controller.Edit3Enter();
  EXPECT_FALSE(window.timer.enabled);
  EXPECT_EQ(window.edits.Text(ParameterEdit::Edit1), edit1);
}

TEST_F(ControllerTest, TheTrackBarWritesTheTemperatureEdit) {
  controller.Button5Click();
  const std::pair<int, const char*> cases[] = {
      {50, "0.50"}, {55, "0.55"}, {500, "5.00"}, {1000, "10.00"}, {227, "2.27"}};
  for (const auto& [position, text] : cases) {
    window.trackBar.position = position;
    controller.TrackBar1Change();
    EXPECT_EQ(window.edits.Text(ParameterEdit::Edit1), text);
  }
  EXPECT_TRUE(window.timer.enabled);
  EXPECT_EQ(controller.State().parameters.T, 5.0) << "T is read at the next tick";
  controller.Timer1Timer();
  EXPECT_EQ(controller.State().parameters.T, 2.27);
}

TEST_F(ControllerTest, ABadParameterTextAbandonsTheTick) {
  controller.Button5Click();
  testing::RunTicks(controller, 2);
  const auto stateBefore = controller.State();
  const auto captionBefore = window.labMag.caption;
  const auto energyBefore = window.labEnergy.caption;
  window.edits.SetText(ParameterEdit::Edit1, "3");
  window.edits.SetText(ParameterEdit::Edit2, "abc");
  window.calls.clear();
  EXPECT_EQ(testing::FailingTick(controller), "'abc' is not a valid floating point value");
  EXPECT_TRUE(window.calls.empty()) << "nothing drawn, appended or written";
  EXPECT_EQ(window.labEnergy.caption, energyBefore);
  EXPECT_EQ(window.labTemp.caption, "T=5.00") << "not yet the new 3";
  EXPECT_EQ(controller.State().parameters.T, 3.0) << "parameters before the bad one are updated";
  EXPECT_EQ(controller.State().parameters.h, stateBefore.parameters.h);
  EXPECT_EQ(controller.State().stepCount, stateBefore.stepCount);
  EXPECT_EQ(controller.State().lattice.spins, stateBefore.lattice.spins);
  EXPECT_EQ(window.picture.draws, 3);
  EXPECT_EQ(window.chart1.points.size(), 2u);
  EXPECT_EQ(window.labMag.caption, captionBefore);
  EXPECT_TRUE(window.timer.enabled);

  window.edits.SetText(ParameterEdit::Edit2, "0");
  controller.Timer1Timer();
  EXPECT_EQ(window.chart1.points.size(), 3u);
}

TEST_F(ControllerTest, AnArithmeticFaultIsReportedAndTheNextTickRuns) {
  controller.Button5Click();
  window.edits.SetText(ParameterEdit::Edit1, "0");
  window.calls.clear();
  const std::string message = testing::FailingTick(controller);
  EXPECT_TRUE(message == "Floating point division by zero" ||
              message == "Invalid floating point operation")
      << message;
  EXPECT_EQ(controller.State().stepCount, 0);
  EXPECT_TRUE(window.calls.empty()) << "the block failed before the picture was drawn";
  EXPECT_EQ(window.picture.draws, 1);
  EXPECT_EQ(window.labMag.caption, "M =");
  EXPECT_EQ(window.labEnergy.caption, "E =");
  EXPECT_EQ(window.labTemp.caption, "T =");
  window.edits.SetText(ParameterEdit::Edit1, "2");
  controller.Timer1Timer();
  EXPECT_EQ(controller.State().stepCount, 100000);
  EXPECT_EQ(window.chart1.points.size(), 1u);
}

TEST_F(ControllerTest, ARefusedBottomWindowAbandonsTheTickAtTheRightStep) {
  controller.Button5Click();
  testing::RunTicks(controller, 30);
  const std::string magBefore = window.labMag.caption;
  const std::string energyBefore = window.labEnergy.caption;
  const auto& state = controller.State();
  // The read-outs keep their texts, the picture and the step counter move on.
  auto expectStepsOneToFiveDone = [&](std::int64_t stepCount) {
    EXPECT_EQ(state.stepCount, stepCount);
    EXPECT_EQ(window.picture.shown.spins, state.lattice.spins);
    EXPECT_EQ(state.magnetisationSum, static_cast<double>(sim::LatticeSum(state.lattice)));
    EXPECT_EQ(window.labMag.caption, magBefore);
    EXPECT_EQ(window.labEnergy.caption, energyBefore);
  };

  // The magnetisation chart's bottom axis panned far back: its maximum lies before the next
  // window's minimum (6).
  window.chart1.minimum = 1;
  window.chart1.maximum = 4;
  window.calls.clear();
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(window.calls, (testing::CallLog{"draw", "Chart1 point"}));
  expectStepsOneToFiveDone(3'100'000);
  EXPECT_EQ(window.chart1.points.size(), 31u) << "the magnetisation point was appended";
  EXPECT_EQ(window.chart2.points.size(), 30u) << "the energy point was not";
  EXPECT_EQ(window.chart1.minimum, 1.0);
  EXPECT_EQ(window.chart1.maximum, 4.0);
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum")
      << "every later tick fails too";

  // The energy chart refusing: both points appended and the magnetisation window set.
  window.chart1.minimum = 0;
  window.chart1.maximum = 100;
  window.chart2.minimum = 2;
  window.chart2.maximum = 3;
  window.calls.clear();
  EXPECT_EQ(testing::FailingTick(controller), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(window.calls,
            (testing::CallLog{"draw", "Chart1 point", "Chart1 window", "Chart2 point"}));
  expectStepsOneToFiveDone(3'300'000);
  EXPECT_EQ(window.chart1.maximum, 33.0);
  EXPECT_EQ(window.chart2.points.size(), 31u);

  // A smaller pan is undone by the next tick.
  window.chart2.minimum = 5;
  window.chart2.maximum = 20;
  controller.Timer1Timer();
  EXPECT_EQ(window.chart2.minimum, 9.0);
  EXPECT_EQ(window.chart2.maximum, 34.0);
}

TEST_F(ControllerTest, StartFailsWithoutATimerBeforeClearingTheCharts) {
  controller.Button5Click();
  testing::RunTicks(controller, 2);
  controller.Button8Click();
  window.timer.failToStart = true;
  try {
    controller.Button5Click();
    ADD_FAILURE() << "Start did not fail";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Not enough timers available");
  }
  EXPECT_EQ(controller.State().stepCount, 0);
  EXPECT_EQ(window.chart1.points.size(), 2u);
}

TEST_F(ControllerTest, FullyMagnetisedReadsOne) {
  controller.State().lattice.spins.fill(1);
  window.edits.SetText(ParameterEdit::Edit1, "1e-300");
  controller.Timer1Timer();
  EXPECT_EQ(window.labMag.caption, "M=1.00");
  EXPECT_EQ(window.chart1.points.back().second, 1.0);
  EXPECT_EQ(window.labEnergy.caption, "E=-2.00");
  controller.State().lattice.spins.fill(-1);
  controller.Timer1Timer();
  EXPECT_EQ(window.labMag.caption, "M=-1.00");
}

// "M=" rounds the sum / 10000 carried in extended precision. Where the sum ends in 50 the quotient
// lies on a half of the second decimal, which rounds away from zero; the double nearest to it
// lies below the half for these sums and would print one hundredth less (worked out with exact
// rationals). The lattices are frozen at T = 1e-300: full rows of the minority spin and one
// rectangle of it, with the field on the minority's side so that no corner can flip.
TEST_F(ControllerTest, TheMagnetisationReadoutRoundsTheExtendedQuotient) {
  const struct {
    int minority;       // +1 or -1
    int rows;           // full rows from the top
    int height, width;  // the rectangle, two rows below them
    int sum;
    const char* readout;
  } cases[] = {
      {+1, 50, 5, 15, 150, "M=0.02"},  // not 0.01
      {-1, 50, 5, 15, -150, "M=-0.02"},
      {-1, 25, 5, 5, 4950, "M=0.50"},  // not 0.49
      {+1, 25, 5, 5, -4950, "M=-0.50"},
      {-1, 0, 5, 5, 9950, "M=1.00"},  // not 0.99
      {+1, 0, 5, 5, -9950, "M=-1.00"},
      {-1, 49, 5, 15, 50, "M=0.01"},   // 0.005, whose double lies above the half
      {+1, 49, 8, 10, -40, "M=0.00"},  // no sign on a zero result
  };
  window.edits.texts = {"1e-300", "", "1", "0"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sum);
    sim::SpinLattice& lattice = controller.State().lattice;
    lattice.spins.fill(-c.minority);
    for (int j = 1; j <= c.rows; ++j)
      for (int i = 1; i <= sim::kLatticeSide; ++i) lattice.At(i, j) = c.minority;
    for (int j = c.rows + 3; j < c.rows + 3 + c.height; ++j)
      for (int i = 3; i < 3 + c.width; ++i) lattice.At(i, j) = c.minority;
    window.edits.texts[1] = c.minority > 0 ? "0.5" : "-0.5";
    controller.Timer1Timer();
    ASSERT_EQ(controller.State().magnetisationSum, c.sum) << "the lattice did not stay";
    EXPECT_EQ(window.labMag.caption, c.readout);
    EXPECT_EQ(window.chart1.points.back().second, c.sum / 10000.0);
  }
}

}  // namespace
}  // namespace vellora::app

namespace vellora::app {
namespace {

// The same run loop against the real chart core: the program's two charts bound through
// TChartSink.
TEST(ControllerWithCharts, TicksFeedTheRealChartsAndAPanFarBackIsRefused) {
  const numtext::NumberFormat saved = numtext::ProcessNumberFormat();
  chart::TChart magnetisation, energy;
  chart::ConfigureMagnetizationChart(magnetisation);
  chart::ConfigureEnergyChart(energy);
  TChartSink chart1(magnetisation), chart2(energy);
  testing::FakeWindow window;
  const ControllerSeams seams{window.picture, chart1,           chart2,
                              window.labMag,  window.labEnergy, window.labTemp,
                              window.edits,   window.trackBar,  window.timer};
  sim::RandomSource random(FixedSeed);
  SimulationController controller(seams, random);
  controller.FormCreate();
  controller.Button5Click();
  for (int tick = 0; tick < 30; ++tick) controller.Timer1Timer();
  EXPECT_EQ(magnetisation.Series(0).PointCount(), 30);
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 5.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 30.0);
  EXPECT_EQ(energy.Series(0).YValueAt(29), controller.State().energyEstimate);

  // A pan that leaves the axis' maximum before the next window's minimum (6).
  magnetisation.BottomAxis().SetRange(0, 5);
  try {
    controller.Timer1Timer();
    ADD_FAILURE() << "the tick did not fail";
  } catch (const AxisException& e) {
    EXPECT_EQ(e.Message(), "Axis Minimum Value must be <= Maximum");
  }
  EXPECT_EQ(magnetisation.Series(0).PointCount(), 31);
  EXPECT_EQ(energy.Series(0).PointCount(), 30);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 5.0);

  // Brought back far enough, the next tick sets the window again.
  magnetisation.BottomAxis().SetRange(0, 10);
  controller.Timer1Timer();
  EXPECT_EQ(magnetisation.BottomAxis().Minimum(), 7.0);
  EXPECT_EQ(magnetisation.BottomAxis().Maximum(), 32.0);
  numtext::ProcessNumberFormat() = saved;
}

}  // namespace
}  // namespace vellora::app
