#include "base/extended.h"

#include <bit>
#include <cstring>

namespace vellora {
namespace {

__extension__ typedef unsigned __int128 U128;

constexpr int kBias = 16383;
constexpr std::uint16_t kMaxBiased = 0x7FFF;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
// A finite value is significand x 2^e; with the biased exponent b, e = b - kBias - 63 for
// normal encodings and e = kSubnormalExponent when b is 0.
constexpr int kSubnormalExponent = 1 - kBias - 63;
// Exponents beyond these bounds give an infinity or zero in any case; clamping keeps the sums of
// exponents within int.
constexpr int kExponentClamp = 1 << 20;

enum class Kind { kZero, kFinite, kInfinite, kNan };

struct Unpacked {
  Kind kind = Kind::kZero;
  bool negative = false;
  std::uint64_t significand = 0;  // kFinite: not zero, normalised (bit 63 set)
  int exponent = 0;               // kFinite: value = significand x 2^exponent
};

Unpacked Unpack(const Extended& x) {
  Unpacked u;
  u.negative = x.SignBit();
  const std::uint16_t biased = x.BiasedExponent();
  const std::uint64_t significand = x.Significand();
  if (biased == kMaxBiased) {
    u.kind = significand == kIntegerBit ? Kind::kInfinite : Kind::kNan;
    return u;
  }
  if (biased == 0) {
    if (significand == 0) return u;
    const int shift = std::countl_zero(significand);
    u.kind = Kind::kFinite;
    u.significand = significand << shift;
    u.exponent = kSubnormalExponent - shift;
    return u;
  }
  if ((significand & kIntegerBit) == 0) {
    u.kind = Kind::kNan;
    return u;
  }
  u.kind = Kind::kFinite;
  u.significand = significand;
  u.exponent = biased - kBias - 63;
  return u;
}

constexpr std::uint16_t SignField(bool negative) {
  return negative ? 0x8000 : 0;
}

Extended Zero(bool negative) {
  return Extended::FromBits(0, SignField(negative));
}

int CountLeadingZeros(U128 m) {
  const auto high = static_cast<std::uint64_t>(m >> 64);
  return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(m));
}

// m >> shift, any bit shifted out or-ed into the lowest bit ("round to odd"), for shift >= 0.
U128 ShiftRightJam(U128 m, int shift) {
  if (shift == 0) return m;
  if (shift >= 128) return m != 0 ? 1 : 0;
  const U128 lost = m & ((U128{1} << shift) - 1);
  return (m >> shift) | (lost != 0 ? 1 : 0);
}

// Rounds m x 2^e to the format, to nearest with ties to even. m may carry the inexactness of an
// earlier step as its lowest bit: the result is correct when m holds at least 66 bits.
Extended Round(bool negative, U128 m, int e) {
  if (m == 0) return Zero(negative);
  if (e > kExponentClamp) e = kExponentClamp;
  if (e < -kExponentClamp) e = -kExponentClamp;
  const int shift = CountLeadingZeros(m);
  m <<= shift;
  e -= shift;
  // The significand is now m's top 64 bits, worth 2^(e + 64) each.
  int biased = e + 64 + kBias + 63;
  if (biased >= kMaxBiased) return Extended::Infinity(negative);
  bool subnormal = false;
  if (biased <= 0) {
    m = ShiftRightJam(m, 1 - biased);
    biased = 0;
    subnormal = true;
  }
  std::uint64_t significand = static_cast<std::uint64_t>(m >> 64);
  const auto rest = static_cast<std::uint64_t>(m);
  if (rest > kIntegerBit || (rest == kIntegerBit && (significand & 1) != 0)) {
    ++significand;
    if (significand == 0) {
      significand = kIntegerBit;
      if (++biased >= kMaxBiased) return Extended::Infinity(negative);
    }
  }
  if (subnormal && (significand & kIntegerBit) != 0) biased = 1;
  return Extended::FromBits(significand, static_cast<std::uint16_t>(SignField(negative) | biased));
}

Extended Pack(const Unpacked& u) {
  return Round(u.negative, u.significand, u.exponent);
}

// Rounds significand / 2^shift (shift >= 1) to an integer, ties to even.
std::uint64_t RoundShiftRight(std::uint64_t significand, int shift) {
  if (shift > 64) return 0;
  const std::uint64_t kept = shift == 64 ? 0 : significand >> shift;
  const std::uint64_t rest =
      shift == 64 ? significand : significand & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  return kept + ((rest > half || (rest == half && (kept & 1) != 0)) ? 1 : 0);
}

enum class IntegerRounding { kTrunc, kFloor, kCeil, kNearest };

Extended RoundToIntegral(const Extended& x, IntegerRounding mode) {
  const Unpacked u = Unpack(x);
  if (u.kind == Kind::kNan) return Extended::DefaultNan();
  if (u.kind != Kind::kFinite || u.exponent >= 0) return u.kind == Kind::kFinite ? Pack(u) : x;
  // value = significand x 2^exponent with exponent < 0: split off the fraction.
  const int fractionBits = -u.exponent;
  std::uint64_t whole = 0;
  std::uint64_t fraction = u.significand;
  if (fractionBits < 64) {
    whole = u.significand >> fractionBits;
    fraction = u.significand & ((std::uint64_t{1} << fractionBits) - 1);
  }
  bool up = false;
  if (fraction != 0) {
    switch (mode) {
      case IntegerRounding::kTrunc:
        break;
      case IntegerRounding::kFloor:
        up = u.negative;
        break;
      case IntegerRounding::kCeil:
        up = !u.negative;
        break;
      case IntegerRounding::kNearest:
        if (fractionBits > 64) break;  // below one half
        {
          const std::uint64_t half = std::uint64_t{1} << (fractionBits - 1);
          up = fraction > half || (fraction == half && (whole & 1) != 0);
        }
        break;
    }
  }
  return Round(u.negative, U128{whole + (up ? 1 : 0)}, 0);
}

}  // namespace

