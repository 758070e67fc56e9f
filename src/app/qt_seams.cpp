#include "app/qt_seams.h"

#include "base/errors.h"

namespace vellora::app {

void LabelReadout::SetCaption(const std::string& caption) {
  label_.setText(QString::fromStdString(caption));
  label_.adjustSize();
}

std::string EditTexts::Text(sim::ParameterEdit edit) const {
  return edits_[static_cast<std::size_t>(edit)]->text().toStdString();
}

void EditTexts::SetText(sim::ParameterEdit edit, const std::string& text) {
  edits_[static_cast<std::size_t>(edit)]->setText(QString::fromStdString(text));
}

void QtRunTimer::SetEnabled(bool enabled) {
  if (enabled == timer_.isActive()) return;
  if (!enabled) {
    timer_.stop();
    return;
  }
  timer_.start();
  // The toolkit hands out positive timer ids; anything else means it had no timer to give.
  if (timer_.timerId() <= 0) {
    timer_.stop();
    throw EOutOfResources("Not enough timers available");
  }
}

}  // namespace vellora::app
