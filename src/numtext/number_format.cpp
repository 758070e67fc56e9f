#include "numtext/number_format.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace vellora::numtext {
namespace {

char FirstByteOr(const char* setting, char fallback) {
  if (setting == nullptr) return fallback;
  const std::size_t length = std::strlen(setting);
  if (length == 0) return '\0';
  if (length > 1) return fallback;
  return setting[0];
}

}  // namespace

NumberFormat LoadNumberFormatFromLocale() {
  NumberFormat format;
  // A private locale object: the process's global C locale stays untouched.
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return format;
  format.decimalSeparator = FirstByteOr(nl_langinfo_l(RADIXCHAR, user), '.');
  format.thousandSeparator = FirstByteOr(nl_langinfo_l(THOUSEP, user), ',');
  freelocale(user);
  return format;
}

NumberFormat& ProcessNumberFormat() {
  static NumberFormat format = LoadNumberFormatFromLocale();
  return format;
}

void ReloadNumberFormat() {
  ProcessNumberFormat() = LoadNumberFormatFromLocale();
}

}  // namespace vellora::numtext