Extended::Extended(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0x7FF) {
    *this = FromBits(kIntegerBit | (fraction << 11), SignField(negative) | kMaxBiased);
  } else if (biased == 0) {
    *this = Round(negative, fraction, -1074);
  } else {
    *this = FromBits(kIntegerBit | (fraction << 11),
                     static_cast<std::uint16_t>(SignField(negative) | (biased - 1023 + kBias)));
  }
}

Extended Extended::FromInteger(bool negative, std::uint64_t magnitude) {
  return Round(negative, magnitude, 0);
}

bool Extended::IsNan() const {
  return Unpack(*this).kind == Kind::kNan;
}

bool Extended::IsInfinite() const {
  return BiasedExponent() == kMaxBiased && significand_ == kIntegerBit;
}

double Extended::ToDouble() const {
  const Unpacked u = Unpack(*this);
  std::uint64_t bits = std::uint64_t{u.negative} << 63;
  switch (u.kind) {
    case Kind::kZero:
      break;
    case Kind::kNan:
      bits = 0x7FF8000000000000u | bits;
      break;
    case Kind::kInfinite:
      bits |= 0x7FF0000000000000u;
      break;
    case Kind::kFinite: {
      // The top bit is worth 2^top; a double keeps 53 bits down to 2^-1074.
      int top = u.exponent + 63;
      if (top > 1023) {
        bits |= 0x7FF0000000000000u;
        break;
      }
      const int shift = top >= -1022 ? 11 : 11 + (-1022 - top);
      std::uint64_t kept = RoundShiftRight(u.significand, shift);
      if (top >= -1022) {
        if (kept == std::uint64_t{1} << 53) {
          kept >>= 1;
          ++top;
        }
        if (top > 1023) {
          bits |= 0x7FF0000000000000u;
          break;
        }
        bits |= (static_cast<std::uint64_t>(top + 1023) << 52) |
                (kept & ((std::uint64_t{1} << 52) - 1));
      } else {
        // A subnormal, or the smallest normal when the rounding carried into bit 52.
        bits |= kept;
      }
      break;
    }
  }
  double result = 0;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

std::int64_t Extended::TruncToInt64() const {
  // Out of range, like the processors' conversion: the most negative integer.
  constexpr auto kIndefinite = static_cast<std::int64_t>(std::uint64_t{1} << 63);
  const Unpacked u = Unpack(*this);
  if (u.kind == Kind::kZero) return 0;
  if (u.kind != Kind::kFinite || u.exponent >= 0) return kIndefinite;
  if (u.exponent <= -64) return 0;
  const std::uint64_t magnitude = u.significand >> -u.exponent;
  return u.negative ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}

Extended Extended::Trunc() const {
  return RoundToIntegral(*this, IntegerRounding::kTrunc);
}
Extended Extended::Floor() const {
  return RoundToIntegral(*this, IntegerRounding::kFloor);
}
Extended Extended::Ceil() const {
  return RoundToIntegral(*this, IntegerRounding::kCeil);
}
Extended Extended::Nearest() const {
  return RoundToIntegral(*this, IntegerRounding::kNearest);
}

Extended Extended::Scale(int n) const {
  const Unpacked u = Unpack(*this);
  if (u.kind == Kind::kNan) return DefaultNan();
  if (u.kind != Kind::kFinite) return *this;
  if (n > kExponentClamp) n = kExponentClamp;
  if (n < -kExponentClamp) n = -kExponentClamp;
  return Round(u.negative, U128{u.significand} << 64, u.exponent - 64 + n);
}

Extended Extended::Add(const Extended& a, const Extended& b, bool subtract) {
  Unpacked x = Unpack(a);
  Unpacked y = Unpack(b);
  if (subtract) y.negative = !y.negative;
  if (x.kind == Kind::kNan || y.kind == Kind::kNan) return DefaultNan();
  if (x.kind == Kind::kInfinite || y.kind == Kind::kInfinite) {
    if (x.kind == Kind::kInfinite && y.kind == Kind::kInfinite && x.negative != y.negative) {
      return DefaultNan();
    }
    return Infinity(x.kind == Kind::kInfinite ? x.negative : y.negative);
  }
  if (y.kind == Kind::kZero) {
    if (x.kind == Kind::kZero) return Zero(x.negative && y.negative);
    return Pack(x);
  }
  if (x.kind == Kind::kZero) return Pack(y);

  // x gets the larger magnitude.
  if (y.exponent > x.exponent || (y.exponent == x.exponent && y.significand > x.significand)) {
    const Unpacked t = x;
    x = y;
    y = t;
  }
  const U128 larger = U128{x.significand} << 62;
  const U128 smaller = U128{y.significand} << 62;
  const int distance = x.exponent - y.exponent;
  U128 shifted = 0;
  unsigned sticky = 0;
  if (distance >= 128) {
    sticky = 1;
  } else {
    shifted = smaller >> distance;
    sticky = distance > 0 && (smaller & ((U128{1} << distance) - 1)) != 0 ? 1 : 0;
  }
  // Both branches round the exact result to odd at this width, which a later rounding to 64
  // bits does not disturb.
  U128 m = 0;
  if (x.negative == y.negative) {
    m = (larger + shifted) | sticky;
  } else {
    m = (larger - shifted - sticky) | sticky;
    if (m == 0) return Zero(false);
  }
  return Round(x.negative, m, x.exponent - 62);
}

Extended operator*(const Extended& a, const Extended& b) {
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  const bool negative = x.negative != y.negative;
  if (x.kind == Kind::kNan || y.kind == Kind::kNan) return Extended::DefaultNan();
  if (x.kind == Kind::kInfinite || y.kind == Kind::kInfinite) {
    if (x.kind == Kind::kZero || y.kind == Kind::kZero) return Extended::DefaultNan();
    return Extended::Infinity(negative);
  }
  if (x.kind == Kind::kZero || y.kind == Kind::kZero) return Zero(negative);
  return Round(negative, U128{x.significand} * y.significand, x.exponent + y.exponent);
}

Extended operator/(const Extended& a, const Extended& b) {
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  const bool negative = x.negative != y.negative;
  if (x.kind == Kind::kNan || y.kind == Kind::kNan) return Extended::DefaultNan();
  if (x.kind == Kind::kInfinite) {
    if (y.kind == Kind::kInfinite) return Extended::DefaultNan();
    return Extended::Infinity(negative);
  }
  if (y.kind == Kind::kInfinite) return Zero(negative);
  if (y.kind == Kind::kZero) {
    if (x.kind == Kind::kZero) return Extended::DefaultNan();
    return Extended::Infinity(negative);
  }
  if (x.kind == Kind::kZero) return Zero(negative);
  // Two 64-bit quotient digits and the remainder as the sticky bit; the first digit has 63 or 64
  // bits, so the quotient holds at least 127.
  const U128 first = (U128{x.significand} << 63) / y.significand;
  const auto remainder = static_cast<std::uint64_t>((U128{x.significand} << 63) % y.significand);
  const U128 second = (U128{remainder} << 64) / y.significand;
  const bool inexact = (U128{remainder} << 64) % y.significand != 0;
  const U128 m = (first << 64) | second | (inexact ? 1 : 0);
  return Round(negative, m, x.exponent - y.exponent - 63 - 64);
}

std::partial_ordering operator<=>(const Extended& a, const Extended& b) {
  const Unpacked x = Unpack(a);
  const Unpacked y = Unpack(b);
  if (x.kind == Kind::kNan || y.kind == Kind::kNan) return std::partial_ordering::unordered;
  if (x.kind == Kind::kZero && y.kind == Kind::kZero) return std::partial_ordering::equivalent;
  // Order by sign, then by magnitude (zero < finite < infinite), flipped for negatives.
  auto rank = [](const Unpacked& u) { return static_cast<int>(u.kind); };
  const bool xNegative = x.kind != Kind::kZero && x.negative;
  const bool yNegative = y.kind != Kind::kZero && y.negative;
  if (xNegative != yNegative) {
    return xNegative ? std::partial_ordering::less : std::partial_ordering::greater;
  }
  std::strong_ordering magnitude = rank(x) <=> rank(y);
  if (std::is_eq(magnitude) && x.kind == Kind::kFinite) {
    magnitude = x.exponent <=> y.exponent;
    if (std::is_eq(magnitude)) magnitude = x.significand <=> y.significand;
  }
  // Of two negative values the one of larger magnitude is the smaller.
  if (xNegative && std::is_lt(magnitude)) return std::partial_ordering::greater;
  if (xNegative && std::is_gt(magnitude)) return std::partial_ordering::less;
  return magnitude;
}

// ---- 2^f - 1 -------------------------------------------------------------------------------
//
// 2^f - 1 = f ln2 g(x) with x = f ln2 and g(x) = (e^x - 1) / x = 1 + x q(x),
// q(x) = sum over n >= 0 of x^n / (n + 2)!. With f = m x 2^k (m the 64-bit significand), the
// result is m x C x 2^k where C = ln2 (1 + x q) lies in (0.5, 0.9): C needs only an absolute
// error bound, which gives the result a relative one however small f is. C is computed in
// fixed point with n 64-bit fraction words; when the result lies too close to a rounding
// boundary for that bound, it is computed again with more words.
namespace {

// Numbers of n words, the most significant first: as a fraction, w[i] is worth 2^(-64 (i + 1)).
constexpr int kMaxWords = 16;

// w /= d.
void DivideSmall(std::uint64_t* w, int n, std::uint64_t d) {
  U128 remainder = 0;
  for (int i = 0; i < n; ++i) {
    const U128 current = (remainder << 64) | w[i];
    w[i] = static_cast<std::uint64_t>(current / d);
    remainder = current % d;
  }
}

// a += b (no carry out of the top word).
void AddWords(std::uint64_t* a, const std::uint64_t* b, int n) {
  unsigned carry = 0;
  for (int i = n - 1; i >= 0; --i) {
    const U128 sum = U128{a[i]} + b[i] + carry;
    a[i] = static_cast<std::uint64_t>(sum);
    carry = static_cast<unsigned>(sum >> 64);
  }
}

// a -= b (a >= b).
void SubtractWords(std::uint64_t* a, const std::uint64_t* b, int n) {
  unsigned borrow = 0;
  for (int i = n - 1; i >= 0; --i) {
    const std::uint64_t before = a[i];
    a[i] = before - b[i] - borrow;
    borrow = (before < b[i] || (before == b[i] && borrow != 0)) ? 1 : 0;
  }
}

// out = a x b truncated to n fraction words (error below one unit of the last word).
template <int n>
void MultiplyWords(std::uint64_t* out, const std::uint64_t* a, const std::uint64_t* b) {
  // The full product of 2n words, the most significant first.
  std::uint64_t product[2 * n] = {};
  for (int i = n - 1; i >= 0; --i) {
    std::uint64_t carry = 0;
    for (int j = n - 1; j >= 0; --j) {
      const U128 t = U128{a[i]} * b[j] + product[i + j + 1] + carry;
      product[i + j + 1] = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
    product[i] = carry;
  }
  // product[0] is the most significant word of a 2n-word fraction.
  for (int i = 0; i < n; ++i) out[i] = product[i];
}

// out (n + 1 words, an integer part then n fraction words) = m x a.
void MultiplyByWord(std::uint64_t* out, std::uint64_t m, const std::uint64_t* a, int n) {
  std::uint64_t carry = 0;
  for (int i = n - 1; i >= 0; --i) {
    const U128 t = U128{a[i]} * m + carry;
    out[i + 1] = static_cast<std::uint64_t>(t);
    carry = static_cast<std::uint64_t>(t >> 64);
  }
  out[0] = carry;
}

struct PowerConstants {
  int words = 0;
  int terms = 0;
  std::uint64_t ln2[kMaxWords + 1] = {};
  // 1 / (j + 2)! for j < terms.
  std::uint64_t coefficients[200][kMaxWords + 1] = {};
};

// The constants to n words, computed with one guard word and truncated.
void ComputeConstants(PowerConstants& c, int n) {
  c.words = n;
  const int guarded = n + 1;
  // ln 2 = 2 atanh(1/3) = sum over j of (2/3) / (9^j (2j + 1)).
  std::uint64_t power[kMaxWords + 2] = {};
  std::uint64_t term[kMaxWords + 2] = {};
  std::uint64_t sum[kMaxWords + 2] = {};
  power[0] = 2;
  DivideSmall(power, guarded + 1, 3);  // a leading integer word keeps the shifts simple
  for (std::uint64_t j = 0;; ++j) {
    bool zero = true;
    for (int i = 0; i <= guarded; ++i) zero = zero && power[i] == 0;
    if (zero) break;
    for (int i = 0; i <= guarded; ++i) term[i] = power[i];
    DivideSmall(term, guarded + 1, 2 * j + 1);
    AddWords(sum, term, guarded + 1);
    DivideSmall(power, guarded + 1, 9);
  }
  for (int i = 0; i < n; ++i) c.ln2[i] = sum[i + 1];

  // Enough terms that |x|^j / (j + 2)! with |x| < 0.35 falls below 2^-(64n + 8).
  double bound = 0.5;
  double target = 1;
  for (int i = 0; i < n; ++i) target *= 0x1p-64;
  target *= 0x1p-8;
  std::uint64_t coefficient[kMaxWords + 2] = {};
  coefficient[0] = 1;
  DivideSmall(coefficient, guarded + 1, 2);
  int j = 0;
  for (; bound >= target && j < 200; ++j) {
    for (int i = 0; i < n; ++i) c.coefficients[j][i] = coefficient[i + 1];
    DivideSmall(coefficient, guarded + 1, static_cast<std::uint64_t>(j) + 3);
    bound *= 0.35 / (j + 3);
  }
  c.terms = j;
}

PowerConstants MakeConstants(int n) {
  PowerConstants c;
  ComputeConstants(c, n);
  return c;
}

// Three precisions: the first settles all but the rarest cases.
const PowerConstants& Constants(int level) {
  if (level == 0) {
    static const PowerConstants first = MakeConstants(2);
    return first;
  }
  if (level == 1) {
    static const PowerConstants second = MakeConstants(4);
    return second;
  }
  static const PowerConstants third = MakeConstants(kMaxWords);
  return third;
}

// The 64 bits of w (count words, most significant first) from bit `position` on, counted
// from the top; bits past the end read as zeros.
std::uint64_t BitsFrom(const std::uint64_t* w, int count, int position) {
  const int word = position / 64;
  const int offset = position % 64;
  const std::uint64_t first = word < count ? w[word] : 0;
  if (offset == 0) return first;
  const std::uint64_t second = word + 1 < count ? w[word + 1] : 0;
  return (first << offset) | (second >> (64 - offset));
}

// Rounds the integer in w (count words, most significant first) times 2^e.
Extended RoundWords(bool negative, const std::uint64_t* w, int count, int e) {
  int first = 0;
  while (first < count && w[first] == 0) ++first;
  if (first == count) return Zero(negative);
  // 128 bits from the leading one, the rest folded into the lowest bit.
  const int top = 64 * first + std::countl_zero(w[first]);
  U128 m = (U128{BitsFrom(w, count, top)} << 64) | BitsFrom(w, count, top + 64);
  const int rest = top + 128;
  bool sticky = false;
  if (rest < 64 * count) {
    const int word = rest / 64;
    const int offset = rest % 64;
    sticky = offset != 0 && (w[word] << offset) != 0;
    for (int i = offset == 0 ? word : word + 1; i < count; ++i) sticky = sticky || w[i] != 0;
  }
  if (sticky) m |= 1;
  return Round(negative, m, e + 64 * count - 128 - top);
}

// One attempt with n words; false when the result is too close to a rounding boundary to
// be decided at this precision.
template <int n>
bool TryPowerMinusOne(const PowerConstants& c, bool negative, std::uint64_t m, int k,
                      Extended& result) {
  // x = |f| ln2 = m ln2 2^k, truncated to n fraction words.
  std::uint64_t scaled[n + 1];
  MultiplyByWord(scaled, m, c.ln2, n);
  std::uint64_t x[n];
  const int shift = -k - 64;  // scaled's integer word lands at fraction word shift / 64
  const int wordShift = shift / 64;
  const int bitShift = shift % 64;
  for (int i = 0; i < n; ++i) {
    // Fraction word i of x comes from scaled words i - wordShift and the one before it.
    const int source = i - wordShift;
    std::uint64_t word = 0;
    if (source >= 0 && source <= n) word = scaled[source] >> bitShift;
    if (bitShift != 0 && source >= 1 && source <= n + 1) {
      word |= scaled[source - 1] << (64 - bitShift);
    }
    x[i] = word;
  }
  // q = sum of x^j / (j + 2)! by Horner's rule; every partial sum stays positive.
  std::uint64_t q[n];
  std::uint64_t t[n];
  for (int i = 0; i < n; ++i) q[i] = c.coefficients[c.terms - 1][i];
  for (int j = c.terms - 2; j >= 0; --j) {
    MultiplyWords<n>(t, x, q);
    for (int i = 0; i < n; ++i) q[i] = c.coefficients[j][i];
    if (negative) {
      SubtractWords(q, t, n);
    } else {
      AddWords(q, t, n);
    }
  }
  // C = ln2 (1 + x q) = ln2 +- ln2 |x| q.
  MultiplyWords<n>(t, x, q);
  std::uint64_t correction[n];
  MultiplyWords<n>(correction, c.ln2, t);
  std::uint64_t constant[n];
  for (int i = 0; i < n; ++i) constant[i] = c.ln2[i];
  if (negative) {
    SubtractWords(constant, correction, n);
  } else {
    AddWords(constant, correction, n);
  }
  // The result is m C 2^k = P 2^(k - 64n) with P = m C as an integer of n + 1 words; C is
  // within 2^8 units of its last word, so P within 2^72 units.
  std::uint64_t p[n + 1];
  MultiplyByWord(p, m, constant, n);
  std::uint64_t low[n + 1];
  std::uint64_t high[n + 1];
  std::uint64_t margin[n + 1] = {};
  for (int i = 0; i <= n; ++i) {
    low[i] = p[i];
    high[i] = p[i];
  }
  margin[n - 1] = 1u << 8;  // 2^72
  SubtractWords(low, margin, n + 1);
  AddWords(high, margin, n + 1);
  const int e = k - 64 * n;
  const Extended lower = RoundWords(negative, low, n + 1, e);
  const Extended upper = RoundWords(negative, high, n + 1, e);
  result = RoundWords(negative, p, n + 1, e);
  return lower.SameBits(upper);
}

}  // namespace

Extended TwoToThePowerMinusOne(Extended f) {
  const Unpacked u = Unpack(f);
  if (u.kind == Kind::kNan) return Extended::DefaultNan();
  if (u.kind != Kind::kFinite) return f;
  // |f| <= 1/2, so f = m x 2^k with k <= -64.
  Extended result;
  if (TryPowerMinusOne<2>(Constants(0), u.negative, u.significand, u.exponent, result)) {
    return result;
  }
  if (TryPowerMinusOne<4>(Constants(1), u.negative, u.significand, u.exponent, result)) {
    return result;
  }
  TryPowerMinusOne<kMaxWords>(Constants(2), u.negative, u.significand, u.exponent, result);
  return result;
}

}  // namespace vellora
