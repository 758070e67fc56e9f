#include "numtext/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/errors.h"
#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

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
  long double value;
  int precision;
  int digits;
  const char* expected;
};

TEST(FloatToFixed, WritesTheReadOutTexts) {
  ScopedSeparators separators('.', ',');
  const FixedCase cases[] = {
      {0.5L, 8, 2, "0.50"},
      {-1.0L, 8, 2, "-1.00"},
      {10.0L, 8, 2, "10.00"},
      {0.125L, 8, 2, "0.13"},  // a tie on the decimal form goes away from zero
      {-0.005L, 8, 2, "-0.01"},
      {-0.004L, 8, 2, "0.00"},  // rounds to zero: no sign
      {0.0L, 8, 2, "0.00"},
      {-0.0L, 8, 2, "0.00"},
      {1234567.891L, 8, 2, "1234567.90"},
      {12345678.9L, 8, 2, "12345679.00"},
      {99999999.996L, 8, 2, "1E08"},
      {-4123456789.0L, 8, 2, "-4.1234568E09"},
      // Track bar positions / 100.
      {50 / 100.0L, 8, 2, "0.50"},
      {55 / 100.0L, 8, 2, "0.55"},
      {1000 / 100.0L, 8, 2, "10.00"},
      // A rounding that carries out of the first digit, and decimals past the digits.
      {9.996L, 8, 2, "10.00"},
      {0.0625L, 8, 3, "0.063"},
      {1.0e-7L, 8, 2, "0.00"},
      {0.015L, 8, 2, "0.02"},
      // Precision clamped to 2..18; digits counted as at most 18.
      {123.456L, 0, 2, "1.2E02"},
      {123.456L, 30, 1, "123.5"},
      {1.0L, 8, 0, "1"},
      {2.0L / 3.0L, 18, 40, "0.666666666666666667"},
      // The exponent form pads to the digits when they are 0 to 4.
      {123456.0L, 3, 4, "1.23E0005"},
      {123456.0L, 3, 5, "1.23E5"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FloatToFixed(c.value, c.precision, c.digits), c.expected)
        << static_cast<double>(c.value) << " precision " << c.precision << " digits " << c.digits;
  }
}

TEST(FloatToFixed, WritesNonFiniteValuesAsWords) {
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(FloatToFixed(inf, 8, 2), "INF");
  EXPECT_EQ(FloatToFixed(-inf, 8, 2), "-INF");
  EXPECT_EQ(FloatToFixed(std::numeric_limits<long double>::quiet_NaN(), 8, 2), "NAN");
}

TEST(FloatToFixed, UsesTheProcessDecimalSeparator) {
  {
    ScopedSeparators separators(',', '.');
    EXPECT_EQ(FloatToFixed(-1234.5L, 8, 2), "-1234,50");
    EXPECT_EQ(FloatToFixed(-4123456789.0L, 8, 2), "-4,1234568E09");
  }
  ScopedSeparators separators('\0', ',');
  EXPECT_EQ(FloatToFixed(1.25L, 8, 2), "125");
}

