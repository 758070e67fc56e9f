#include "numtext/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/errors.h"
#include "extended_literal.h"
#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

using vellora::testing::Lit;

// Sets the process-wide separators for one test and puts the old ones back afterwards.
class ScopedSeparators {
 public:
  ScopedSeparators(char decimal, char thousand) : saved_(ProcessNumberFormat()) {
    ProcessNumberFormat() = NumberFormat{decimal, thousand};
  }
  ~ScopedSeparators() { ProcessNumberFormat() = saved_; }
  ScopedSeparators(const ScopedSeparators&) = delete;
  ScopedSeparators& operator=(const ScopedSeparators&) = delete;

 private:
  NumberFormat saved_;
};

struct FixedCase {
  Extended value;
  int precision;
  int digits;
  const char* expected;
};

TEST(FloatToFixed, WritesTheReadOutTexts) {
  ScopedSeparators separators('.', ',');
  const FixedCase cases[] = {
      {Lit("0.5"), 8, 2, "0.50"},
      {-Extended(1), 8, 2, "-1.00"},
      {Extended(10), 8, 2, "10.00"},
      {Lit("0.125"), 8, 2, "0.13"},  // a tie on the decimal form goes away from zero
      {-Lit("0.005"), 8, 2, "-0.01"},
      {-Lit("0.004"), 8, 2, "0.00"},  // rounds to zero: no sign
      {Extended(0), 8, 2, "0.00"},
      {-Extended(0), 8, 2, "0.00"},
      {Lit("1234567.891"), 8, 2, "1234567.90"},
      {Lit("12345678.9"), 8, 2, "12345679.00"},
      {Lit("99999999.996"), 8, 2, "1E08"},
      {-Extended(4123456789LL), 8, 2, "-4.1234568E09"},
      // Track bar positions / 100.
      {50 / Extended(100), 8, 2, "0.50"},
      {55 / Extended(100), 8, 2, "0.55"},
      {1000 / Extended(100), 8, 2, "10.00"},
      // A rounding that carries out of the first digit, and decimals past the digits.
      {Lit("9.996"), 8, 2, "10.00"},
      {Lit("0.0625"), 8, 3, "0.063"},
      {Lit("1.0e-7"), 8, 2, "0.00"},
      {Lit("0.015"), 8, 2, "0.02"},
      // Precision clamped to 2..18; digits counted as at most 18.
      {Lit("123.456"), 0, 2, "1.2E02"},
      {Lit("123.456"), 30, 1, "123.5"},
      {Extended(1), 8, 0, "1"},
      {Extended(2) / Extended(3), 18, 40, "0.666666666666666667"},
      // The exponent form pads to the digits when they are 0 to 4.
      {Extended(123456), 3, 4, "1.23E0005"},
      {Extended(123456), 3, 5, "1.23E5"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FloatToFixed(c.value, c.precision, c.digits), c.expected)
        << static_cast<double>(c.value) << " precision " << c.precision << " digits " << c.digits;
  }
}

TEST(FloatToFixed, WritesNonFiniteValuesAsWords) {
  const Extended inf = Extended::Infinity();
  EXPECT_EQ(FloatToFixed(inf, 8, 2), "INF");
  EXPECT_EQ(FloatToFixed(-inf, 8, 2), "-INF");
  EXPECT_EQ(FloatToFixed(Extended::FromBits(0xC000000000000000, 0x7FFF), 8, 2), "NAN");
}

TEST(FloatToFixed, UsesTheProcessDecimalSeparator) {
  {
    ScopedSeparators separators(',', '.');
    EXPECT_EQ(FloatToFixed(-Lit("1234.5"), 8, 2), "-1234,50");
    EXPECT_EQ(FloatToFixed(-Extended(4123456789LL), 8, 2), "-4,1234568E09");
  }
  ScopedSeparators separators('\0', ',');
  EXPECT_EQ(FloatToFixed(Lit("1.25"), 8, 2), "125");
}

