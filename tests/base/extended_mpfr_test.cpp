// The extended type against MPFR: precision 64, the 80-bit exponent range and subnormals
// emulated after every operation. VELLORA_MPFR_SCALE multiplies the number of operands (the
// default keeps the run to a few seconds).
// <cstdint> first: MPFR declares its intmax_t functions only when it is there.
#include <cstdint>
// clang-format off
#include <gtest/gtest.h>
#include <mpfr.h>
// clang-format on

#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "base/extended.h"

namespace vellora {
namespace {

// 2^-16445 = 0.5 x 2^-16444 is the smallest subnormal; every finite value is below
// 2^16384 = 0.5 x 2^16385.
constexpr mpfr_exp_t kEmin = -16444;
constexpr mpfr_exp_t kEmax = 16384;

long Scale() {
  const char* text = std::getenv("VELLORA_MPFR_SCALE");
  const long scale = text != nullptr ? std::atol(text) : 1;
  return scale > 0 ? scale : 1;
}

class Mpfr {
 public:
  explicit Mpfr(mpfr_prec_t precision = 64) { mpfr_init2(value, precision); }
  ~Mpfr() { mpfr_clear(value); }
  Mpfr(const Mpfr&) = delete;
  Mpfr& operator=(const Mpfr&) = delete;
  mpfr_t value;
};

// Exact: every extended value has 64 significant bits at most and lies within the range set.
void ToMpfr(mpfr_t out, const Extended& x) {
  const std::uint16_t biased = x.BiasedExponent();
  if (biased == 0x7FFF) {
    if (x.Significand() == std::uint64_t{1} << 63) {
      mpfr_set_inf(out, x.SignBit() ? -1 : 1);
    } else {
      mpfr_set_nan(out);
    }
    return;
  }
  const long exponent = (biased == 0 ? 1 : biased) - 16383 - 63;
  static_assert(sizeof(unsigned long) == 8);
  mpfr_set_ui_2exp(out, x.Significand(), exponent, MPFR_RNDN);
  if (x.SignBit()) mpfr_neg(out, out, MPFR_RNDN);
}

// The encoding of a value MPFR holds at precision 64 within the range (after subnormalize).
Extended FromMpfr(const mpfr_t x) {
  const bool negative = mpfr_signbit(x) != 0;
  const std::uint16_t sign = negative ? 0x8000 : 0;
  if (mpfr_nan_p(x)) return Extended::DefaultNan();
  if (mpfr_inf_p(x)) return Extended::Infinity(negative);
  if (mpfr_zero_p(x)) return Extended::FromBits(0, sign);
  const mpfr_exp_t e = mpfr_get_exp(x);  // x = 0.1... x 2^e
  Mpfr scaled(64);
  mpfr_mul_2si(scaled.value, x, 64 - e, MPFR_RNDN);
  mpfr_abs(scaled.value, scaled.value, MPFR_RNDN);
  std::uint64_t significand = mpfr_get_ui(scaled.value, MPFR_RNDN);
  long biased = e - 1 + 16383;
  if (biased <= 0) {
    significand >>= 1 - biased;
    biased = 0;
  }
  return Extended::FromBits(significand, static_cast<std::uint16_t>(sign | biased));
}

// Rounds a result MPFR computed at precision 64 (ternary value `t`) to the 80-bit format.
Extended Finish(mpfr_t r, int t) {
  t = mpfr_check_range(r, t, MPFR_RNDN);
  mpfr_subnormalize(r, t, MPFR_RNDN);
  return FromMpfr(r);
}

std::string Show(const Extended& x) {
  char text[64];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.SignExponent(),
                static_cast<unsigned long long>(x.Significand()));
  return text;
}

bool SameResult(const Extended& a, const Extended& b) {
  return (a.IsNan() && b.IsNan()) || a.SameBits(b);
}

// Operands: every class of encoding with its edges, and pairs close in exponent so that sums
// cancel and roundings meet halfway cases.
class Operands {
 public:
  explicit Operands(std::uint64_t seed) : random_(seed) {}

  std::uint64_t Bits() { return random_(); }