struct PatternCase {
  const char* pattern;
  long double value;
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
      {"#,##0.###", 0.0L, "0"},
      {"#,##0.###", -0.0L, "0"},
      {"#,##0.###", 1.0L, "1"},
      {"#,##0.###", -2.5L, "-2.5"},
      {"#,##0.###", 0.25L, "0.25"},
      {"#,##0.###", 0.05L, "0.05"},
      {"#,##0.###", 1234.5678L, "1,234.568"},
      {"#,##0.###", 1234567.0L, "1,234,567"},
      {"#,##0.###", 0.0004L, "0.000"},  // the zero left by the cut fills the decimals
      {"#,##0.###", -0.0004L, "0.000"},
      {"#,##0.###", 0.00004L, "0"},
      {"#,##0.###", 1e19L, "1E19"},
      {"#,##0.###", 999999999999999999.0L, "999,999,999,999,999,999"},
      {"#,##0.###", -1000000.0L, "-1,000,000"},
      {"#,##0.0##", 0.0L, "0.0"},
      {"#,##0.0##", 1.0L, "1.0"},
      {"#,##0.0##", 1.5L, "1.5"},
      {"#,##0.0##", -4.0L, "-4.0"},
      {"#,##0.0##", 1000.0L, "1,000.0"},
      {"#,##0.0##", 1234567.0L, "1,234,567.0"},
      {"#,##0.0##", -1.9996L, "-2.0"},
      // The empty pattern, and an empty first section, use the general form.
      {"", 1.5L, "1.5"},
      {"", 0.00001L, "1E-5"},
      {"", 0.0001L, "0.0001"},
      {"", 123456789012345678.0L, "1.23456789012346E17"},
      {";0", -2.0L, "-2"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, ChoosesSectionsBySignAndZero) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.00;(0.00);'nil'", 1.5L, "1.50"},
      {"0.00;(0.00);'nil'", -1.5L, "(1.50)"},  // its own section: no automatic sign
      {"0.00;(0.00);'nil'", 0.0L, "nil"},
      {"0.00;(0.00);'nil'", -0.0L, "nil"},    // no digits: the zero section, whatever the sign
      {"0.00;(0.00);'nil'", -0.001L, "nil"},  // rounds to zero: the zero section
      {"0.00;(0.00);'nil'", 0.001L, "nil"},
      {"0.00;(0.00)", 0.0L, "0.00"},    // zero falls back to the first
      {"0.00;;'nil'", -1.5L, "-1.50"},  // empty second section: the first, signed
      {"0.00;", -1.5L, "-1.50"},
      {"'a;b'0;x0", 3.0L, "a;b3"},  // a quoted ";" does not split
      {"\"0#.\"0", 7.0L, "0#.7"},   // quoted placeholders are text
      {"0 'kg'", 12.0L, "12 kg"},
      {"'unterminated", 1.0L, "unterminated"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, FollowsThePlaceholderRule) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.000", 9.9996L, "10.000"},  // the rounding adds an integer digit
      {"0.000", 0.0L, "0.000"},
      {"#.##", 0.0L, ""},
      {"#.##", 0.5L, ".5"},
      {"000", 7.0L, "007"},
      {"0", 12345.0L, "12345"},
      {"0", 2.5L, "3"},  // half away from zero on the decimal form
      {"0", -2.5L, "-3"},
      {"#,###", 1234567.0L, "1,234,567"},
      {"0.0", 0.04L, "0.0"},
      {"0.0", -0.04L, "0.0"},
      {"x0y", 5.0L, "x5y"},
      {"0e0", 5.0L, "0e5"},  // "e" without a sign is text between two placeholders
      {"#,##0.###", 0.9995L, "1"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, WritesExponentForms) {
  ScopedSeparators separators('.', ',');
  const PatternCase cases[] = {
      {"0.00E+00", 1234.0L, "1.23E+03"},        {"0.00E+00", 0.001234L, "1.23E-03"},
      {"0.00E-00", 1234.0L, "1.23E03"},         {"0.00E-0", 0.001234L, "1.23E-3"},
      {"0.00e+0000000", 1234.0L, "1.23e+0003"},  // at most four exponent digits of padding
      {"0.00E+00", 0.0L, "0.00E+00"},           {"0.00E+00", -9.999L, "-1.00E+01"},
      {"##0.0E+0", 12345.0L, "123.5E+2"},
  };
  ExpectPatterns(std::begin(cases), std::end(cases));
}

TEST(FloatToPattern, UsesTheProcessSeparators) {
  {
    ScopedSeparators separators(',', '.');
    const PatternCase cases[] = {
        {"#,##0.###", 1234.5678L, "1.234,568"},
        {"#,##0.###", 1000.0L, "1.000"},
        {"#,##0.###", 1.5L, "1,5"},
        {"#,##0.0##", 1234567.0L, "1.234.567,0"},
        {"", 1.5L, "1,5"},
    };
    ExpectPatterns(std::begin(cases), std::end(cases));
  }
  ScopedSeparators separators('.', '\0');
  EXPECT_EQ(FloatToPattern("#,##0.###", 1234567.0L), "1234567");
  EXPECT_EQ(FloatToPattern("#,##0.0##", 1234.5L), "1234.5");
}

TEST(FloatToPattern, WritesNonFiniteValuesInTheGeneralForm) {
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(FloatToPattern("#,##0.###", inf), "INF");
  EXPECT_EQ(FloatToPattern("0;(0)", -inf), "-INF");
  EXPECT_EQ(FloatToPattern("#,##0.###", std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(FloatToPattern, RefusesPatternsOverTheLimit) {
  EXPECT_EQ(FloatToPattern(std::string(224, '0'), 1.0L),
            std::string(224, '0').replace(223, 1, "1"));
  try {
    FloatToPattern(std::string(225, '#'), 1.0L);
    FAIL() << "no error";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "Format string too long");
  }
}

// Output longer than the working buffer is still written in full.
TEST(FloatToPattern, WritesLongOutputInFull) {
  const std::string literal(200, 'x');
  const std::string pattern = "'" + literal + "'" + std::string(20, '0');
  EXPECT_EQ(FloatToPattern(pattern, 5.0L), literal + std::string(19, '0') + "5");
}

// Found by fuzzing: a negative value whose own section is scientific without placeholders
// rounds to a zero that keeps its exponent; the first section then stands in and writes every
// integer position of that exponent, far more than the working buffer holds.
TEST(FloatToPattern, ZeroSectionFallbackWithAHugeExponentIsWrittenInFull) {
  ScopedSeparators separators('.', ',');
  EXPECT_EQ(FloatToPattern("00;E+0", -2.5e300L), std::string(301, '0'));
  const std::string grouped = FloatToPattern("#,##0;E+0", -2.5e300L);
  EXPECT_EQ(grouped.size(), 401u);
  EXPECT_EQ(grouped.substr(grouped.size() - 8), ",000,000");
}

}  // namespace
}  // namespace vellora::numtext
