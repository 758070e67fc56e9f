// The user's separators on Windows: the regional settings of the user's locale, as UTF-8 like
// the POSIX locale's (a separator of more than one byte then falls back to the default).
#include <windows.h>

#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

std::optional<std::string> Setting(LCTYPE type) {
  wchar_t wide[16] = {};
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, wide, 16);
  if (length <= 0) return std::nullopt;
  char text[64] = {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  if (size <= 0) return std::nullopt;
  return std::string(text);
}

}  // namespace

SeparatorSettings ReadLocaleSeparators() {
  SeparatorSettings settings;
  settings.decimal = Setting(LOCALE_SDECIMAL);
  settings.thousand = Setting(LOCALE_STHOUSAND);
  return settings;
}

}  // namespace vellora::numtext
