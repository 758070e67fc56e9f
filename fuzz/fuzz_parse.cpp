// Any bytes, read with either decimal separator: a parse yields a finite value or fails with
// the conversion message quoting the text exactly; both entry points agree.
#include <cmath>
#include <string>

#include "base/errors.h"
#include "fuzz_input.h"
#include "numtext/number_format.h"
#include "numtext/parse.h"

using namespace vellora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  numtext::ProcessNumberFormat().decimalSeparator = (input.Byte() & 1) ? ',' : '.';
  const std::string text(input.Rest());

  Extended tried = Extended(12345);
  const bool accepted = numtext::TryParseFloat(text, tried);
  if (!accepted && tried != Extended(12345)) fuzz::Fail("a failed parse wrote the value", text);
  if (accepted && !tried.IsFinite()) fuzz::Fail("a parse yielded a non-finite value", text);
  try {
    const Extended value = numtext::ParseFloat(text);
    if (!accepted) fuzz::Fail("ParseFloat accepted what TryParseFloat refused", text);
    if (std::memcmp(&value, &tried, 10) != 0) fuzz::Fail("the two parses differ", text);
  } catch (const EConvertError& e) {
    if (accepted) fuzz::Fail("ParseFloat refused what TryParseFloat accepted", text);
    if (e.Message() != "'" + text + "' is not a valid floating point value") {
      fuzz::Fail("wrong conversion message", text);
    }
  }
  return 0;
}
