// Locale-aware comparison of host text: the user's collation as named by the locale
// environment, used wherever texts are compared "as the user would".
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The collation locale of a locale variable's value: language and region before the
// dot or modifier ("de_DE.UTF-8" -> "de_DE"); "" (root collation) for C, POSIX or none.
std::string CollationLocaleName(std::string_view localeVariable);

// CollationLocaleName of the first non-empty of LC_ALL, LC_COLLATE, LANG.
std::string CollationLocaleFromEnvironment();

// -1, 0 or 1 under the process's collator (created on first use and kept). ignoreCase
// compares accents but not case; otherwise case counts too. The collator may treat
// some distinct texts as equal (ignorable characters): that is the locale's verdict.
int CompareTextLocale(std::u16string_view a, std::u16string_view b, bool ignoreCase);

} // namespace platform
