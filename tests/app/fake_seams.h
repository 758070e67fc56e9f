// In-memory versions of the run loop's seams: charts and read-outs that keep what they are
// given, settable edit texts, a timer flag. The charts refuse a bottom window the way the real
// axis does. The picture, the charts and the read-outs of a FakeWindow note in one log what they
// were asked to do, in order.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "app/controller.h"
#include "app/seams.h"
#include "base/errors.h"

namespace vellora::app::testing {

// What the seams did, one entry per completed request: "draw", "Chart1 point",
// "Chart1 window", "labMag", ...
using CallLog = std::vector<std::string>;

// Notes an entry when a log is attached.
class Logged {
 public:
  std::string name;
  CallLog* log = nullptr;

 protected:
  void Note(const std::string& what) const {
    if (log == nullptr) return;
    log->push_back(name.empty() || what.empty() ? name + what : name + " " + what);
  }
};

class FakePicture : public PictureSink, public Logged {
 public:
  void btnDrawClick(const sim::SpinLattice& lattice) override {
    ++draws;
    shown = lattice;
    Note("draw");
  }
  int draws = 0;
  sim::SpinLattice shown;
};

class FakeChart : public ChartSink, public Logged {
 public:
  void ClearPoints() override {
    points.clear();
    Note("clear");
  }
  void AppendPoint(double x, double y) override {
    points.emplace_back(x, y);
    Note("point");
  }
  void SetBottomWindow(double newMinimum, double newMaximum) override {
    if (newMinimum > maximum) throw AxisException("Axis Minimum Value must be <= Maximum");
    minimum = newMinimum;
    if (newMaximum < minimum) throw AxisException("Axis Maximum Value must be >= Minimum");
    maximum = newMaximum;
    Note("window");
  }
  std::vector<std::pair<double, double>> points;
  double minimum = 0;
  double maximum = 25;
};

class FakeReadout : public ReadoutSink, public Logged {
 public:
  explicit FakeReadout(std::string initial) : caption(std::move(initial)) {}
  void SetCaption(const std::string& text) override {
    caption = text;
    Note("");
  }
  std::string caption;
};

class FakeEdits : public ParameterEdits {
 public:
  std::string Text(sim::ParameterEdit edit) const override { return texts[Index(edit)]; }
  void SetText(sim::ParameterEdit edit, const std::string& text) override {
    texts[Index(edit)] = text;
  }
  // The window description's texts: T, h, J1, J2.
  std::array<std::string, 4> texts{"10", "0", "1", "0"};

 private:
  static int Index(sim::ParameterEdit edit) { return static_cast<int>(edit); }
};

class FakeTrackBar : public TrackBarSource {
 public:
  int Position() const override { return position; }
  int position = 500;
};

class FakeTimer : public RunTimer {
 public:
  void SetEnabled(bool value) override {
    if (value && !enabled && failToStart) throw EOutOfResources("Not enough timers available");
    enabled = value;
  }
  bool Enabled() const override { return enabled; }
  bool enabled = false;
  bool failToStart = false;
};

// Everything a controller needs, wired together.
struct FakeWindow {
  FakeWindow() {
    const std::pair<Logged*, const char*> named[] = {
        {&picture, ""},      {&chart1, "Chart1"},       {&chart2, "Chart2"},
        {&labMag, "labMag"}, {&labEnergy, "labEnergy"}, {&labTemp, "labTemp"}};
    for (const auto& [seam, name] : named) {
      seam->name = name;
      seam->log = &calls;
    }
  }
  FakeWindow(const FakeWindow&) = delete;
  FakeWindow& operator=(const FakeWindow&) = delete;

  CallLog calls;
  FakePicture picture;
  FakeChart chart1, chart2;
  FakeReadout labMag{"M ="}, labEnergy{"E ="}, labTemp{"T ="};
  FakeEdits edits;
  FakeTrackBar trackBar;
  FakeTimer timer;

  ControllerSeams Seams() {
    return {picture, chart1, chart2, labMag, labEnergy, labTemp, edits, trackBar, timer};
  }
};

inline void RunTicks(SimulationController& controller, int count) {
  for (int n = 0; n < count; ++n) controller.Timer1Timer();
}

// Runs a tick that is expected to fail and returns its message ("the tick did not fail" when
// it ran through).
inline std::string FailingTick(SimulationController& controller) {
  try {
    controller.Timer1Timer();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "the tick did not fail";
}

}  // namespace vellora::app::testing
