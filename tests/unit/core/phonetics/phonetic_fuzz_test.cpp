#include <random>

#include <gtest/gtest.h>

#include "core/phonetics/cologne_phonetic.h"
#include "core/phonetics/metaphone.h"
#include "core/phonetics/phonet.h"
#include "core/text/fold_text.h"

namespace {

// Random texts from letters, rule characters, separators and characters outside
// Latin-1 (lone surrogates included), so every rule path gets its share.
TText RandomText(std::mt19937 &random) {
  static const TText pool = u"abcdefghijklmnopqrstuvwxyzABCHSTXZ"
                            u"äöüÄÖÜßéèàçñ'´`\",-.: \t\r\n0123456789()<^$~§€\u0327\xD800\xDC00";
  TText text;
  for (unsigned n = random() % 24; n > 0; --n)
    text += pool[random() % pool.size()];
  return text;
}

// Digits 0 to 8 and spaces, never two equal in a row, 0 only first, no leading space.
bool IsCologneCode(TTextView code) {
  if (code.starts_with(u' '))
    return false;
  for (size_t p = 0; p < code.size(); ++p) {
    const char16_t c = code[p];
    if (!((c >= u'0' && c <= u'8') || c == u' '))
      return false;
    if (p > 0 && (c == code[p - 1] || c == u'0'))
      return false;
  }
  return true;
}

bool IsMetaphoneCode(TTextView code) {
  for (char16_t c : code)
    if (!((c >= u'A' && c <= u'Z') || c == u'0'))
      return false;
  return true;
}

} // namespace

TEST(PhoneticCodes, RandomTextsKeepTheDocumentedShapeAndLengthLimits) {
  std::mt19937 random(7331);
  for (int round = 0; round < 20000; ++round) {
    const TText text = RandomText(random);
    const std::string where = "round " + std::to_string(round);

    EXPECT_EQ(FoldText(text).size(), text.size()) << where;
    EXPECT_TRUE(IsCologneCode(ColognePhonetic(text))) << where;

    const TText metaphone = Metaphone(text);
    EXPECT_TRUE(IsMetaphoneCode(metaphone)) << where;
    EXPECT_LE(metaphone.size(), text.size() + 1) << where;
    if (metaphone.size() > text.size()) {
      EXPECT_TRUE(metaphone.ends_with(u"KS")) << where;
    }

    EXPECT_LE(Phonet(text, true).size(), text.size()) << where;
    EXPECT_LE(Phonet(text, false).size(), text.size()) << where;
  }
}
