#include "platform/collation_key.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <unicode/ucol.h>
#include <unicode/uset.h>

#include "platform/locale_collator.h"

namespace platform {
namespace {

TCollator OpenCollator(UCollationStrength strength) {
  TCollator collator = OpenLocaleCollator();
  if (collator)
    ucol_setStrength(collator.get(), strength);
  return collator;
}

UCollator *KeyCollator(bool ignoreCase) {
  static TCollator caseless = OpenCollator(UCOL_SECONDARY);
  static TCollator withCase = OpenCollator(UCOL_TERTIARY);
  return ignoreCase ? caseless.get() : withCase.get();
}

// Big-endian code units: byte order is code-unit order.
std::size_t AppendCodeUnitKey(std::u16string_view text, std::string &keys) {
  for (char16_t c : text) {
    keys.push_back(static_cast<char>(c >> 8));
    keys.push_back(static_cast<char>(c & 0xFF));
  }
  return text.size() * 2;
}

} // namespace

std::size_t AppendCollationKeyLocale(std::u16string_view text, bool ignoreCase, std::string &keys) {
  UCollator *collator = KeyCollator(ignoreCase);
  if (collator == nullptr || text.size() > INT32_MAX / 4)
    return AppendCodeUnitKey(text, keys);
  const UChar *source = text.empty() ? u"" : text.data();
  const auto length = static_cast<int32_t>(text.size());
  const std::size_t start = keys.size();
  // Room for the usual key; a longer one is made again in the size reported.
  std::size_t room = text.size() * 3 + 16;
  for (;;) {
    keys.resize(start + room);
    // The size reported includes the key's terminating zero byte.
    const int32_t needed =
        ucol_getSortKey(collator, source, length, reinterpret_cast<uint8_t *>(keys.data() + start),
                        static_cast<int32_t>(room));
    if (needed <= 0) {
      keys.resize(start);
      return AppendCodeUnitKey(text, keys);
    }
    if (static_cast<std::size_t>(needed) <= room) {
      keys.resize(start + static_cast<std::size_t>(needed) - 1);
      return static_cast<std::size_t>(needed) - 1;
    }
    room = static_cast<std::size_t>(needed);
  }
}

bool CollationKeysSplitAt(char16_t separator, bool ignoreCase) {
  const UCollator *collator = KeyCollator(ignoreCase);
  if (collator == nullptr)
    return true; // code units split anywhere
  UErrorCode status = U_ZERO_ERROR;
  if (ucol_getAttribute(collator, UCOL_FRENCH_COLLATION, &status) != UCOL_OFF || U_FAILURE(status))
    return false;
  struct TSetCloser {
    void operator()(USet *set) const { uset_close(set); }
  };
  std::unique_ptr<USet, TSetCloser> contractions(uset_openEmpty());
  // Prefix contexts are listed among the contractions too.
  ucol_getContractionsAndExpansions(collator, contractions.get(), nullptr, true, &status);
  if (U_FAILURE(status))
    return false;
  const int32_t count = uset_getItemCount(contractions.get());
  for (int32_t i = 0; i < count; ++i) {
    UChar32 start = 0;
    UChar32 end = 0;
    UChar text[64];
    status = U_ZERO_ERROR;
    const int32_t length =
        uset_getItem(contractions.get(), i, &start, &end, text, std::size(text), &status);
    if (U_FAILURE(status))
      return false;
    if (length == 0 ? start <= separator && separator <= end
                    : std::u16string_view(text, static_cast<size_t>(length)).find(separator) !=
                          std::u16string_view::npos)
      return false;
  }
  return true;
}

std::string CollationKeyLocale(std::u16string_view text, bool ignoreCase) {
  std::string key;
  AppendCollationKeyLocale(text, ignoreCase, key);
  return key;
}

} // namespace platform
