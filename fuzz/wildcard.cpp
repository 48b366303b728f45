// MatchWildcard against a backtracking reference over the same syntax, the extended
// one included, with and without case.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/text/case_tables.h"
#include "core/text/wildcard.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"

namespace {

// A set read from its '[' at open: where it ends (0 when unterminated) and whether
// it holds c.
std::size_t ReadSet(TTextView pattern, std::size_t open, char16_t c, bool &holds) {
  std::size_t i = open + 1;
  const bool inverted = i < pattern.size() && pattern[i] == u'~';
  i += inverted;
  bool found = false;
  auto item = [&](char16_t &out) {
    if (i < pattern.size() && pattern[i] == u'\\')
      ++i;
    if (i >= pattern.size())
      return false;
    out = pattern[i++];
    return true;
  };
  while (i < pattern.size() && pattern[i] != u']') {
    char16_t low = 0;
    char16_t high = 0;
    if (!item(low))
      return 0;
    high = low;
    if (i < pattern.size() && pattern[i] == u'-') {
      ++i;
      if (!item(high))
        return 0;
    }
    found = found || (low <= c && c <= high);
  }
  if (i >= pattern.size())
    return 0;
  holds = found != inverted;
  return i + 1;
}

// Tries every way: plain recursion with a table of the pairs already refuted.
class TReference {
public:
  TReference(TTextView text, TTextView pattern, bool simple)
      : FText(text), FPattern(pattern), FSimple(simple),
        FFailed((text.size() + 1) * (pattern.size() + 1)) {}

  bool WellFormed() const {
    if (FSimple)
      return true;
    for (std::size_t p = 0; p < FPattern.size();) {
      bool holds = false;
      if (FPattern[p] == u'[') {
        p = ReadSet(FPattern, p, 0, holds);
        if (p == 0)
          return false;
      } else if (FPattern[p] == u'\\') {
        if (p + 1 >= FPattern.size())
          return false;
        p += 2;
      } else {
        ++p;
      }
    }
    return true;
  }

  bool Match(std::size_t t, std::size_t p) {
    const std::size_t key = t * (FPattern.size() + 1) + p;
    if (FFailed[key])
      return false;
    const bool result = Try(t, p);
    FFailed[key] = !result;
    return result;
  }

private:
  bool Try(std::size_t t, std::size_t p) {
    if (p == FPattern.size())
      return t == FText.size();
    const char16_t c = FPattern[p];
    const bool more = t < FText.size();
    if (c == u'*')
      return Match(t, p + 1) || (more && Match(t + 1, p));
    if (c == u'?')
      return more && Match(t + 1, p + 1);
    if (!FSimple && c == u'+')
      return more && (Match(t + 1, p + 1) || Match(t + 1, p));
    if (!FSimple && c == u'[') {
      bool holds = false;
      const std::size_t end = ReadSet(FPattern, p, more ? FText[t] : 0, holds);
      return more && holds && Match(t + 1, end);
    }
    if (!FSimple && c == u'\\')
      return more && FText[t] == FPattern[p + 1] && Match(t + 1, p + 2);
    return more && FText[t] == c && Match(t + 1, p + 1);
  }

  TTextView FText;
  TTextView FPattern;
  bool FSimple;
  std::vector<bool> FFailed;
};

TText Upper(TTextView text) {
  const char16_t *upper = WideUpperTable();
  TText out;
  for (char16_t c : text)
    out.push_back(upper[c]);
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool ignoreCase = input.ConsumeBool();
  const bool simple = input.ConsumeBool();
  const TTextView alphabet = u"abAB*?+[]~-\\\u00E4\u00C4\u00DF\u0131\u017F\u01C5";
  const TText pattern = FuzzText(input, alphabet, 40);
  const TText text = FuzzText(input, alphabet, 60);

  const TText t = ignoreCase ? Upper(text) : text;
  const TText p = ignoreCase ? Upper(pattern) : pattern;
  TReference reference(t, p, simple);
  const bool expected = reference.WellFormed() && reference.Match(0, 0);
  const bool actual = MatchWildcard(text, pattern, ignoreCase, simple);
  FUZZ_CHECK(actual == expected, "text [%s] pattern [%s] ignoreCase %d simple %d: %d, expected %d",
             Printable(text).c_str(), Printable(pattern).c_str(), ignoreCase, simple, actual,
             expected);
  return 0;
}