  std::uint64_t Significand() {
    switch (random_() % 8) {
      case 0:
        return std::uint64_t{1} << 63;  // a power of two
      case 1:
        return ~std::uint64_t{0};  // all ones
      case 2:
        return (std::uint64_t{1} << 63) | 1;  // the lowest bit
      case 3:
        // Few significant bits: exact products, ties and carries.
        return (random_() | (std::uint64_t{1} << 63)) &
               ~((std::uint64_t{1} << (random_() % 64)) - 1);
      default:
        return random_() | (std::uint64_t{1} << 63);
    }
  }

  std::uint16_t BiasedExponent() {
    switch (random_() % 8) {
      case 0:
        return static_cast<std::uint16_t>(random_() % 3);  // subnormal, smallest normals
      case 1:
        return static_cast<std::uint16_t>(32766 - random_() % 3);  // the top of the range
      case 2:
        return static_cast<std::uint16_t>(16383 - 70 + random_() % 140);  // around 1
      default:
        return static_cast<std::uint16_t>(1 + random_() % 32766);
    }
  }

  Extended Any() {
    const auto sign = static_cast<std::uint16_t>((random_() & 1) << 15);
    const unsigned kind = random_() % 64;
    if (kind == 0) return Extended::FromBits(0, sign);
    if (kind == 1) return Extended::Infinity(sign != 0);
    if (kind == 2) return Extended::DefaultNan();
    const std::uint16_t biased = BiasedExponent();
    std::uint64_t significand = Significand();
    if (biased == 0) significand >>= 1 + random_() % 63;
    return Extended::FromBits(significand, static_cast<std::uint16_t>(sign | biased));
  }

  // A second operand within a few binades of the first (when that is finite and normal).
  Extended Near(const Extended& a) {
    const int biased = a.BiasedExponent();
    if (biased == 0 || biased == 0x7FFF || random_() % 4 == 0) return Any();
    int e = biased + static_cast<int>(random_() % 140) - 70;
    if (e < 1) e = 1;
    if (e > 32766) e = 32766;
    const auto sign = static_cast<std::uint16_t>((random_() & 1) << 15);
    return Extended::FromBits(Significand(), static_cast<std::uint16_t>(sign | e));
  }

  // |f| <= 1/2, most of them tiny or subnormal in part.
  Extended SmallFraction() {
    const auto sign = static_cast<std::uint16_t>((random_() & 1) << 15);
    std::uint64_t significand = Significand();
    int biased = 0;
    switch (random_() % 6) {
      case 0:
        biased = 16382 - static_cast<int>(random_() % 4);
        break;
      case 1:
        biased = 16382 - static_cast<int>(random_() % 80);
        break;
      case 2:
        biased = static_cast<int>(random_() % 16383);
        break;
      case 3:
        biased = static_cast<int>(random_() % 3);
        break;
      default:
        biased = 16382 - static_cast<int>(random_() % 200);
        break;
    }
    if (biased == 16382) significand = std::uint64_t{1} << 63;  // only 1/2 itself
    if (biased == 0) significand >>= 1 + random_() % 63;
    return Extended::FromBits(significand, static_cast<std::uint16_t>(sign | biased));
  }

 private:
  std::mt19937_64 random_;
};

class ExtendedAgainstMpfr : public ::testing::Test {
 protected:
  void SetUp() override {
    savedEmin_ = mpfr_get_emin();
    savedEmax_ = mpfr_get_emax();
    mpfr_set_emin(kEmin);
    mpfr_set_emax(kEmax);
  }
  void TearDown() override {
    mpfr_set_emin(savedEmin_);
    mpfr_set_emax(savedEmax_);
    std::printf("[ compared ] %ld results\n", compared_);
  }

  long compared_ = 0;

