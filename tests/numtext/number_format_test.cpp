#include "numtext/number_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vellora::numtext {
namespace {

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

}  // namespace
}  // namespace vellora::numtext
