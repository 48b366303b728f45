// Small text routines of the utility core. Positions are 1-based and count UTF-16 code
// units; "locale comparison" is the user's collation, "ignoreCase" its case-blind form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/text/text.h"

// The result of SplitAt: First and Second around the occurrence of the separator.
struct TSplitResult {
  bool Found = false;
  TText First;
  TText Second;
};

// Locale comparison of two whole texts.
bool SameTextLocale(TTextView a, TTextView b, bool ignoreCase);

// True if s begins with prefix under the locale comparison; an empty prefix gives true.
bool StartsWith(TTextView s, TTextView prefix, bool ignoreCase);
// True if s ends with suffix under the locale comparison; an empty suffix gives false,
// as does a suffix that would begin on the second half of a surrogate pair.
bool EndsWith(TTextView s, TTextView suffix, bool ignoreCase);
// s without prefix / suffix when it starts / ends with it, else s.
TText DeleteFirst(TTextView s, TTextView prefix, bool ignoreCase);
TText DeleteLast(TTextView s, TTextView suffix, bool ignoreCase);
// True if s is not empty and its last character is c.
bool EndsWithChar(TTextView s, char16_t c);

// count characters of s from start, clamped to the text: a start below 1 counts as 1,
// a negative or too large count as "to the end".
TText CopyClamped(TTextView s, std::int64_t start, std::int64_t count);

// 1-based start of the first (fromEnd: last) occurrence of sub in s, 0 if none or sub
// is empty. Compares code units, with ignoreCase through the upper-case table.
std::size_t FindText(TTextView sub, TTextView s, bool ignoreCase, bool fromEnd);
// s split around the first (fromEnd: last) occurrence of sep, compared as FindText does.
// Without an occurrence First is s and Second empty.
TSplitResult SplitAt(TTextView s, TTextView sep, bool ignoreCase, bool fromEnd, bool trimBefore,
                     bool trimAfter);

// 0-based index of the first entry of list equal to s under the locale comparison, -1
// if none.
std::ptrdiff_t IndexOfText(TTextView s, const TTextList &list, bool ignoreCase);
// IndexOfText over the tokens of listText split at separators (no merging).
std::ptrdiff_t IndexOfToken(TTextView s, TTextView listText, bool ignoreCase, TTextView separators);

// s and add joined by sep (add first when prepend); an empty s gives add, an empty add
// gives s unless force.
TText AppendText(TTextView s, TTextView add, TTextView sep, bool prepend, bool force);

// Replaces every character of s found in searchChars by the character at the same place
// in replaceChars; one beyond replaceChars becomes fillChar, or is removed without one.
// Empty searchChars: every character becomes fillChar, or s is upper-cased without one.
TText Translate(TTextView s, TTextView replaceChars, TTextView searchChars,
                std::optional<char16_t> fillChar, bool ignoreCase);

// s without leading and trailing characters of code 32 or less.
TText Trim(TTextView s);
TText TrimLeft(TTextView s);
TText TrimRight(TTextView s);

std::int64_t ChooseInt64(bool flag, std::int64_t a, std::int64_t b);
void SwapIntegers(std::int32_t &a, std::int32_t &b);