 private:
  mpfr_exp_t savedEmin_ = 0;
  mpfr_exp_t savedEmax_ = 0;
};

TEST_F(ExtendedAgainstMpfr, ArithmeticRoundsOnceToNearestEven) {
  Operands operands(1);
  Mpfr x;
  Mpfr y;
  Mpfr r;
  const long count = 250'000 * Scale();
  long failures = 0;
  for (long n = 0; n < count && failures < 10; ++n) {
    const Extended a = operands.Any();
    const Extended b = operands.Near(a);
    // An integer bit clear is a refused encoding: only NaN in, NaN out is checked for those.
    ToMpfr(x.value, a);
    ToMpfr(y.value, b);
    const Extended sum = Finish(r.value, mpfr_add(r.value, x.value, y.value, MPFR_RNDN));
    const Extended difference = Finish(r.value, mpfr_sub(r.value, x.value, y.value, MPFR_RNDN));
    const Extended product = Finish(r.value, mpfr_mul(r.value, x.value, y.value, MPFR_RNDN));
    const Extended quotient = Finish(r.value, mpfr_div(r.value, x.value, y.value, MPFR_RNDN));
    const struct {
      const char* name;
      Extended got;
      Extended expected;
    } results[] = {
        {"+", a + b, sum},
        {"-", a - b, difference},
        {"x", a * b, product},
        {"/", a / b, quotient},
    };
    for (const auto& c : results) {
      ++compared_;
      if (!SameResult(c.got, c.expected)) {
        ++failures;
        ADD_FAILURE() << Show(a) << " " << c.name << " " << Show(b) << " = " << Show(c.got)
                      << ", expected " << Show(c.expected);
      }
    }
    // Comparisons: NaN unordered, zeros equal.
    const bool unordered = mpfr_unordered_p(x.value, y.value) != 0;
    const int order = unordered ? 0 : mpfr_cmp(x.value, y.value);
    ++compared_;
    if ((a < b) != (!unordered && order < 0) || (a == b) != (!unordered && order == 0) ||
        (a > b) != (!unordered && order > 0)) {
      ++failures;
      ADD_FAILURE() << Show(a) << " <=> " << Show(b);
    }
  }
}

TEST_F(ExtendedAgainstMpfr, ConversionsAndIntegerRounding) {
  Operands operands(2);
  Mpfr x;
  Mpfr r;
  Mpfr wide(200);
  const long count = 150'000 * Scale();
  long failures = 0;
  auto check = [&](bool ok, const std::string& what) {
    ++compared_;
    if (!ok) {
      ++failures;
      ADD_FAILURE() << what;
    }
  };
  for (long n = 0; n < count && failures < 10; ++n) {
    const Extended a = operands.Any();
    ToMpfr(x.value, a);
    // To double: MPFR's conversion rounds to nearest even, subnormals included.
    const double narrowed = mpfr_get_d(x.value, MPFR_RNDN);
    const double got = a.ToDouble();
    check(std::bit_cast<std::uint64_t>(narrowed) == std::bit_cast<std::uint64_t>(got) ||
              (narrowed != narrowed && got != got),
          "ToDouble " + Show(a));

    // From double and from 64-bit integers: exact.
    std::uint64_t doubleBits = operands.Bits();
    double d = 0;
    std::memcpy(&d, &doubleBits, sizeof d);
    mpfr_set_d(r.value, d, MPFR_RNDN);
    check(SameResult(Extended(d), FromMpfr(r.value)), "from double " + std::to_string(d));
    const auto integer = static_cast<std::int64_t>(operands.Bits() >> (operands.Bits() % 64));
    const std::int64_t signedInteger = (operands.Bits() & 1) != 0 ? -integer : integer;
    mpfr_set_sj(r.value, signedInteger, MPFR_RNDN);
    check(Extended(signedInteger).SameBits(FromMpfr(r.value)),
          "from " + std::to_string(signedInteger));
    const std::uint64_t unsignedInteger = operands.Bits() >> (operands.Bits() % 64);
    mpfr_set_uj(r.value, unsignedInteger, MPFR_RNDN);
    check(Extended(unsignedInteger).SameBits(FromMpfr(r.value)),
          "from " + std::to_string(unsignedInteger));

    // Integral values (exact in MPFR, no rounding to the format needed).
    if (!a.IsNan()) {
      mpfr_trunc(r.value, x.value);
      check(a.Trunc().SameBits(FromMpfr(r.value)), "Trunc " + Show(a));
      mpfr_floor(r.value, x.value);
      check(a.Floor().SameBits(FromMpfr(r.value)), "Floor " + Show(a));
      mpfr_ceil(r.value, x.value);
      check(a.Ceil().SameBits(FromMpfr(r.value)), "Ceil " + Show(a));
      mpfr_rint(r.value, x.value, MPFR_RNDN);
      check(a.Nearest().SameBits(FromMpfr(r.value)), "Nearest " + Show(a));
      if (a.IsFinite() && a.Abs() < Extended(1).Scale(63)) {
        check(a.TruncToInt64() == mpfr_get_sj(x.value, MPFR_RNDZ), "TruncToInt64 " + Show(a));
      }
    }

    // Scaling: exact unless the result leaves the range or becomes subnormal.
    const int power = static_cast<int>(operands.Bits() % 2 == 0 ? operands.Bits() % 200
                                                                : operands.Bits() % 66000) -
                      (operands.Bits() % 2 == 0 ? 100 : 33000);
    mpfr_set(wide.value, x.value, MPFR_RNDN);
    const mpfr_exp_t emin = mpfr_get_emin();
    const mpfr_exp_t emax = mpfr_get_emax();
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    mpfr_mul_2si(wide.value, wide.value, power, MPFR_RNDN);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    const Extended scaled = Finish(r.value, mpfr_set(r.value, wide.value, MPFR_RNDN));
    check(SameResult(a.Scale(power), scaled), "Scale " + Show(a) + " by " + std::to_string(power));
  }
}

// 2^f - 1 = expm1(f ln2), worked out with enough bits that one rounding to the format is the
// correct one (the precision grows until MPFR can tell).
Extended PowerMinusOne(const mpfr_t f) {
  if (mpfr_zero_p(f)) return FromMpfr(f);
  const mpfr_exp_t emin = mpfr_get_emin();
  const mpfr_exp_t emax = mpfr_get_emax();
  Extended result;
  for (mpfr_prec_t precision = 192;; precision *= 2) {
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    Mpfr t(precision);
    mpfr_const_log2(t.value, MPFR_RNDN);
    mpfr_mul(t.value, t.value, f, MPFR_RNDN);
    mpfr_expm1(t.value, t.value, MPFR_RNDN);
    // Three roundings of relative error 2^-precision each.
    const bool decided = mpfr_can_round(t.value, precision - 3, MPFR_RNDN, MPFR_RNDZ, 64 + 1);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    if (decided || precision > 4000) {
      Mpfr r(64);
      result = Finish(r.value, mpfr_set(r.value, t.value, MPFR_RNDN));
      break;
    }
  }
  return result;
}

TEST_F(ExtendedAgainstMpfr, TwoToThePowerMinusOneIsCorrectlyRounded) {
  Operands operands(3);
  Mpfr x;
  const long count = 60'000 * Scale();
  long failures = 0;
  // The ends of the domain first.
  const Extended ends[] = {
      Extended(0.5),
      Extended(-0.5),
      Extended::FromBits(1, 0),
      Extended::FromBits(1, 0x8000),
      Extended::FromBits(~std::uint64_t{0} >> 1, 0),
      Extended::FromBits(std::uint64_t{1} << 63, 1),
      Extended(0x1p-64),
      Extended(-0x1p-64),
      Extended(0x1p-65),
      Extended(0x1p-200),
  };
  for (long n = 0; n < count && failures < 10; ++n) {
    const Extended f = n < static_cast<long>(std::size(ends)) ? ends[n] : operands.SmallFraction();
    ToMpfr(x.value, f);
    const Extended expected = PowerMinusOne(x.value);
    const Extended got = TwoToThePowerMinusOne(f);
    ++compared_;
    if (!got.SameBits(expected)) {
      ++failures;
      ADD_FAILURE() << "2^" << Show(f) << " - 1 = " << Show(got) << ", expected " << Show(expected);
    }
  }
}

}  // namespace
}  // namespace vellora
