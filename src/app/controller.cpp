#include "app/controller.h"

#include <algorithm>

#include "base/extended.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "sim/initialise.h"
#include "sim/magnetisation.h"
#include "sim/metropolis.h"

namespace vellora::app {
namespace {

// Read-outs and the temperature edit: precision 8, two decimals.
std::string TwoDecimals(const Extended& value) {
  return numtext::FloatToFixed(value, 8, 2);
}

// The charts show the last 25 time units.
constexpr double kWindowLength = 25.0;

}  // namespace

SimulationController::SimulationController(const ControllerSeams& seams, sim::RandomSource& random)
    : seams_(seams), random_(random) {}

void SimulationController::FormCreate() {
  numtext::ProcessNumberFormat().decimalSeparator = '.';
  TrackBar1Change();
  btnInitClick();
  btnDrawClick();
}

void SimulationController::Timer1Timer() {
  btnOptimizeClick();
  btnDrawClick();
  const Extended sum = sim::LatticeSum(state_.lattice);
  state_.magnetisationSum = sum.ToDouble();
  const Extended magnetisation = sum / 10000;
  const double x = static_cast<double>(state_.stepCount) / sim::kBlockLength;
  const double windowStart = std::max(x - kWindowLength, 0.0);

  seams_.magnetisationChart.AppendPoint(x, magnetisation.ToDouble());
  seams_.magnetisationChart.SetBottomWindow(windowStart, x);
  seams_.energyChart.AppendPoint(x, state_.energyEstimate);
  seams_.energyChart.SetBottomWindow(windowStart, x);

  seams_.labMag.SetCaption("M=" + TwoDecimals(magnetisation));
  seams_.labEnergy.SetCaption("E=" + TwoDecimals(state_.energyEstimate));
  seams_.labTemp.SetCaption("T=" + seams_.edits.Text(sim::ParameterEdit::Edit1));
}

void SimulationController::Button5Click() {
  state_.stepCount = 0;
  seams_.timer.SetEnabled(true);
  seams_.magnetisationChart.ClearPoints();
  seams_.energyChart.ClearPoints();
}

void SimulationController::Button8Click() {
  seams_.timer.SetEnabled(false);
}

void SimulationController::Edit3Enter() {
  seams_.timer.SetEnabled(false);
}

void SimulationController::TrackBar1Change() {
  const Extended temperature = Extended(seams_.trackBar.Position()) / 100;
  seams_.edits.SetText(sim::ParameterEdit::Edit1, TwoDecimals(temperature));
}

void SimulationController::btnInitClick() {
  sim::Initialise(state_, seams_.edits, random_);
}

void SimulationController::btnOptimizeClick() {
  sim::RunSweep(state_, seams_.edits, random_);
}

void SimulationController::btnDrawClick() {
  seams_.picture.btnDrawClick(state_.lattice);
}

}  // namespace vellora::app
