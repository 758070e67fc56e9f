// Extended precision and the checked narrowing to double.
#pragma once

#include <cmath>
#include <compare>
#include <concepts>
#include <cstdint>
#include <type_traits>

#include "base/errors.h"

namespace vellora {

// A real in the 80-bit extended format, computed in integer arithmetic so that every processor
// gives the same bits: a 64-bit significand with an explicit integer bit, a 15-bit exponent
// (bias 16383), gradual underflow down to 2^-16445, infinities and NaNs. Every operation
// rounds once to nearest, ties to even. Faults are not raised here: an invalid operation gives
// a NaN, a result beyond the range an infinity, and the callers check for them.
//
// Encodings the arithmetic refuses as operands (an integer bit clear with a non-zero exponent)
// behave as NaNs; an integer bit set with a zero exponent reads as the value it denotes.
class Extended {
 public:
  constexpr Extended() = default;
  // Exact: every double and every 64-bit integer has an extended value.
  Extended(double value);  // NOLINT(google-explicit-constructor)
  template <std::integral T>
  requires(!std::same_as<T, bool>) Extended(T value)  // NOLINT(google-explicit-constructor)
      : Extended(FromInteger(IsNegative(value), Magnitude(value))) {}

  // The ten bytes of the format: the significand, then sign (bit 15) and biased exponent.
  static constexpr Extended FromBits(std::uint64_t significand, std::uint16_t signExponent) {
    Extended result;
    result.significand_ = significand;
    result.signExponent_ = signExponent;
    return result;
  }
  constexpr std::uint64_t Significand() const { return significand_; }
  constexpr std::uint16_t SignExponent() const { return signExponent_; }
  constexpr std::uint16_t BiasedExponent() const { return signExponent_ & 0x7FFF; }
  constexpr bool SignBit() const { return (signExponent_ & 0x8000) != 0; }

  static constexpr Extended Infinity(bool negative = false) {
    return FromBits(std::uint64_t{1} << 63, negative ? 0xFFFF : 0x7FFF);
  }
  // The NaN an invalid operation gives.
  static constexpr Extended DefaultNan() { return FromBits(std::uint64_t{3} << 62, 0xFFFF); }

  bool IsNan() const;  // also the refused encodings
  bool IsInfinite() const;
  bool IsFinite() const { return !IsNan() && !IsInfinite(); }
  bool IsZero() const { return BiasedExponent() == 0 && significand_ == 0; }

  // Rounded to nearest double, ties to even; beyond the double range an infinity.
  double ToDouble() const;
  explicit operator double() const { return ToDouble(); }
  // The value truncated towards zero; the most negative integer when that is beyond the 64-bit
  // range or the value is not finite.
  std::int64_t TruncToInt64() const;

  // Integral values of the same sign (a zero keeps the sign).
  Extended Trunc() const;
  Extended Floor() const;
  Extended Ceil() const;
  Extended Nearest() const;  // a half going to the even neighbour
  Extended Abs() const { return FromBits(significand_, signExponent_ & 0x7FFF); }
  // value x 2^n, rounded once when the result is subnormal.
  Extended Scale(int n) const;

  Extended operator-() const { return FromBits(significand_, signExponent_ ^ 0x8000); }
  friend Extended operator+(const Extended& a, const Extended& b) { return Add(a, b, false); }
  friend Extended operator-(const Extended& a, const Extended& b) { return Add(a, b, true); }
  friend Extended operator*(const Extended& a, const Extended& b);
  friend Extended operator/(const Extended& a, const Extended& b);
  Extended& operator+=(const Extended& b) { return *this = *this + b; }
  Extended& operator-=(const Extended& b) { return *this = *this - b; }
  Extended& operator*=(const Extended& b) { return *this = *this * b; }
  Extended& operator/=(const Extended& b) { return *this = *this / b; }

  // Zeros of either sign are equal; a NaN is unordered with everything.
  friend std::partial_ordering operator<=>(const Extended& a, const Extended& b);
  friend bool operator==(const Extended& a, const Extended& b) {
    return (a <=> b) == std::partial_ordering::equivalent;
  }

  // Identical encodings (for tests and tables).
  constexpr bool SameBits(const Extended& other) const {
    return significand_ == other.significand_ && signExponent_ == other.signExponent_;
  }

 private:
  template <std::integral T>
  static constexpr bool IsNegative(T value) {
    if constexpr (std::is_signed_v<T>) return value < 0;
    return false;
  }
  template <std::integral T>
  static constexpr std::uint64_t Magnitude(T value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return IsNegative(value) ? 0 - bits : bits;
  }
  static Extended FromInteger(bool negative, std::uint64_t magnitude);
  static Extended Add(const Extended& a, const Extended& b, bool subtract);

  std::uint64_t significand_ = 0;
  std::uint16_t signExponent_ = 0;
};

// 2^f - 1 for |f| <= 1/2, correctly rounded (a zero is returned as it is).
Extended TwoToThePowerMinusOne(Extended f);

// Rounds an extended value to double (to nearest, ties to even). A finite value beyond the
// double range, or an infinity or NaN that slipped in, is a floating-point overflow rather
// than a silent infinity. Values below the double range become subnormal or zero.
inline double ToDoubleChecked(const Extended& value) {
  const double narrowed = value.ToDouble();
  if (!std::isfinite(narrowed)) throw EOverflow();
  return narrowed;
}

}  // namespace vellora
