// Any value bits, precision and digits: the text is short, names non-finite values, and a
// finite value's text parses back to within the rounding of its digits.
#include <cmath>
#include <string>

#include "extended_literal.h"
#include "fuzz_input.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "numtext/parse.h"

using namespace vellora;
using vellora::testing::Lit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const Extended value = input.Extended();
  const int precision = static_cast<std::int8_t>(input.Byte());
  const int digits = static_cast<std::int8_t>(input.Byte());
  numtext::ProcessNumberFormat() = {'.', ','};

  const std::string text = numtext::FloatToFixed(value, precision, digits);
  if (text.size() > 64) fuzz::Fail("longer than the fixed buffer", text);
  if (!value.IsFinite()) {
    if (text != "NAN" && text != "INF" && text != "-INF") fuzz::Fail("non-finite text", text);
    return 0;
  }
  if (text == "NAN") return 0;  // an unnormal encoding: no number to compare with

  Extended parsed = 0;
  if (!numtext::TryParseFloat(text, parsed)) {
    // Rounded to a few digits, a value at the top of the range can round beyond it.
    if (value.Abs() > Lit("1e4930")) return 0;
    fuzz::Fail("the text does not parse back", text);
  }
  // Within half a unit of the last decimal shown, plus half a unit of the last significant digit.
  const int clampedPrecision = std::clamp(precision, 2, 18);
  const int shownDecimals = std::clamp(digits, 0, 18);
  const Extended magnitude = value.Abs();
  // More than 18 decimals are asked for but 18 are shown: the cut is made at the asked-for
  // place, so the shown digits are truncated rather than rounded.
  const Extended decimalSlack =
      (digits > 18 ? Extended(1) : Lit("0.5")) * Extended(std::pow(10.0, -shownDecimals));
  const Extended significantSlack =
      magnitude *
      Extended(std::pow(10.0, 1 - clampedPrecision));  // generous: one unit in the last place
  if (digits >= 0 && (parsed - value).Abs() > decimalSlack + significantSlack + Lit("1e-4900")) {
    fuzz::Fail("parses back too far from the value", text);
  }
  return 0;
}
