#include "platform/locale_collation.h"

#include "platform/process.h"
#include "platform/windows/win32_text.h"

#include <climits>
#include <windows.h>

namespace platform {

// The locale names only matter where the collation is read from the environment;
// Windows collates with the user's default locale. They are kept for callers that
// show or test them.
std::string CollationLocaleName(std::string_view localeVariable) {
  const size_t end = localeVariable.find_first_of(".@");
  std::string_view name = localeVariable.substr(0, end);
  if (name == "C" || name == "POSIX")
    return {};
  return std::string(name);
}

std::string CollationLocaleFromEnvironment() {
  std::optional<std::string> locale = FirstSetEnvironmentVariable({"LC_ALL", "LC_COLLATE", "LANG"});
  return locale ? CollationLocaleName(*locale) : std::string();
}

int CompareTextLocale(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  if (a.size() <= INT_MAX && b.size() <= INT_MAX) {
    const int result = CompareStringW(
        LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, reinterpret_cast<LPCWSTR>(a.data()),
        int(a.size()), reinterpret_cast<LPCWSTR>(b.data()), int(b.size()));
    if (result != 0)
      return result - CSTR_EQUAL;
  }
  const int result = a.compare(b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

} // namespace platform
