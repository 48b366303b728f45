#include "core/text/tokenizer.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TTokenCase {
  const char16_t *Text;
  const char16_t *Separators;
  bool Merge;
  bool SkipLeading;
  bool DropEmptyLast;
  TTextList Expected;
};

std::string Describe(const TTokenCase &c) {
  return "text '" + std::string(c.Text, c.Text + std::char_traits<char16_t>::length(c.Text)) +
         "' merge " + std::to_string(c.Merge) + " skip " + std::to_string(c.SkipLeading) +
         " drop " + std::to_string(c.DropEmptyLast);
}

} // namespace

TEST(Tokenizer, SeparatorOptionsShapeTheTokenList) {
  const TTokenCase cases[] = {
      {u"", u";", false, false, false, {u""}},
      {u"", u";", false, false, true, {}},
      {u"a,,b", u",", false, false, false, {u"a", u"", u"b"}},
      {u"a,,b", u",", true, false, false, {u"a", u"b"}},
      {u",a", u",", true, false, false, {u"", u"a"}},
      {u",a", u",", true, true, false, {u"a"}},
      {u"a,", u",", false, false, false, {u"a", u""}},
      {u"a,", u",", false, false, true, {u"a"}},
      {u";;a;;b;;", u";", true, true, true, {u"a", u"b"}},
      // Any character of the set separates.
      {u"a;b,c", u",;", false, false, false, {u"a", u"b", u"c"}},
      // No separators at all: the whole text is one token.
      {u"a,b", u"", false, false, false, {u"a,b"}},
      // skipLeadingSeparator acts only at position 1, without merging the second one.
      {u",,a", u",", false, true, false, {u"", u"a"}},
      // A merged run still ends the token once, also at the end of the text.
      {u"a,,", u",", true, false, false, {u"a", u""}},
      {u"a,,", u",", true, false, true, {u"a"}},
      // Path components: backslash, all options off.
      {u"C:\\a\\\\b\\", u"\\", false, false, false, {u"C:", u"a", u"", u"b", u""}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(TokenList(c.Text, c.Separators, c.Merge, c.SkipLeading, c.DropEmptyLast), c.Expected)
        << Describe(c);
}

TEST(Tokenizer, QuotedSectionKeepsSeparatorsAndDropsOuterQuotes) {
  EXPECT_EQ(TokenListEx(u"x \"a b\" y", u" ", u"\"", u"\"", false, false, false, false),
            (TTextList{u"x", u"a b", u"y"}));
  EXPECT_EQ(TokenListEx(u"x \"a b\" y", u" ", u"\"", u"\"", false, false, false, true),
            (TTextList{u"x", u"\"a b\"", u"y"}));
}

TEST(Tokenizer, NestedBracketsStayInsideTheToken) {
  EXPECT_EQ(TokenListEx(u"f(a,(b,c)),d", u",", u"(", u")", false, false, false, false),
            (TTextList{u"fa,(b,c)", u"d"}));
  EXPECT_EQ(TokenListEx(u"f(a,(b,c)),d", u",", u"(", u")", false, false, false, true),
            (TTextList{u"f(a,(b,c))", u"d"}));
}

TEST(Tokenizer, UnterminatedQuoteRunsToTheEnd) {
  EXPECT_EQ(TokenListEx(u"\"a b", u" ", u"\"", u"\"", false, false, false, false),
            (TTextList{u"a b"}));
}

TEST(Tokenizer, OtherPairInsideQuotesIsOrdinaryText) {
  // '[' opens pair 2 only outside pair 1; inside it neither opens nor closes anything.
  EXPECT_EQ(TokenListEx(u"(a [b) c],d", u" ,", u"([", u")]", false, false, false, false),
            (TTextList{u"a [b", u"c]", u"d"}));
}

TEST(Tokenizer, QuoteCharacterThatIsAlsoASeparator) {
  // The opening quote is a separator: it ends the previous token and starts the quoted one.
  EXPECT_EQ(TokenListEx(u"a|b c|d", u"|", u"|", u"|", false, false, false, false),
            (TTextList{u"a", u"b c", u"d"}));
  EXPECT_EQ(TokenListEx(u"a|b c|d", u"|", u"|", u"|", false, false, false, true),
            (TTextList{u"a", u"|b c|", u"d"}));
}

TEST(Tokenizer, MergedSeparatorsKeepOpeningQuote) {
  // The closing quote is a separator too, so it ends the token and an empty one follows.
  EXPECT_EQ(TokenListEx(u"a,,|b|", u",|", u"|", u"|", true, false, false, true),
            (TTextList{u"a", u"|b|", u""}));
}

TEST(Tokenizer, MissingClosingQuoteIsARangeError) {
  EXPECT_THROW(TokenListEx(u"(ab", u",", u"(", u"", false, false, false, false), ERangeError);
  EXPECT_THROW(TokenListEx(u"x[a]", u",", u"([", u")", false, false, false, false), ERangeError);
}

TEST(Tokenizer, MissingClosingQuoteIsHarmlessUntilUsed) {
  // The pair without a closing character is opened by the last character only.
  EXPECT_EQ(TokenListEx(u"a,(", u",", u"(", u"", false, false, false, false),
            (TTextList{u"a", u""}));
  EXPECT_EQ(TokenListEx(u"a(b)c", u",", u"(", u")", false, false, false, false),
            (TTextList{u"abc"}));
}

// Random texts over a small alphabet of separators, quotes and letters: the tokenizer
// never fails with a complete pair list, and without quotes the tokens joined by the
// separator give back the text.
TEST(Tokenizer, RandomInputsRespectTheirLimits) {
  std::mt19937 random(20240607);
  const TText alphabet = u"ab,;\"()[] ";
  for (int round = 0; round < 20000; ++round) {
    TText text;
    const int length = static_cast<int>(random() % 16);
    for (int i = 0; i < length; ++i)
      text.push_back(alphabet[random() % alphabet.size()]);
    const bool merge = random() & 1, skip = random() & 2, drop = random() & 4, keep = random() & 8;

    const TTextList quoted = TokenListEx(text, u", ", u"\"([", u"\")]", merge, skip, drop, keep);
    std::size_t quotedChars = 0;
    for (const TText &token : quoted)
      quotedChars += token.size();
    EXPECT_LE(quotedChars, text.size()) << std::string(text.begin(), text.end());

    const TTextList plain = TokenList(text, u",", false, false, false);
    TText joined;
    for (std::size_t i = 0; i < plain.size(); ++i)
      joined += (i == 0 ? u"" : u",") + plain[i];
    EXPECT_EQ(joined, text);

    // With a short closing list the only possible failure is the range error.
    try {
      TokenListEx(text, u",", u"([", u")", merge, skip, drop, keep);
    } catch (const ERangeError &) {
    }
  }
}
