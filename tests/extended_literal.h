// Decimal literals as extended values for the tests, rounded to nearest 64-bit significand as
// a compiler rounds a literal: the digits (at most 19) form an exact integer and the power of
// ten (at most 10^27) is exact, so one multiplication or division gives the nearest value.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/extended.h"

namespace vellora::testing {

struct FarLiteral {
  std::string_view text;
  std::uint64_t significand;
  std::uint16_t signExponent;
};

// Literals beyond that reach, with the encodings a compiler gives them.
inline constexpr FarLiteral kFarLiterals[] = {
    {"1e-400", 0x95FE7E07C91EFAFAu, 0x3ACE},  {"1e-4900", 0xBBB4DF56BAF62972u, 0x0069},
    {"1e-4940", 0x0000000663278E62u, 0x0000}, {"1e300", 0xBF21E44003ACDD2Du, 0x43E3},
    {"1e309", 0xB201833B35D63F73u, 0x4401},   {"1e4000", 0xD1BA8323FE558C61u, 0x73E6},
    {"1e400", 0xDA763FC8CB9FF9E6u, 0x452F},   {"1e4930", 0x89B634E7456FFA1Du, 0x7FF8},
    {"1e4931", 0xAC23C22116CBF8A4u, 0x7FFB},  {"2.5e300", 0xEEEA5D5004981478u, 0x43E4},
    {"8e300", 0xBF21E44003ACDD2Du, 0x43E6},
};

inline Extended Lit(std::string_view text) {
  for (const FarLiteral& far : kFarLiterals) {
    if (far.text == text) return Extended::FromBits(far.significand, far.signExponent);
  }
  std::uint64_t digits = 0;
  int significant = 0;
  int exponent = 0;
  bool fraction = false;
  std::size_t p = 0;
  for (; p < text.size() && text[p] != 'e' && text[p] != 'E'; ++p) {
    if (text[p] == '.') {
      fraction = true;
      continue;
    }
    if (digits != 0 || text[p] != '0') ++significant;
    digits = digits * 10 + static_cast<std::uint64_t>(text[p] - '0');
    if (fraction) --exponent;
  }
  if (p < text.size()) {
    bool negative = false;
    ++p;
    if (text[p] == '+' || text[p] == '-') negative = text[p++] == '-';
    int e = 0;
    for (; p < text.size(); ++p) e = e * 10 + (text[p] - '0');
    exponent += negative ? -e : e;
  }
  if (significant > 19 || exponent > 27 || exponent < -27) {
    throw std::out_of_range("literal out of reach: " + std::string(text));
  }
  if (digits == 0) return Extended();
  std::uint64_t fives = 1;
  for (int i = 0; i < (exponent < 0 ? -exponent : exponent); ++i) fives *= 5;
  const Extended power = Extended(fives).Scale(exponent < 0 ? -exponent : exponent);
  return exponent < 0 ? Extended(digits) / power : Extended(digits) * power;
}

}  // namespace vellora::testing
