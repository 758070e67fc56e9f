// The process-wide decimal and thousand separators used when numbers are read and written.
#pragma once

namespace vellora::numtext {

struct NumberFormat {
  char decimalSeparator = '.';
  // NUL means that grouped numbers are written without a separator.
  char thousandSeparator = ',';
};

// The separators of the user's locale (LC_NUMERIC from the environment): the first byte of
// each; "." and "," where a setting cannot be read or is longer than one byte; NUL where it is
// empty.
NumberFormat LoadNumberFormatFromLocale();

// The one instance that parsing and formatting read on every call. Loaded from the user's
// locale on first use.
NumberFormat& ProcessNumberFormat();

// Loads the user's separators again (after the desktop announced a change of regional settings).
void ReloadNumberFormat();

}  // namespace vellora::numtext
