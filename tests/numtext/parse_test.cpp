#include "numtext/parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/errors.h"
#include "extended_literal.h"
#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

using vellora::testing::Lit;

// Runs a test body with the given decimal separator and restores the previous format.
class SeparatorScope {
 public:
  explicit SeparatorScope(char decimal) : saved_(ProcessNumberFormat()) {
    ProcessNumberFormat().decimalSeparator = decimal;
  }
  ~SeparatorScope() { ProcessNumberFormat() = saved_; }

 private:
  NumberFormat saved_;
};

struct Accepted {
  std::string text;
  Extended value;
};

TEST(ParseFloat, AcceptsTheGrammarWithExactValues) {
  SeparatorScope dot('.');
  const Accepted cases[] = {
      {"10", Extended(10)},
      {" 1.5 ", Lit("1.5")},
      {"+2", Extended(2)},
      {"1.", Extended(1)},
      {".5", Lit("0.5")},
      {"1e3", Extended(1000)},
      {"1E+3", Extended(1000)},
      {"1000e0", Extended(1000)},
      {"2.5e-1", Lit("0.25")},
      {"1e", Extended(1)},
      {"1e+", Extended(1)},
      {".", Extended(0)},
      {"5.00", Extended(5)},
      {"0.1", Lit("0.1")},
      {"-3.75", -Lit("3.75")},
      {"   7", Extended(7)},
      {"0.000001", Lit("1e-6")},
      {"18446744073709551615", Extended(std::uint64_t{18446744073709551615u})},
  };
  for (const auto& c : cases) {
    Extended value = -Extended(99);
    ASSERT_TRUE(TryParseFloat(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(ParseFloat(c.text), c.value) << c.text;
  }
}

TEST(ParseFloat, NegativeZeroKeepsItsSign) {
  SeparatorScope dot('.');
  for (const char* text : {"-0", "-.", "-0.000", "-0e5"}) {
    const Extended value = ParseFloat(text);
    EXPECT_EQ(value, Extended(0)) << text;
    EXPECT_TRUE(value.SignBit()) << text;
  }
}

TEST(ParseFloat, RejectsWithTheTextQuotedAsTyped) {
  SeparatorScope dot('.');
  // The last ones are in range but their exponent has a digit left over after the bound of 500.
  const std::string rejected[] = {
      "",        "   ",     "-",        "e5",        "1,5",        "1,000", "1 000",  "1.2.3",
      "0x10",    "INF",     "1\t",      "\t1",       "abc",        "+-1",   "1e4999", "1e5000",
      "1e99999", "1e+-3",   "--1",      "1e3.5",     "NaN",        "1e5 x", "１",     "1e-5000",
      "0e5000",  "-0e5000", "1e-50000", "0.5e05000", "2e-0005000",
  };
  for (const auto& text : rejected) {
    Extended value = Extended(42);
    EXPECT_FALSE(TryParseFloat(text, value)) << text;
    EXPECT_EQ(value, Extended(42)) << "a failed parse must not write the value: " << text;
    try {
      ParseFloat(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + text + "' is not a valid floating point value");
    }
  }
}

TEST(ParseFloat, FollowsTheDecimalSeparatorOfTheFormat) {
  SeparatorScope comma(',');
  EXPECT_EQ(ParseFloat("1,5"), Lit("1.5"));
  EXPECT_EQ(ParseFloat(","), Extended(0));
  EXPECT_THROW(ParseFloat("5.00"), EConvertError);
  EXPECT_THROW(ParseFloat("1,000,5"), EConvertError);
}

TEST(ParseFloat, StopsAtAnEmbeddedNul) {
  SeparatorScope dot('.');
  EXPECT_EQ(ParseFloat(std::string("12\0abc", 6)), Extended(12));
}

TEST(ParseFloat, LongDigitStringsRoundWithinTheExtendedRange) {
  SeparatorScope dot('.');
  // Three thousand digits then a matching negative exponent: about 1.
  std::string text = "1" + std::string(2999, '0') + "e-2999";
  EXPECT_NEAR(static_cast<double>(ParseFloat(text)), 1.0, 1e-15);
  // A fraction with thousands of digits.
  std::string fraction = "0." + std::string(3000, '3');
  EXPECT_NEAR(static_cast<double>(ParseFloat(fraction)), 1.0 / 3.0, 1e-15);
  // Beyond the extended range as an integer: fails.
  EXPECT_THROW(ParseFloat(std::string(5000, '9')), EConvertError);
  // A scale of -5120 or less gives zero at once.
  EXPECT_EQ(ParseFloat("0." + std::string(5200, '0') + "1"), Extended(0));
}

TEST(ParseFloat, ExtremeExponentsStayWithinTheExtendedRange) {
  SeparatorScope dot('.');
  const Extended big = ParseFloat("1e4931");
  EXPECT_NEAR(static_cast<double>(big / Lit("1e4931")), 1.0, 1e-15);
  const Extended small = ParseFloat("1e-400");
  EXPECT_NEAR(static_cast<double>(small * Lit("1e400")), 1.0, 1e-15);
  // A subnormal of the extended format is a value, not a failure.
  const Extended tiny = ParseFloat("1e-4950");
  EXPECT_GT(tiny, Extended(0));
  EXPECT_LT(tiny, Lit("1e-4940"));
}

TEST(ParseFloat, ExponentDigitsStopAtTheBound) {
  SeparatorScope dot('.');
  // 0005 is read digit by digit while below 500: all taken.
  EXPECT_EQ(ParseFloat("1e0005"), Lit("1e5"));
  // 4999 is the largest exponent that can be read; 1e-4999 underflows to a tiny value or zero.
  Extended value = Extended(1);
  EXPECT_TRUE(TryParseFloat("1e-4999", value));
  EXPECT_EQ(value, Extended(0));
  // Zero times the largest power that can be read: the tables never overflow on the way.
  value = Extended(1);
  EXPECT_TRUE(TryParseFloat("0e4999", value));
  EXPECT_EQ(value, Extended(0));
}

}  // namespace
}  // namespace vellora::numtext
