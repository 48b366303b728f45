#include "core/phonetics/cologne_phonetic.h"

#include "core/phonetics/letter_set.h"
#include "core/text/fold_text.h"

namespace {

bool IsCologneLetter(char16_t c) {
  return c >= u'A' && c <= u'Z';
}

// The raw code of one folded character: none, one or (for X) two digits, or a space.
TTextView RawCode(char16_t prev, char16_t c, char16_t next, bool wordStart) {
  switch (c) {
  case u'A':
  case u'E':
  case u'I':
  case u'J':
  case u'O':
  case u'U':
  case u'Y':
    return u"0";
  case u'B':
    return u"1";
  case u'F':
  case u'V':
  case u'W':
    return u"3";
  case u'G':
  case u'K':
  case u'Q':
    return u"4";
  case u'L':
    return u"5";
  case u'M':
  case u'N':
    return u"6";
  case u'R':
    return u"7";
  case u'S':
  case u'Z':
    return u"8";
  case u'H':
    return u"";
  case u'C':
    if (wordStart)
      return IsCharOf(next, u"AHKLOQRUX") ? u"4" : u"8";
    if (prev == u'S' || prev == u'Z')
      return u"8";
    return IsCharOf(next, u"AHKOQUX") ? u"4" : u"8";
  case u'D':
  case u'T':
    return IsCharOf(next, u"CSZ") ? u"8" : u"2";
  case u'P':
    return next == u'H' ? u"3" : u"1";
  case u'X':
    return IsCharOf(prev, u"CKQ") ? u"8" : u"48";
  default:
    // Every kind of white space separates words; other symbols and digits vanish.
    if ((c >= 9 && c <= 13) || c == u' ')
      return u" ";
    return u"";
  }
}

} // namespace

TText ColognePhonetic(TTextView s) {
  TText code;
  if (s.empty())
    return code;
  const TText folded = FoldText(s);
  char16_t lastKept = u' ';
  bool keptAny = false;
  for (size_t p = 0; p < folded.size(); ++p) {
    const char16_t prev = p == 0 ? u' ' : folded[p - 1];
    const char16_t next = p + 1 < folded.size() ? folded[p + 1] : u' ';
    const bool wordStart = p == 0 || !IsCologneLetter(prev);
    // Digit by digit, so both digits of an X are compared with the last kept one.
    for (char16_t digit : RawCode(prev, folded[p], next, wordStart)) {
      if (digit == lastKept)
        continue;
      if (digit == u'0' && keptAny)
        continue;
      code += digit;
      lastKept = digit;
      keptAny = true;
    }
  }
  return code;
}
