#include "numtext/number_format.h"

#include <langinfo.h>
#include <locale.h>

namespace vellora::numtext {
namespace {

char SingleByteOr(const std::optional<std::string>& setting, char fallback) {
  if (!setting) return fallback;
  if (setting->empty()) return '\0';
  if (setting->size() > 1) return fallback;
  return (*setting)[0];
}

std::optional<std::string> Copy(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

}  // namespace

SeparatorSettings ReadLocaleSeparators() {
  SeparatorSettings settings;
  // A private locale object: the process's global C locale stays untouched.
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return settings;
  settings.decimal = Copy(nl_langinfo_l(RADIXCHAR, user));
  settings.thousand = Copy(nl_langinfo_l(THOUSEP, user));
  freelocale(user);
  return settings;
}

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
