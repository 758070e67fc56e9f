#include "numtext/parse.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/errors.h"
#include "numtext/number_format.h"
#include "numtext/power_of_ten.h"

namespace vellora::numtext {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Exponent digits are taken while the exponent read so far is below this bound, so the exponent
// never exceeds 4999 and the scale stays within the power tables.
constexpr int kExponentDigitBound = 500;
// A scale this far down gives zero without any arithmetic.
constexpr int kScaleOfZero = -5120;

}  // namespace

bool TryParseFloat(std::string_view text, long double& value) {
  const std::size_t end = std::min(text.find('\0'), text.size());
  const char decimalSeparator = ProcessNumberFormat().decimalSeparator;
  std::size_t p = 0;
  auto skipBlanks = [&] {
    while (p < end && text[p] == ' ') ++p;
  };

  skipBlanks();
  bool negative = false;
  if (p < end && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }

  // Every digit, integer and fraction alike, goes into one accumulator.
  long double accumulator = 0.0L;
  bool overflowed = false;
  long long fractionDigits = 0;
  const std::size_t mantissaStart = p;
  auto takeDigits = [&](bool fraction) {
    while (p < end && IsDigit(text[p])) {
      accumulator = accumulator * 10.0L + static_cast<long double>(text[p] - '0');
      if (std::isinf(accumulator)) overflowed = true;
      if (fraction) ++fractionDigits;
      ++p;
    }
  };
  takeDigits(false);
  if (p < end && text[p] == decimalSeparator) {
    ++p;
    takeDigits(true);
  }
  if (p == mantissaStart) return false;

  int exponent = 0;
  if (p < end && (text[p] == 'E' || text[p] == 'e')) {
    ++p;
    bool exponentNegative = false;
    if (p < end && (text[p] == '+' || text[p] == '-')) {
      exponentNegative = text[p] == '-';
      ++p;
    }
    while (p < end && IsDigit(text[p]) && exponent < kExponentDigitBound) {
      exponent = exponent * 10 + (text[p] - '0');
      ++p;
    }
    if (exponentNegative) exponent = -exponent;
  }

  skipBlanks();
  if (p != end) return false;

  const long long scale = exponent - fractionDigits;
  long double result = 0.0L;
  if (scale > kScaleOfZero) result = ScaleByPowerOfTen(accumulator, static_cast<int>(scale));
  if (negative) result = -result;
  // Beyond the extended range: the accumulator or the scaling overflowed.
  if (overflowed || !std::isfinite(result)) return false;
  value = result;
  return true;
}

long double ParseFloat(std::string_view text) {
  long double value = 0.0L;
  if (!TryParseFloat(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

}  // namespace vellora::numtext