struct PatternCase {
  const char* pattern;
  Extended value;
  const char* expected;
};

void ExpectPatterns(const PatternCase* begin, const PatternCase* end) {
  for (const PatternCase* c = begin; c != end; ++c) {
    EXPECT_EQ(FloatToPattern(c->pattern, c->value), c->expected)
        << "pattern \"" << c->pattern << "\" value " << static_cast<double>(c->value);
  }
}

TEST(FloatToPattern, WritesTheAxisLabels) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"#,##0.###", Extended(0), "0"},
      {"#,##0.###", -Extended(0), "0"},
      {"#,##0.###", Extended(1), "1"},
      {"#,##0.###", -Lit("2.5"), "-2.5"},
      {"#,##0.###", Lit("0.25"), "0.25"},
      {"#,##0.###", Lit("0.05"), "0.05"},
      {"#,##0.###", Lit("1234.5678"), "1,234.568"},
      {"#,##0.###", Extended(1234567), "1,234,567"},
      {"#,##0.###", Lit("0.0004"), "0.000"},  // the zero left by the cut fills the decimals
      {"#,##0.###", -Lit("0.0004"), "0.000"},
      {"#,##0.###", Lit("0.00004"), "0"},
      {"#,##0.###", Lit("1e19"), "1E19"},
      {"#,##0.###", Extended(999999999999999999LL), "999,999,999,999,999,999"},
      {"#,##0.###", -Extended(1000000), "-1,000,000"},
      {"#,##0.0##", Extended(0), "0.0"},
      {"#,##0.0##", Extended(1), "1.0"},
      {"#,##0.0##", Lit("1.5"), "1.5"},
      {"#,##0.0##", -Extended(4), "-4.0"},
      {"#,##0.0##", Extended(1000), "1,000.0"},
      {"#,##0.0##", Extended(1234567), "1,234,567.0"},
      {"#,##0.0##", -Lit("1.9996"), "-2.0"},
      // The empty pattern, and an empty first section, use the general form.
      {"", Lit("1.5"), "1.5"},
      {"", Lit("0.00001"), "1E-5"},
      {"", Lit("0.0001"), "0.0001"},
      {"", Extended(123456789012345678LL), "1.23456789012346E17"},
      {";0", -Extended(2), "-2"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, ChoosesSectionsBySignAndZero) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.00;(0.00);'nil'", Lit("1.5"), "1.50"},
      {"0.00;(0.00);'nil'", -Lit("1.5"), "(1.50)"},  // its own section: no automatic sign
      {"0.00;(0.00);'nil'", Extended(0), "nil"},
      {"0.00;(0.00);'nil'", -Extended(0), "nil"},  // no digits: the zero section, whatever the sign
      {"0.00;(0.00);'nil'", -Lit("0.001"), "nil"},  // rounds to zero: the zero section
      {"0.00;(0.00);'nil'", Lit("0.001"), "nil"},
      {"0.00;(0.00)", Extended(0), "0.00"},   // zero falls back to the first
      {"0.00;;'nil'", -Lit("1.5"), "-1.50"},  // empty second section: the first, signed
      {"0.00;", -Lit("1.5"), "-1.50"},
      {"'a;b'0;x0", Extended(3), "a;b3"},  // a quoted ";" does not split
      {"\"0#.\"0", Extended(7), "0#.7"},   // quoted placeholders are text
      {"0 'kg'", Extended(12), "12 kg"},
      {"'unterminated", Extended(1), "unterminated"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, FollowsThePlaceholderRule) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.000", Lit("9.9996"), "10.000"},  // the rounding adds an integer digit
      {"0.000", Extended(0), "0.000"},
      {"#.##", Extended(0), ""},
      {"#.##", Lit("0.5"), ".5"},
      {"000", Extended(7), "007"},
      {"0", Extended(12345), "12345"},
      {"0", Lit("2.5"), "3"},  // half away from zero on the decimal form
      {"0", -Lit("2.5"), "-3"},
      {"#,###", Extended(1234567), "1,234,567"},
      {"0.0", Lit("0.04"), "0.0"},
      {"0.0", -Lit("0.04"), "0.0"},
      {"x0y", Extended(5), "x5y"},
      {"0e0", Extended(5), "0e5"},  // "e" without a sign is text between two placeholders
      {"#,##0.###", Lit("0.9995"), "1"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, WritesExponentForms) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.00E+00", Extended(1234), "1.23E+03"},        {"0.00E+00", Lit("0.001234"), "1.23E-03"},
      {"0.00E-00", Extended(1234), "1.23E03"},         {"0.00E-0", Lit("0.001234"), "1.23E-3"},
      {"0.00e+0000000", Extended(1234), "1.23e+0003"},  // at most four exponent digits of padding
      {"0.00E+00", Extended(0), "0.00E+00"},           {"0.00E+00", -Lit("9.999"), "-1.00E+01"},
      {"##0.0E+0", Extended(12345), "123.5E+2"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, UsesTheProcessSeparators) {
  {
    ScopedSeparators separators(',', '.');
    const PatternCase cases[] = {
        {"#,##0.###", Lit("1234.5678"), "1.234,568"},
        {"#,##0.###", Extended(1000), "1.000"},
        {"#,##0.###", Lit("1.5"), "1,5"},
        {"#,##0.0##", Extended(1234567), "1.234.567,0"},
        {"", Lit("1.5"), "1,5"},
    };
    ExpectPatterns(std::begin(cases), std::end(cases));
  }
  ScopedSeparators separators('.', '\0');
  EXPECT_EQ(FloatToPattern("#,##0.###", Extended(1234567)), "1234567");
  EXPECT_EQ(FloatToPattern("#,##0.0##", Lit("1234.5")), "1234.5");
}

