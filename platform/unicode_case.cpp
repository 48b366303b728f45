#include "platform/unicode_case.h"

#include <unicode/uchar.h>

namespace platform {
namespace {

char16_t MapUnit(char16_t c, UChar32 (*map)(UChar32)) {
  if (c >= 0xD800 && c <= 0xDFFF)
    return c;
  UChar32 mapped = map(c);
  return mapped > 0xFFFF ? c : char16_t(mapped);
}

} // namespace

char16_t UpperCaseUnit(char16_t c) {
  return MapUnit(c, u_toupper);
}
char16_t LowerCaseUnit(char16_t c) {
  return MapUnit(c, u_tolower);
}

} // namespace platform
