#include "numtext/parse.h"

#include <algorithm>
#include <cstdint>
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
constexpr std::uint64_t kMaxExact = ~std::uint64_t{0};

}  // namespace

bool TryParseFloat(std::string_view text, Extended& value) {
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

  // Every digit, integer and fraction alike, goes into one accumulator: x 10, then + digit,
  // each step rounded to the 64-bit significand. While the value fits in 64 bits every step is
  // exact, so it is kept as an integer until then.
  std::uint64_t exact = 0;
  bool large = false;
  Extended accumulator;
  bool overflowed = false;
  long long fractionDigits = 0;
  const std::size_t mantissaStart = p;
  auto takeDigits = [&](bool fraction) {
    while (p < end && IsDigit(text[p])) {
      const auto digit = static_cast<unsigned>(text[p] - '0');
      if (!large && exact <= (kMaxExact - digit) / 10) {
        exact = exact * 10 + digit;
      } else {
        if (!large) accumulator = exact;
        large = true;
        accumulator = accumulator * 10 + digit;
        if (accumulator.IsInfinite()) overflowed = true;
      }
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

  if (!large) accumulator = exact;
  const long long scale = exponent - fractionDigits;
  Extended result;
  if (scale > kScaleOfZero) result = ScaleByPowerOfTen(accumulator, static_cast<int>(scale));
  if (negative) result = -result;
  // Beyond the extended range: the accumulator or the scaling overflowed.
  if (overflowed || !result.IsFinite()) return false;
  value = result;
  return true;
}

Extended ParseFloat(std::string_view text) {
  Extended value;
  if (!TryParseFloat(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

}  // namespace vellora::numtext
