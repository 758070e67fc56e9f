// Any value bits, precision and digits: the text is short, names non-finite values, and a
// finite value's text parses back to within the rounding of its digits.
#include <cmath>
#include <string>

#include "fuzz_input.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "numtext/parse.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const long double value = input.Extended();
  const int precision = static_cast<std::int8_t>(input.Byte());
  const int digits = static_cast<std::int8_t>(input.Byte());
  numtext::ProcessNumberFormat() = {'.', ','};

  const std::string text = numtext::FloatToFixed(value, precision, digits);
  if (text.size() > 64) fuzz::Fail("longer than the fixed buffer", text);
  if (std::isnan(value) || std::isinf(value)) {
    if (text != "NAN" && text != "INF" && text != "-INF") fuzz::Fail("non-finite text", text);
    return 0;
  }
  if (text == "NAN") return 0;  // an unnormal encoding: no number to compare with

  long double parsed = 0;
  if (!numtext::TryParseFloat(text, parsed)) {
    // Rounded to a few digits, a value at the top of the range can round beyond it.
    if (std::fabs(value) > 1e4930L) return 0;
    fuzz::Fail("the text does not parse back", text);
  }
  // Within half a unit of the last decimal shown, plus half a unit of the last significant digit.
  const int clampedPrecision = std::clamp(precision, 2, 18);
  const int shownDecimals = std::clamp(digits, 0, 18);
  const long double magnitude = std::fabs(value);
  // More than 18 decimals are asked for but 18 are shown: the cut is made at the asked-for
  // place, so the shown digits are truncated rather than rounded.
  const long double decimalSlack = (digits > 18 ? 1.0L : 0.5L) * std::pow(10.0L, -shownDecimals);
  const long double significantSlack =
      magnitude * std::pow(10.0L, 1 - clampedPrecision);  // generous: one unit in the last place
  if (digits >= 0 && std::fabs(parsed - value) > decimalSlack + significantSlack + 1e-4900L) {
    fuzz::Fail("parses back too far from the value", text);
  }
  return 0;
}
