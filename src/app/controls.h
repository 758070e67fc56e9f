// The two controls whose events the program needs in a form the toolkit does not give directly:
// the temperature track bar, which reports every scroll notification (also those that leave the
// position as it was), and the parameter edit, which reports the focus entering it by the user.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QSlider>
#include <functional>
#include <vector>

namespace vellora::app {

// A vertical slider with its minimum at the top, drawn as a classic track bar: a plain sunken
// groove (no fill up to the thumb), a thumb kThumbLength pixels long, and tick marks on its right
// every tick interval counted from the minimum and at both ends. Keys: Up and Left, Down and
// Right move by the single step, Page Up and Page Down by the page step, Home and End to the ends.
// `onChange` runs after the position was refreshed for each line or page step, each movement during
// a drag, each wheel step and the release of the thumb, whether or not the position changed.
class TrackBar : public QSlider {
 public:
  static constexpr int kThumbLength = 12;

  explicit TrackBar(QWidget* parent = nullptr);

  // The positions that carry a tick mark: the minimum, every tick interval after it, the maximum.
  std::vector<int> TickPositions() const;

  // The position, also the one a notification in progress has just set.
  int Position() const { return sliderPosition(); }

  // Moves the thumb to the position (clamped to the range) as a drag does, with the one
  // notification a drag gives, also when the position stays.
  void MoveAsUser(int position);

  std::function<void()> onChange;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Notify();
};

// A single-line edit that calls `onEnter` each time the input focus moves into it by mouse, Tab
// or Shift+Tab; not when the window regains activation with the edit still focused, and not
// when the program sets the text or the focus.
class ParameterEdit : public QLineEdit {
 public:
  explicit ParameterEdit(QWidget* parent = nullptr);

  std::function<void()> onEnter;

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

// A group box drawn as an etched frame whose top line runs through the middle of the caption,
// the caption at the top left; children are placed from the box's top-left corner.
class GroupBox : public QGroupBox {
 public:
  explicit GroupBox(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vellora::app
