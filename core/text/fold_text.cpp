#include "core/text/fold_text.h"

#include "core/text/case_tables.h"
#include "platform/code_page.h"

namespace {

// Folds one upper-cased character in the Latin-1 range; everything else is kept.
constexpr char16_t FoldUpper(char16_t c) {
  switch (c) {
  case 0xC0: // À
  case 0xC1: // Á
  case 0xC2: // Â
  case 0xC4: // Ä
    return u'A';
  case 0xD2: // Ò
  case 0xD3: // Ó
  case 0xD4: // Ô
  case 0xD6: // Ö
    return u'O';
  case 0xD9: // Ù
  case 0xDA: // Ú
  case 0xDB: // Û
  case 0xDC: // Ü
    return u'U';
  case 0xC8: // È
  case 0xC9: // É
  case 0xCA: // Ê
    return u'E';
  case 0xCC: // Ì
  case 0xCD: // Í
  case 0xCE: // Î
    return u'I';
  case 0xDF: // ß has no single-character upper case and arrives unchanged
    return u'S';
  default:
    return c;
  }
}

} // namespace

TText FoldText(TTextView s) {
  const char16_t *upper = WideUpperTable();
  TText folded(s.size(), u'\0');
  for (size_t p = 0; p < s.size(); ++p)
    folded[p] = FoldUpper(upper[s[p]]);
  return folded;
}

TBytes FoldBytes(TBytesView s) {
  return FoldBytesWith(s, AnsiUpperTable(), !platform::AnsiCodePage().IsUtf8());
}

TBytes FoldBytesWith(TBytesView s, const unsigned char *upperTable, bool singleBytePage) {
  TBytes folded(s.size(), '\0');
  for (size_t p = 0; p < s.size(); ++p) {
    const unsigned char u = upperTable[static_cast<unsigned char>(s[p])];
    folded[p] = static_cast<char>(singleBytePage || u < 0x80 ? FoldUpper(u) : u);
  }
  return folded;
}
