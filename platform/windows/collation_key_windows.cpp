#include "platform/collation_key.h"

#include <climits>
#include <windows.h>

namespace platform {

std::size_t AppendCollationKeyLocale(std::u16string_view text, bool ignoreCase, std::string &keys) {
  const std::size_t start = keys.size();
  const DWORD flags = LCMAP_SORTKEY | (ignoreCase ? NORM_IGNORECASE : 0);
  const LPCWSTR source = reinterpret_cast<LPCWSTR>(text.data());
  int length = text.size() <= INT_MAX / 8
                   ? LCMapStringW(LOCALE_USER_DEFAULT, flags, source, int(text.size()), nullptr, 0)
                   : 0;
  if (length > 0) {
    keys.resize(start + size_t(length));
    length = LCMapStringW(LOCALE_USER_DEFAULT, flags, source, int(text.size()),
                          reinterpret_cast<LPWSTR>(keys.data() + start), length);
  }
  if (length <= 0) {
    // Without a key the units themselves order, most significant byte first.
    keys.resize(start);
    for (char16_t unit : text) {
      keys.push_back(char(unit >> 8));
      keys.push_back(char(unit & 0xFF));
    }
    return keys.size() - start;
  }
  // The key ends with a NUL that byte order does not need.
  keys.resize(start + size_t(length));
  if (keys.size() > start && keys.back() == '\0')
    keys.pop_back();
  return keys.size() - start;
}

std::string CollationKeyLocale(std::u16string_view text, bool ignoreCase) {
  std::string key;
  AppendCollationKeyLocale(text, ignoreCase, key);
  return key;
}

// The system's sort keys weigh every level over the whole text, so a shared prefix
// cannot be skipped.
bool CollationKeysSplitAt(char16_t, bool) {
  return false;
}

} // namespace platform
