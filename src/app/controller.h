// The run loop: start-up, the periodic tick that advances the simulation by one block and
// refreshes what the user sees, and the commands that start, stop and steer the run.
#pragma once

#include "app/seams.h"
#include "sim/random_source.h"
#include "sim/simulation_state.h"

namespace vellora::app {

// Nothing here catches an error: a failing step abandons the rest of its handler, keeps what
// the earlier steps did, and leaves the error to the caller (the window shows it). The timer is
// never touched by an error, so the next tick tries again.
class SimulationController {
 public:
  explicit SimulationController(const ControllerSeams& seams,
                                sim::RandomSource& random = sim::ProcessRandomSource());

  // Start-up: "." as decimal separator, the temperature edit from the track bar, initialisation
  // (parameters, seed, random lattice), the first picture.
  void FormCreate();
  // One tick: a block, the picture, the magnetisation, a point and the bottom window for each
  // chart, the three read-outs.
  void Timer1Timer();
  // Start: step counter to 0, timer on, both charts cleared.
  void Button5Click();
  // Stop.
  void Button8Click();
  // The input focus entered a parameter edit: the run stops.
  void Edit3Enter();
  // The track bar moved: the temperature edit shows its position / 100 with two decimals.
  void TrackBar1Change();

  // The initialisation, the block and the drawing, under the names the window knows them by.
  void btnInitClick();
  void btnOptimizeClick();
  void btnDrawClick();

  const sim::SimulationState& State() const { return state_; }
  sim::SimulationState& State() { return state_; }

 private:
  ControllerSeams seams_;
  sim::RandomSource& random_;
  sim::SimulationState state_;
};

}  // namespace vellora::app
