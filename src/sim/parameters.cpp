#include "sim/parameters.h"

#include "base/extended.h"
#include "numtext/parse.h"

namespace vellora::sim {

void ReadParameters(ModelParameters& parameters, const ParameterTexts& texts) {
  auto read = [&texts](ParameterEdit edit) {
    return ToDoubleChecked(numtext::ParseFloat(texts.Text(edit)));
  };
  parameters.T = read(ParameterEdit::Edit1);
  parameters.h = read(ParameterEdit::Edit2);
  parameters.J1 = read(ParameterEdit::Edit3);
  parameters.J2 = read(ParameterEdit::edJ2);
}

}  // namespace vellora::sim
