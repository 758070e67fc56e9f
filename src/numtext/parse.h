// Reading a number from the text of a parameter edit.
#pragma once

#include <string_view>

#include "base/extended.h"

namespace vellora::numtext {

// Accepts: blanks (spaces only), an optional sign, digits with at most one decimal separator
// (the one of ProcessNumberFormat()) and at least one digit or separator, an optional exponent
// ("E" or "e", optional sign, digits), blanks. Returns false, leaving `value` alone, for any
// other text and for a value beyond the extended range. The text is read up to an embedded NUL.
bool TryParseFloat(std::string_view text, Extended& value);

// TryParseFloat, raising EConvertError "'<text>' is not a valid floating point value" on failure.
Extended ParseFloat(std::string_view text);

}  // namespace vellora::numtext