TEST(FloatToPattern, WritesNonFiniteValuesInTheGeneralForm) {
  const Extended inf = Extended::Infinity();
  EXPECT_EQ(FloatToPattern("#,##0.###", inf), "INF");
  EXPECT_EQ(FloatToPattern("0;(0)", -inf), "-INF");
  EXPECT_EQ(FloatToPattern("#,##0.###", Extended::FromBits(0xC000000000000000, 0x7FFF)), "NAN");
}

TEST(FloatToPattern, RefusesPatternsOverTheLimit) {
  EXPECT_EQ(FloatToPattern(std::string(224, '0'), Extended(1)),
            std::string(224, '0').replace(223, 1, "1"));
  try {
    FloatToPattern(std::string(225, '#'), Extended(1));
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "Format string too long");
  }
}

// Output longer than the working buffer is still written in full.
TEST(FloatToPattern, WritesLongOutputInFull) {
  const std::string literal(200, 'x');
  const std::string pattern = "'" + literal + "'" + std::string(20, '0');
  EXPECT_EQ(FloatToPattern(pattern, Extended(5)), literal + std::string(19, '0') + "5");
}

// Found by fuzzing: a negative value whose own section is scientific without placeholders
// rounds to a zero that keeps its exponent; the first section then stands in and writes every
// integer position of that exponent, far more than the working buffer holds.
TEST(FloatToPattern, ZeroSectionFallbackWithAHugeExponentIsWrittenInFull) {
  ScopedSeparators separators('.', ',');
  EXPECT_EQ(FloatToPattern("00;E+0", -Lit("2.5e300")), std::string(301, '0'));
  const std::string grouped = FloatToPattern("#,##0;E+0", -Lit("2.5e300"));
  EXPECT_EQ(grouped.size(), 401u);
  EXPECT_EQ(grouped.substr(grouped.size() - 8), ",000,000");
}

}  // namespace
}  // namespace vellora::numtext
