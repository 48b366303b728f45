#include "core/text/text_routines.h"

#include <gtest/gtest.h>

namespace {

std::string Narrow(TTextView text) {
  return std::string(text.begin(), text.end());
}

// A low surrogate preceded by its high half: one character of two code units.
const TText Emoji = u"\U0001F600";

} // namespace

TEST(TextRoutines, StartsWithUsesTheLocaleComparison) {
  struct {
    const char16_t *S;
    const char16_t *Prefix;
    bool IgnoreCase;
    bool Expected;
  } cases[] = {
      {u"abc", u"", false, true},  {u"", u"", false, true},       {u"abc", u"ab", false, true},
      {u"abc", u"AB", true, true}, {u"abc", u"AB", false, false}, {u"ab", u"abc", true, false},
      {u"Äbc", u"ä", true, true},  {u"Äbc", u"a", true, false},   {u"abc", u"abc", false, true},
  };
  for (const auto &c : cases)
    EXPECT_EQ(StartsWith(c.S, c.Prefix, c.IgnoreCase), c.Expected)
        << Narrow(c.S) << " / " << Narrow(c.Prefix);
}

TEST(TextRoutines, EndsWithRejectsEmptySuffixAndSplitSurrogatePairs) {
  struct {
    TText S;
    TText Suffix;
    bool IgnoreCase;
    bool Expected;
  } cases[] = {
      {u"abc", u"", false, false},
      {u"", u"", false, false},
      {u"abc", u"bc", false, true},
      {u"abc", u"BC", true, true},
      {u"abc", u"BC", false, false},
      {u"bc", u"abc", false, false},
      {u"x" + Emoji, Emoji, false, true},
      {u"x" + Emoji, Emoji.substr(1), false, false},
      // A lone low surrogate is not the second half of a pair.
      {u"x" + Emoji.substr(1), Emoji.substr(1), false, true},
  };
  for (const auto &c : cases)
    EXPECT_EQ(EndsWith(c.S, c.Suffix, c.IgnoreCase), c.Expected)
        << Narrow(c.S) << " / " << Narrow(c.Suffix);
}

TEST(TextRoutines, DeleteFirstAndLastRemoveOnlyAMatchingAffix) {
  EXPECT_EQ(DeleteFirst(u"Prefix.txt", u"PRE", true), u"fix.txt");
  EXPECT_EQ(DeleteFirst(u"Prefix.txt", u"PRE", false), u"Prefix.txt");
  EXPECT_EQ(DeleteFirst(u"abc", u"", false), u"abc");
  EXPECT_EQ(DeleteFirst(u"ab", u"abc", false), u"ab");
  EXPECT_EQ(DeleteLast(u"name.TXT", u".txt", true), u"name");
  EXPECT_EQ(DeleteLast(u"name.TXT", u".txt", false), u"name.TXT");
  EXPECT_EQ(DeleteLast(u"abc", u"", false), u"abc");
  EXPECT_EQ(DeleteLast(u"abc", u"abc", false), u"");
}

TEST(TextRoutines, EndsWithCharOfEmptyTextIsAlwaysFalse) {
  for (char16_t c : {char16_t(0), u'a', u' ', char16_t(0xFFFF)})
    EXPECT_FALSE(EndsWithChar(u"", c)) << int(c);
  EXPECT_TRUE(EndsWithChar(u"ab", u'b'));
  EXPECT_FALSE(EndsWithChar(u"ab", u'a'));
  EXPECT_FALSE(EndsWithChar(u"ab", u'B'));
}

