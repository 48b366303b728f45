#include "platform/locale_collation.h"

#include "platform/windows/win32_text.h"

#include <climits>
#include <windows.h>

namespace platform {

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
