#pragma once

#include <string>
#include <string_view>

#include "base/extended.h"

namespace vellora::numtext {

// Fixed notation with at most `precision` significant digits (clamped to
// 2..18) and at most `digits` decimals; switches to the exponent form when
// the decimal exponent exceeds the precision.
std::string FloatToFixed(const Extended& value, int precision, int digits);

// Formats `value` by a picture pattern such as "#,##0.###" (up to three
// sections separated by ";"). Throws EConvertError "Format string too long"
// for a pattern over 224 characters.
std::string FloatToPattern(std::string_view pattern, const Extended& value);

}  // namespace vellora::numtext
