#include "core/phonetics/metaphone.h"

#include <initializer_list>

#include "core/phonetics/letter_set.h"
#include "core/text/fold_text.h"

namespace {

bool IsVowel(char16_t c) {
  return c == u'A' || c == u'E' || c == u'I' || c == u'O' || c == u'U';
}

bool IsFront(char16_t c) {
  return c == u'E' || c == u'I' || c == u'Y';
}

bool StartsWithAny(TTextView w, std::initializer_list<TTextView> prefixes) {
  for (TTextView prefix : prefixes)
    if (w.starts_with(prefix))
      return true;
  return false;
}

// The letters A to Z of the folded text with the initial and final exceptions applied.
TText MetaphoneLetters(TTextView s) {
  TText w;
  for (char16_t c : FoldText(s))
    if (c >= u'A' && c <= u'Z')
      w += c;
  if (w.size() >= 2 && StartsWithAny(w, {u"AE", u"GN", u"KN", u"PN", u"WR"}))
    w.erase(0, 1);
  if (w.starts_with(u'X'))
    w[0] = u'S';
  if (w.size() >= 3 && w.starts_with(u"WH"))
    w.erase(1, 1);
  if (w.size() >= 2 && w.ends_with(u'S'))
    w.pop_back();
  return w;
}

// The code of the letter at 1-based position pos of w (n letters).
TTextView LetterCode(TTextView w, size_t pos) {
  const size_t n = w.size();
  const char16_t ch = w[pos - 1];
  const char16_t prev = pos > 1 ? w[pos - 2] : u' ';
  const char16_t next = pos < n ? w[pos] : u' ';
  const char16_t next2 = pos + 2 <= n ? w[pos + 1] : u' ';
  const char16_t next3 = pos + 3 <= n ? w[pos + 2] : u' ';
  const bool nextVowel = IsVowel(next);
  const bool nextFront = IsFront(next);

  if (IsVowel(ch))
    return pos == 1 ? TTextView(&w[pos - 1], 1) : u"";
  if (ch == next)
    return u"";
  switch (ch) {
  case u'B':
    return pos == n && prev == u'M' ? u"" : u"B";
  case u'C':
    if (pos >= 3 && prev == u'S' && nextFront)
      return u"";
    if (pos >= 2 && next == u'I' && next2 == u'A')
      return u"X";
    if (nextFront)
      return u"S";
    if (pos >= 3 && prev == u'S' && next == u'H')
      return u"K";
    if (next == u'H')
      return pos == 1 && !IsVowel(next2) ? u"K" : u"X";
    return prev == u'C' ? u"C" : u"K";
  case u'D':
    return next == u'G' && IsFront(next2) ? u"J" : u"T";
  case u'G': {
    // The end tests count from n - 4 and n - 2 on purpose.
    const bool silent = (pos < n && next == u'H' && !IsVowel(next2)) ||
                        (pos + 4 == n && next == u'N' && next2 == u'E' && next3 == u'D') ||
                        (pos + 2 == n && next == u'N') || (prev == u'D' && nextFront);
    if (silent)
      return u"";
    return nextFront && prev != u'G' ? u"J" : u"K";
  }
  case u'H':
    if (IsCharOf(prev, u"CSPTG") || (pos > 1 && IsVowel(prev) && !nextVowel))
      return u"";
    return u"H";
  case u'K':
    return prev == u'C' ? u"" : u"K";
  case u'P':
    return next == u'H' ? u"F" : u"P";
  case u'Q':
    return u"K";
  case u'S':
    if (pos >= 3 && next == u'I' && (next2 == u'O' || next2 == u'A'))
      return u"X";
    return next == u'H' ? u"X" : u"S";
  case u'T':
    if (next == u'I' && (next2 == u'O' || next2 == u'A'))
      return u"X";
    if (next == u'H')
      return pos == 1 && !IsVowel(next2) ? u"T" : u"0";
    if (pos + 3 < n && next == u'C' && next2 == u'H')
      return u"";
    return u"T";
  case u'V':
    return u"F";
  case u'W':
  case u'Y':
    return pos + 1 < n && nextVowel ? TTextView(&w[pos - 1], 1) : u"";
  case u'X':
    return u"KS";
  case u'Z':
    return u"S";
  default: // F, J, L, M, N, R
    return TTextView(&w[pos - 1], 1);
  }
}

} // namespace

TText Metaphone(TTextView s) {
  const size_t limit = s.size();
  const TText w = MetaphoneLetters(s);
  TText code;
  for (size_t pos = 1; pos <= w.size(); ++pos) {
    if (code.size() >= limit)
      break;
    code += LetterCode(w, pos);
  }
  return code;
}
