// Reading the model parameters from the texts of the control panel's edits.
#pragma once

#include <string>

#include "sim/simulation_state.h"

namespace vellora::sim {

// The four parameter edits, by their control names: T, h, J1 and J2.
enum class ParameterEdit { Edit1, Edit2, Edit3, edJ2 };

// Gives the current text of a parameter edit; the window (or a test) stands behind it.
class ParameterTexts {
 public:
  virtual ~ParameterTexts() = default;
  virtual std::string Text(ParameterEdit edit) const = 0;
};

// Parses T, h, J1 and J2 in that order, storing each as soon as it is parsed. A text that is
// not a number raises EConvertError, a value beyond the double range EOverflow; the parameters
// stored before keep their new values. The error's Input() is the failing ParameterEdit.
void ReadParameters(ModelParameters& parameters, const ParameterTexts& texts);

}  // namespace vellora::sim