TEST(TextRoutines, CopyClampedClampsStartAndCount) {
  struct {
    const char16_t *S;
    std::int64_t Start;
    std::int64_t Count;
    const char16_t *Expected;
  } cases[] = {
      {u"abcdef", 0, 3, u"abc"},
      {u"abcdef", 4, -1, u"def"},
      {u"abc", 5, 2, u""},
      {u"abcdef", -7, 2, u"ab"},
      {u"abcdef", 2, 100, u"bcdef"},
      {u"abcdef", 2, 0, u""},
      {u"abc", 3, 1, u"c"},
      {u"abc", 4, 1, u""},
      {u"", 1, -1, u""},
      {u"abc", INT64_MIN, INT64_MAX, u"abc"},
      {u"abc", INT64_MAX, 1, u""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(CopyClamped(c.S, c.Start, c.Count), c.Expected)
        << Narrow(c.S) << " " << c.Start << " " << c.Count;
}

TEST(TextRoutines, FindTextSearchesFromEitherEnd) {
  struct {
    const char16_t *Sub;
    const char16_t *S;
    bool IgnoreCase;
    bool FromEnd;
    std::size_t Expected;
  } cases[] = {
      {u"--", u"a--b--c", false, true, 5}, {u"--", u"a--b--c", false, false, 2},
      {u"", u"abc", false, false, 0},      {u"", u"abc", false, true, 0},
      {u"abcd", u"abc", false, false, 0},  {u"B", u"abc", false, false, 0},
      {u"B", u"abc", true, false, 2},      {u"Ä", u"xä", true, true, 2},
      {u"aa", u"aaa", false, false, 1},    {u"aa", u"aaa", false, true, 2},
      {u"abc", u"abc", false, true, 1},    {u"c", u"abc", false, false, 3},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FindText(c.Sub, c.S, c.IgnoreCase, c.FromEnd), c.Expected)
        << Narrow(c.Sub) << " in " << Narrow(c.S) << " fromEnd " << c.FromEnd;
}

TEST(TextRoutines, SplitAtSplitsAroundTheOccurrence) {
  struct {
    const char16_t *S;
    const char16_t *Sep;
    bool IgnoreCase, FromEnd, TrimBefore, TrimAfter;
    bool Found;
    const char16_t *First;
    const char16_t *Second;
  } cases[] = {
      {u"a--b--c", u"--", false, true, false, false, true, u"a--b", u"c"},
      {u"a--b--c", u"--", false, false, false, false, true, u"a", u"b--c"},
      {u" k = v ", u"=", true, false, true, true, true, u"k", u"v"},
      {u" k = v ", u"=", true, false, false, true, true, u" k ", u"v"},
      {u" k = v ", u"=", true, false, true, false, true, u"k", u" v "},
      {u" k v ", u"=", true, false, true, true, false, u"k v", u""},
      {u" k v ", u"=", true, false, false, true, false, u" k v ", u""},
      {u"aXb", u"x", true, false, false, false, true, u"a", u"b"},
      {u"aXb", u"x", false, false, false, false, false, u"aXb", u""},
      {u"ab", u"", false, false, false, false, false, u"ab", u""},
      {u"=", u"=", false, false, false, false, true, u"", u""},
  };
  for (const auto &c : cases) {
    const TSplitResult result =
        SplitAt(c.S, c.Sep, c.IgnoreCase, c.FromEnd, c.TrimBefore, c.TrimAfter);
    EXPECT_EQ(result.Found, c.Found) << Narrow(c.S);
    EXPECT_EQ(result.First, c.First) << Narrow(c.S);
    EXPECT_EQ(result.Second, c.Second) << Narrow(c.S);
  }
}

TEST(TextRoutines, IndexOfTextAndTokenFindTheFirstEqualEntry) {
  EXPECT_EQ(IndexOfToken(u"b", u"a|B|c", true, u"|"), 1);
  EXPECT_EQ(IndexOfToken(u"b", u"a|B|c", false, u"|"), -1);
  EXPECT_EQ(IndexOfToken(u"", u"a||c", false, u"|"), 1);
  EXPECT_EQ(IndexOfToken(u"c", u"a,,c", false, u","), 2); // no merging of separators
  EXPECT_EQ(IndexOfText(u"x", TTextList{}, true), -1);
  EXPECT_EQ(IndexOfText(u"b", TTextList{u"a", u"b", u"b"}, false), 1);
  EXPECT_EQ(IndexOfText(u"Ä", TTextList{u"a", u"ä"}, true), 1);
}

TEST(TextRoutines, AppendTextJoinsWithSeparator) {
  struct {
    const char16_t *S;
    const char16_t *Add;
    const char16_t *Sep;
    bool Prepend, Force;
    const char16_t *Expected;
  } cases[] = {
      {u"", u"b", u",", false, false, u"b"},     {u"a", u"", u",", false, true, u"a,"},
      {u"a", u"", u",", false, false, u"a"},     {u"a", u"b", u",", false, false, u"a,b"},
      {u"a", u"b", u", ", true, false, u"b, a"}, {u"a", u"", u",", true, true, u",a"},
      {u"", u"", u",", false, true, u""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(AppendText(c.S, c.Add, c.Sep, c.Prepend, c.Force), c.Expected)
        << Narrow(c.S) << " + " << Narrow(c.Add);
}

TEST(TextRoutines, TranslateReplacesRemovesOrFillsCharacters) {
  struct {
    const char16_t *S;
    const char16_t *Replace;
    const char16_t *Search;
    std::optional<char16_t> Fill;
    bool IgnoreCase;
    const char16_t *Expected;
  } cases[] = {
      {u"Hello", u"xy", u"lo", std::nullopt, true, u"Hexxy"},
      {u"Hello", u"x", u"lo", std::nullopt, true, u"Hexx"},
      {u"Hello", u"x", u"lo", u'_', true, u"Hexx_"},
      {u"abc", u"", u"", std::nullopt, true, u"ABC"},
      {u"abc", u"", u"", u'*', true, u"***"},
      {u"", u"x", u"a", u'*', true, u""},
      {u"Hello", u"x", u"L", std::nullopt, false, u"Hello"},
      {u"Hello", u"x", u"L", std::nullopt, true, u"Hexxo"},
      {u"ABC", u"xY", u"ab", std::nullopt, true, u"xYC"},    // replacements as written
      {u"aaa", u"", u"a", std::nullopt, false, u""},         // everything removed
      {u"abab", u"12", u"bb", std::nullopt, false, u"a1a1"}, // first index wins
      {u"straße", u"", u"", std::nullopt, false, u"STRAßE"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Translate(c.S, c.Replace, c.Search, c.Fill, c.IgnoreCase), c.Expected)
        << Narrow(c.S) << " search " << Narrow(c.Search);
}

TEST(TextRoutines, TrimRemovesControlCharactersAndBlanks) {
  const TText s = u"\t\x01 a b \r\n";
  EXPECT_EQ(Trim(s), u"a b");
  EXPECT_EQ(TrimLeft(s), u"a b \r\n");
  EXPECT_EQ(TrimRight(s), u"\t\x01 a b");
  EXPECT_EQ(Trim(u" \t\n "), u"");
  EXPECT_EQ(TrimLeft(u"   "), u"");
  EXPECT_EQ(TrimRight(u"   "), u"");
  EXPECT_EQ(Trim(u""), u"");
  EXPECT_EQ(Trim(u"\u00A0x\u00A0"), u"\u00A0x\u00A0"); // only codes up to 32
}

TEST(TextRoutines, ChooseInt64AndSwapIntegers) {
  EXPECT_EQ(ChooseInt64(true, INT64_MAX, -1), INT64_MAX);
  EXPECT_EQ(ChooseInt64(false, INT64_MAX, INT64_MIN), INT64_MIN);
  std::int32_t a = 1, b = -7;
  SwapIntegers(a, b);
  EXPECT_EQ(a, -7);
  EXPECT_EQ(b, 1);
}

TEST(TextRoutines, SameTextLocaleComparesWholeTexts) {
  EXPECT_TRUE(SameTextLocale(u"Straße", u"STRAßE", true));
  EXPECT_FALSE(SameTextLocale(u"Straße", u"STRAßE", false));
  EXPECT_FALSE(SameTextLocale(u"a", u"á", true));
  EXPECT_TRUE(SameTextLocale(u"", u"", false));
  EXPECT_FALSE(SameTextLocale(u"", u"a", true));
}
