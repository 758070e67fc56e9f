// The process-wide decimal and thousand separators used when numbers are read and written.
#pragma once

#include <optional>
#include <string>

namespace vellora::numtext {

struct NumberFormat {
  char decimalSeparator = '.';
  // NUL means that grouped numbers are written without a separator.
  char thousandSeparator = ',';
};

// The two separators as the user's regional settings state them, each empty of value where the
// setting cannot be read.
struct SeparatorSettings {
  std::optional<std::string> decimal;
  std::optional<std::string> thousand;
};

// Where the settings come from: the environment's locale in the program, fixed texts in tests.
using SeparatorSource = SeparatorSettings (*)();

// LC_NUMERIC of the environment, read through a private locale object.
SeparatorSettings ReadLocaleSeparators();

// The rule that turns the settings into separators: the single byte of each; "." and "," where
// a setting cannot be read or is longer than one byte (a character that takes several bytes
// does not fit); NUL where it is empty.
NumberFormat NumberFormatFromSettings(const SeparatorSettings& settings);

// The separators of the user's locale.
NumberFormat LoadNumberFormatFromLocale();

// The one instance that parsing and formatting read on every call. Loaded from the user's
// locale on first use.
NumberFormat& ProcessNumberFormat();

// Loads the separators again (after the desktop announced a change of regional settings).
void ReloadNumberFormat(SeparatorSource source = ReadLocaleSeparators);

}  // namespace vellora::numtext
