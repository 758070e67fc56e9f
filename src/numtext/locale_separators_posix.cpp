// The user's separators on POSIX systems: the numeric category of the user's locale.
#include <langinfo.h>
#include <locale.h>

#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

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

}  // namespace vellora::numtext
