#include "platform/locale_collation.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unicode/ucol.h>

#include "platform/locale_collator.h"

namespace platform {
namespace {

// Null only when ICU cannot even open the root collation.
UCollator *ProcessCollator() {
  static TCollator collator = OpenLocaleCollator();
  return collator.get();
}

int CompareCodeUnits(std::u16string_view a, std::u16string_view b) {
  const int result = a.compare(b);
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

} // namespace

TCollator OpenLocaleCollator() {
  const std::string name = CollationLocaleFromEnvironment();
  UErrorCode status = U_ZERO_ERROR;
  TCollator collator(ucol_open(name.c_str(), &status));
  if (U_SUCCESS(status) && collator)
    return collator;
  status = U_ZERO_ERROR;
  collator.reset(ucol_open("", &status));
  if (U_FAILURE(status))
    collator.reset();
  return collator;
}

int CompareTextLocale(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  UCollator *collator = ProcessCollator();
  constexpr size_t maxLength = INT32_MAX; // ICU takes 32-bit lengths
  if (collator == nullptr || a.size() > maxLength || b.size() > maxLength)
    return CompareCodeUnits(a, b);
  // One collator serves both strengths; the program runs on one thread.
  ucol_setStrength(collator, ignoreCase ? UCOL_SECONDARY : UCOL_TERTIARY);
  switch (ucol_strcoll(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                       static_cast<int32_t>(b.size()))) {
  case UCOL_LESS:
    return -1;
  case UCOL_GREATER:
    return 1;
  default:
    return 0;
  }
}

} // namespace platform
