#include "sim/parameters.h"

#include "base/errors.h"
#include "base/extended.h"
#include "numtext/parse.h"

namespace vellora::sim {

void ReadParameters(ModelParameters& parameters, const ParameterTexts& texts) {
  auto read = [&texts](ParameterEdit edit) {
    try {
      return ToDoubleChecked(numtext::ParseFloat(texts.Text(edit)));
    } catch (Exception& error) {
      // The window names the edit to a listener; the message stays as it is.
      error.SetInput(static_cast<int>(edit));
      throw;
    }
  };
  parameters.T = read(ParameterEdit::Edit1);
  parameters.h = read(ParameterEdit::Edit2);
  parameters.J1 = read(ParameterEdit::Edit3);
  parameters.J2 = read(ParameterEdit::edJ2);
}

}  // namespace vellora::sim
