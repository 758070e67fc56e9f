#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

char SingleByteOr(const std::optional<std::string>& setting, char fallback) {
  if (!setting) return fallback;
  if (setting->empty()) return '\0';
  if (setting->size() > 1) return fallback;
  return (*setting)[0];
}

}  // namespace

// ReadLocaleSeparators() is the operating system's: locale_separators_posix.cpp or
// locale_separators_windows.cpp.

NumberFormat NumberFormatFromSettings(const SeparatorSettings& settings) {
  NumberFormat format;
  format.decimalSeparator = SingleByteOr(settings.decimal, '.');
  format.thousandSeparator = SingleByteOr(settings.thousand, ',');
  return format;
}

NumberFormat LoadNumberFormatFromLocale() {
  return NumberFormatFromSettings(ReadLocaleSeparators());
}

NumberFormat& ProcessNumberFormat() {
  static NumberFormat format = LoadNumberFormatFromLocale();
  return format;
}

void ReloadNumberFormat(SeparatorSource source) {
  ProcessNumberFormat() = NumberFormatFromSettings(source());
}

}  // namespace vellora::numtext
