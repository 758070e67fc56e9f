#include "numtext/number_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vellora::numtext {
namespace {

#ifndef _WIN32
// (POSIX only: Windows has no locale chosen through the environment.)
// The C and POSIX locales have "." and an empty thousands separator, which the rule turns into
// NUL; the reload reads the environment each time.
TEST(NumberFormat, LoadsTheSeparatorsOfTheUserLocale) {
  const char* saved = std::getenv("LC_ALL");
  const std::string savedValue = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  const NumberFormat c = LoadNumberFormatFromLocale();
  EXPECT_EQ(c.decimalSeparator, '.');
  EXPECT_EQ(c.thousandSeparator, '\0');

  ProcessNumberFormat().decimalSeparator = ',';
  ReloadNumberFormat();
  EXPECT_EQ(ProcessNumberFormat().decimalSeparator, '.');
  if (saved) {
    setenv("LC_ALL", savedValue.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}
#endif

// Settings that no installed locale need offer: several bytes, empty, unreadable.
TEST(NumberFormat, TheRuleTakesOneByteOrFallsBack) {
  const std::nullopt_t unreadable = std::nullopt;
  const struct {
    std::optional<std::string> decimal, thousand;
    char decimalSeparator, thousandSeparator;
  } cases[] = {
      {",", ".", ',', '.'},
      {"'", " ", '\'', ' '},
      {"\xa0", "\xb7", '\xa0', '\xb7'},  // one byte of a single-byte code page
      {"", "", '\0', '\0'},              // empty: NUL
      {unreadable, unreadable, '.', ','},
      {"\xd9\xab", "\xe2\x80\xaf", '.', ','},  // one character in two and three bytes
      {",,", ". ", '.', ','},                  // two characters
      {unreadable, "", '.', '\0'},             // each setting on its own
      {"", unreadable, '\0', ','},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.decimal.value_or("(unreadable)") << " / "
                                      << c.thousand.value_or("(unreadable)"));
    const NumberFormat format = NumberFormatFromSettings({c.decimal, c.thousand});
    EXPECT_EQ(format.decimalSeparator, c.decimalSeparator);
    EXPECT_EQ(format.thousandSeparator, c.thousandSeparator);
  }

  // The reload takes its settings from the source it is given.
  const NumberFormat saved = ProcessNumberFormat();
  ReloadNumberFormat([] { return SeparatorSettings{"\xe2\x80\xaf", ""}; });
  EXPECT_EQ(ProcessNumberFormat().decimalSeparator, '.');
  EXPECT_EQ(ProcessNumberFormat().thousandSeparator, '\0');
  ReloadNumberFormat([] { return SeparatorSettings{}; });
  EXPECT_EQ(ProcessNumberFormat().decimalSeparator, '.');
  EXPECT_EQ(ProcessNumberFormat().thousandSeparator, ',');
  ProcessNumberFormat() = saved;
}

}  // namespace
}  // namespace vellora::numtext
