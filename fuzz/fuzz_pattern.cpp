// Any pattern (up to and beyond the length limit) and any value bits: a pattern over 224
// characters is refused with "Format string too long"; otherwise text comes out, and under the
// program's own patterns a finite value's text parses back within the rounding of three decimals.
#include <algorithm>
#include <cmath>
#include <string>

#include "base/errors.h"
#include "extended_literal.h"
#include "fuzz_input.h"
#include "numtext/format.h"
#include "numtext/number_format.h"
#include "numtext/parse.h"

using namespace vellora;

namespace {

using vellora::testing::Lit;

void CheckProgramPattern(const char* pattern, Extended value) {
  const std::string text = numtext::FloatToPattern(pattern, value);
  if (!value.IsFinite()) return;
  std::string plain = text;
  plain.erase(std::remove(plain.begin(), plain.end(), ','), plain.end());
  Extended parsed = 0;
  if (!numtext::TryParseFloat(plain, parsed))
    fuzz::Fail("program pattern output does not parse", text);
  // Three decimals below 10^18; above that the general form with 15 significant digits.
  const Extended slack = std::max(Lit("0.0005001"), value.Abs() * Lit("1e-14"));
  if ((parsed - value).Abs() > slack) fuzz::Fail("program pattern output too far off", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const Extended value = input.Extended();
  const std::uint8_t separators = input.Byte();
  const std::string pattern(input.Rest());
  numtext::ProcessNumberFormat() = {'.', (separators & 1) ? ',' : '\0'};

  try {
    const std::string text = numtext::FloatToPattern(pattern, value);
    if (pattern.size() > 224) fuzz::Fail("an over-long pattern was accepted", pattern);
    // Every output character comes from the pattern, a digit, a sign or a separator. One
    // placeholder may stand for all the integer digits of the value, up to about 4,950 of them
    // (and a third as many separators) when a zero-section fallback meets a huge exponent.
    if (text.size() > 32 * (pattern.size() + 1) + 6600)
      fuzz::Fail("output out of all proportion", pattern);
  } catch (const EConvertError& e) {
    if (pattern.size() <= 224 || e.Message() != "Format string too long") {
      fuzz::Fail("unexpected conversion error", pattern);
    }
  }
  numtext::ProcessNumberFormat() = {'.', ','};
  CheckProgramPattern("#,##0.###", value);
  CheckProgramPattern("#,##0.0##", value);
  return 0;
}
