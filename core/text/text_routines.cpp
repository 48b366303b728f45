#include "core/text/text_routines.h"

#include <utility>

#include "core/text/case_tables.h"
#include "core/text/tokenizer.h"
#include "platform/locale_collation.h"
#include "platform/unicode_case.h"

namespace {

bool IsBlank(char16_t c) {
  return c <= 32;
}

bool WindowMatches(TTextView sub, TTextView s, std::size_t start, const char16_t *upper) {
  for (std::size_t i = 0; i < sub.size(); ++i) {
    const char16_t a = sub[i];
    const char16_t b = s[start + i];
    if (a != b && (upper == nullptr || upper[a] != upper[b]))
      return false;
  }
  return true;
}

} // namespace

bool SameTextLocale(TTextView a, TTextView b, bool ignoreCase) {
  return platform::CompareTextLocale(a, b, ignoreCase) == 0;
}

bool StartsWith(TTextView s, TTextView prefix, bool ignoreCase) {
  if (prefix.empty())
    return true;
  return prefix.size() <= s.size() &&
         SameTextLocale(s.substr(0, prefix.size()), prefix, ignoreCase);
}

bool EndsWith(TTextView s, TTextView suffix, bool ignoreCase) {
  if (suffix.empty() || suffix.size() > s.size())
    return false;
  const std::size_t start = s.size() - suffix.size();
  if (start > 0 && IsLowSurrogate(s[start]) && IsHighSurrogate(s[start - 1]))
    return false;
  return SameTextLocale(s.substr(start), suffix, ignoreCase);
}

TText DeleteFirst(TTextView s, TTextView prefix, bool ignoreCase) {
  if (!prefix.empty() && StartsWith(s, prefix, ignoreCase))
    return TText(s.substr(prefix.size()));
  return TText(s);
}

TText DeleteLast(TTextView s, TTextView suffix, bool ignoreCase) {
  if (!suffix.empty() && EndsWith(s, suffix, ignoreCase))
    return TText(s.substr(0, s.size() - suffix.size()));
  return TText(s);
}

bool EndsWithChar(TTextView s, char16_t c) {
  return !s.empty() && s.back() == c;
}

TText CopyClamped(TTextView s, std::int64_t start, std::int64_t count) {
  const std::uint64_t first = start < 1 ? 0 : static_cast<std::uint64_t>(start) - 1;
  if (first >= s.size())
    return {};
  const std::uint64_t available = s.size() - first;
  const std::uint64_t taken = (count < 0 || static_cast<std::uint64_t>(count) > available)
                                  ? available
                                  : static_cast<std::uint64_t>(count);
  return TText(s.substr(first, taken));
}

std::size_t FindText(TTextView sub, TTextView s, bool ignoreCase, bool fromEnd) {
  if (sub.empty() || sub.size() > s.size())
    return 0;
  const char16_t *upper = ignoreCase ? WideUpperTable() : nullptr;
  const std::size_t lastStart = s.size() - sub.size();
  for (std::size_t n = 0; n <= lastStart; ++n) {
    const std::size_t start = fromEnd ? lastStart - n : n;
    if (WindowMatches(sub, s, start, upper))
      return start + 1;
  }
  return 0;
}

TSplitResult SplitAt(TTextView s, TTextView sep, bool ignoreCase, bool fromEnd, bool trimBefore,
                     bool trimAfter) {
  TSplitResult result;
  const std::size_t p = FindText(sep, s, ignoreCase, fromEnd);
  if (p == 0) {
    result.First = trimBefore ? Trim(s) : TText(s);
    return result;
  }
  const TTextView first = s.substr(0, p - 1);
  const TTextView second = s.substr(p - 1 + sep.size());
  result.Found = true;
  result.First = trimBefore ? Trim(first) : TText(first);
  result.Second = trimAfter ? Trim(second) : TText(second);
  return result;
}

std::ptrdiff_t IndexOfText(TTextView s, const TTextList &list, bool ignoreCase) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (SameTextLocale(s, list[i], ignoreCase))
      return static_cast<std::ptrdiff_t>(i);
  return -1;
}

std::ptrdiff_t IndexOfToken(TTextView s, TTextView listText, bool ignoreCase,
                            TTextView separators) {
  return IndexOfText(s, TokenList(listText, separators, false, false, false), ignoreCase);
}

TText AppendText(TTextView s, TTextView add, TTextView sep, bool prepend, bool force) {
  if (s.empty())
    return TText(add);
  if (add.empty() && !force)
    return TText(s);
  TText result;
  result.reserve(s.size() + sep.size() + add.size());
  result.append(prepend ? add : s).append(sep).append(prepend ? s : add);
  return result;
}

TText Translate(TTextView s, TTextView replaceChars, TTextView searchChars,
                std::optional<char16_t> fillChar, bool ignoreCase) {
  if (s.empty())
    return {};
  if (searchChars.empty())
    return fillChar ? TText(s.size(), *fillChar) : UpperText(s);
  const TText search = ignoreCase ? LowerText(searchChars) : TText(searchChars);
  TText result;
  result.reserve(s.size());
  for (const char16_t original : s) {
    const char16_t c = ignoreCase ? platform::LowerCaseUnit(original) : original;
    const std::size_t k = search.find(c);
    if (k == TText::npos)
      result.push_back(original);
    else if (k < replaceChars.size())
      result.push_back(replaceChars[k]);
    else if (fillChar)
      result.push_back(*fillChar);
    // else: the character is removed
  }
  return result;
}

TText TrimLeft(TTextView s) {
  std::size_t first = 0;
  while (first < s.size() && IsBlank(s[first]))
    ++first;
  return TText(s.substr(first));
}

TText TrimRight(TTextView s) {
  std::size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1]))
    --end;
  return TText(s.substr(0, end));
}

TText Trim(TTextView s) {
  return TrimLeft(TrimRight(s));
}

std::int64_t ChooseInt64(bool flag, std::int64_t a, std::int64_t b) {
  return flag ? a : b;
}

void SwapIntegers(std::int32_t &a, std::int32_t &b) {
  std::swap(a, b);
}
