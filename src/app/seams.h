// The narrow interfaces through which the run loop reaches the window: the picture, the two
// charts, the three read-outs, the parameter edits, the track bar and the run timer. The window
// binds them to its controls; the tests bind them to in-memory versions.
#pragma once

#include <string>

#include "sim/parameters.h"
#include "sim/simulation_state.h"

namespace vellora::app {

class PictureSink {
 public:
  virtual ~PictureSink() = default;
  // Repaints the whole picture from the lattice and makes it visible before returning.
  virtual void btnDrawClick(const sim::SpinLattice& lattice) = 0;
};

class ChartSink {
 public:
  virtual ~ChartSink() = default;
  // Removes every point of the chart's series.
  virtual void ClearPoints() = 0;
  // Adds one point in the series' own colour.
  virtual void AppendPoint(double x, double y) = 0;
  // Sets the bottom axis Minimum, then Maximum; each is checked against the other bound as it
  // stands and a refusal raises AxisException.
  virtual void SetBottomWindow(double minimum, double maximum) = 0;
};

class ReadoutSink {
 public:
  virtual ~ReadoutSink() = default;
  virtual void SetCaption(const std::string& caption) = 0;
};

// The four parameter edits. Setting a text programmatically does not count as the user
// entering the edit.
class ParameterEdits : public sim::ParameterTexts {
 public:
  virtual void SetText(sim::ParameterEdit edit, const std::string& text) = 0;
};

class TrackBarSource {
 public:
  virtual ~TrackBarSource() = default;
  // 50 to 1000: the temperature times 100.
  virtual int Position() const = 0;
};

class RunTimer {
 public:
  virtual ~RunTimer() = default;
  // Enabling an enabled timer changes nothing; disabling stops further ticks. May raise
  // "Not enough timers available" when the window system has no timer to give.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

struct ControllerSeams {
  PictureSink& picture;
  ChartSink& magnetisationChart;  // Chart1, "Magnetization"
  ChartSink& energyChart;         // Chart2, "Energy"
  ReadoutSink& labMag;
  ReadoutSink& labEnergy;
  ReadoutSink& labTemp;
  ParameterEdits& edits;
  TrackBarSource& trackBar;
  RunTimer& timer;
};

}  // namespace vellora::app
