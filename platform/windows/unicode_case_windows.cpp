#include "platform/unicode_case.h"

#include <windows.h>

namespace platform {
namespace {

// One unit at a time, as the tables are built: a surrogate alone has no case.
char16_t MapUnit(char16_t c, DWORD (*map)(LPWSTR, DWORD)) {
  if (c >= 0xD800 && c <= 0xDFFF)
    return c;
  wchar_t unit = wchar_t(c);
  map(&unit, 1);
  return char16_t(unit);
}

} // namespace

char16_t UpperCaseUnit(char16_t c) {
  return MapUnit(c, CharUpperBuffW);
}
char16_t LowerCaseUnit(char16_t c) {
  return MapUnit(c, CharLowerBuffW);
}

} // namespace platform
