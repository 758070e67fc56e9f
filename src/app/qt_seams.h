// The run loop's seams bound to the real controls of the main window (the charts are bound
// through TChartSink of app/chart_sink.h).
#pragma once

#include <QLabel>
#include <QTimer>
#include <array>

#include "app/controls.h"
#include "app/lattice_image.h"
#include "app/seams.h"

namespace vellora::app {

class ImagePictureSink : public PictureSink {
 public:
  explicit ImagePictureSink(LatticeImage& image) : image_(image) {}
  void btnDrawClick(const sim::SpinLattice& lattice) override { image_.Draw(lattice); }

 private:
  LatticeImage& image_;
};

// A read-out label that sizes itself to its caption, growing to the right.
class LabelReadout : public ReadoutSink {
 public:
  explicit LabelReadout(QLabel& label) : label_(label) {}
  void SetCaption(const std::string& caption) override;

 private:
  QLabel& label_;
};

class EditTexts : public ParameterEdits {
 public:
  // The edits of T, h, J1 and J2, in the order of sim::ParameterEdit.
  explicit EditTexts(const std::array<QLineEdit*, 4>& edits) : edits_(edits) {}
  std::string Text(sim::ParameterEdit edit) const override;
  void SetText(sim::ParameterEdit edit, const std::string& text) override;

 private:
  std::array<QLineEdit*, 4> edits_;
};

class TrackBarPosition : public TrackBarSource {
 public:
  explicit TrackBarPosition(const TrackBar& trackBar) : trackBar_(trackBar) {}
  int Position() const override { return trackBar_.Position(); }

 private:
  const TrackBar& trackBar_;
};

// The run timer: enabling an enabled timer leaves its period running; a real change stops it
// and, when it is to run, starts a fresh period.
class QtRunTimer : public RunTimer {
 public:
  explicit QtRunTimer(QTimer& timer) : timer_(timer) {}
  // Raises EOutOfResources ("Not enough timers available") when the toolkit could not start it.
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.timerId() > 0; }

 private:
  QTimer& timer_;
};

}  // namespace vellora::app
