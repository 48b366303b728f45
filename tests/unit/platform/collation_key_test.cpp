#include "platform/collation_key.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/locale_collation.h"

namespace {

int Sign(int value) {
  return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

std::string Narrow(const std::u16string &text) {
  std::string result;
  for (char16_t c : text)
    result += c < 0x80 ? static_cast<char>(c) : '?';
  return result;
}

} // namespace

TEST(CollationKey, KeyOrderIsTheLocaleComparisonOrder) {
  const std::vector<std::u16string> texts = {
      u"",      u"a",      u"A",   u"b",          u"B.txt",  u"a.txt",  u"a-b",
      u"a_b",   u"a b",    u"a/b", u"ab",         u"e",      u"\u00e9", u"\u00c9",
      u"E",     u"10",     u"9",   u"z~",         u"_x",     u"a\nb",   u"dir/sub/f.txt",
      u"dir-2", u"\u00df", u"ss",  u"\U0001F600", u"\xD800x"};
  for (bool ignoreCase : {true, false})
    for (const std::u16string &a : texts)
      for (const std::u16string &b : texts) {
        const std::string keyA = platform::CollationKeyLocale(a, ignoreCase);
        const std::string keyB = platform::CollationKeyLocale(b, ignoreCase);
        EXPECT_EQ(Sign(keyA.compare(keyB)), platform::CompareTextLocale(a, b, ignoreCase))
            << Narrow(a) << " / " << Narrow(b) << " ignoreCase " << ignoreCase;
      }
}

TEST(CollationKey, CaseOnlyDifferenceVanishesOnlyWhenIgnoringCase) {
  EXPECT_EQ(platform::CollationKeyLocale(u"Report.TXT", true),
            platform::CollationKeyLocale(u"report.txt", true));
  EXPECT_NE(platform::CollationKeyLocale(u"Report.TXT", false),
            platform::CollationKeyLocale(u"report.txt", false));
}

TEST(CollationKey, AppendedKeysFollowEachOther) {
  std::string keys;
  const std::size_t first = platform::AppendCollationKeyLocale(u"alpha", true, keys);
  const std::size_t second = platform::AppendCollationKeyLocale(u"beta", true, keys);
  EXPECT_EQ(keys.size(), first + second);
  EXPECT_EQ(keys.substr(0, first), platform::CollationKeyLocale(u"alpha", true));
  EXPECT_EQ(keys.substr(first), platform::CollationKeyLocale(u"beta", true));
}

TEST(CollationKey, LongTextGetsItsWholeKey) {
  // A ligature that expands to many letters: far more key bytes than code units.
  std::u16string text;
  for (int i = 0; i < 500; ++i)
    text += u"\uFDFA\u00e9";
  const std::string key = platform::CollationKeyLocale(text, true);
  EXPECT_EQ(Sign(key.compare(platform::CollationKeyLocale(text + u"a", true))),
            platform::CompareTextLocale(text, text + u"a", true));
  EXPECT_EQ(key, platform::CollationKeyLocale(text, true));
  EXPECT_GT(key.size(), text.size() * 10);
}

TEST(CollationKey, KeysSplitAtSeparatorButNotInsideAContraction) {
  EXPECT_TRUE(platform::CollationKeysSplitAt(u'/', true));
  EXPECT_TRUE(platform::CollationKeysSplitAt(u'/', false));
  // A Thai prevowel is weighed together with the consonant after it.
  EXPECT_FALSE(platform::CollationKeysSplitAt(u'\u0E40', true));
}
