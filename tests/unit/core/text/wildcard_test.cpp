#include "core/text/wildcard.h"

#include <gtest/gtest.h>

#include <random>

#include "core/text/case_tables.h"

namespace {

std::string Narrow(TTextView text) {
  return std::string(text.begin(), text.end());
}

struct TMatchCase {
  const char16_t *Text;
  const char16_t *Pattern;
  bool Expected;
};

void CheckMatches(const std::vector<TMatchCase> &cases, bool ignoreCase, bool simple) {
  for (const auto &c : cases)
    EXPECT_EQ(MatchWildcard(c.Text, c.Pattern, ignoreCase, simple), c.Expected)
        << "text '" << Narrow(c.Text) << "' pattern '" << Narrow(c.Pattern) << "'";
}

} // namespace

TEST(Wildcard, EmptyPatternStarAndQuestionMarkInBothSyntaxes) {
  const std::vector<TMatchCase> cases = {
      {u"", u"", true},   {u"a", u"", false}, {u"", u"*", true},    {u"abc", u"*", true},
      {u"", u"?", false}, {u"a", u"?", true}, {u"ab", u"?", false}, {u"", u"**", true},
  };
  CheckMatches(cases, false, true);
  CheckMatches(cases, false, false);
}

TEST(Wildcard, BasicSyntaxTakesExtendedCharactersLiterally) {
  CheckMatches({{u"report.txt", u"*.txt", true},
                {u"report.txs", u"*.txt", false},
                {u"abc", u"a?c", true},
                {u"ac", u"a?c", false},
                {u"[a]", u"[a]", true},
                {u"a", u"[a]", false},
                {u"a+", u"a+", true},
                {u"ab", u"a+", false},
                {u"a\\b", u"a\\b", true},
                {u"README", u"*.*", false},
                {u"a.b", u"*.*", true}},
               false, true);
}

TEST(Wildcard, ExtendedSyntaxAddsPlusSetsAndEscapes) {
  CheckMatches({{u"ab", u"a+", true},           {u"abc", u"a+", true},
                {u"a", u"a+", false},           {u"bx", u"[a-c]x", true},
                {u"dx", u"[a-c]x", false},      {u"dx", u"[~a-c]x", true},
                {u"ax", u"[~a-c]x", false},     {u"*", u"\\*", true},
                {u"a", u"\\*", false},          {u"\\*", u"\\*", false},
                {u"notes.txt", u"*.tx?", true}, {u"notes.txs", u"*.tx?", true},
                {u"notes.tx", u"*.tx?", false}, {u"a", u"*[a]", true},
                {u"ba", u"*[a]", true},         {u"ab", u"*[a]", false},
                {u"12x", u"*[0-9]x", true},     {u"a2x", u"*[0-9]x", true},
                {u"a2y", u"*[0-9]x", false},    {u"README", u"*.*", false},
                {u"x.y+z", u"*+z", true},       {u"z", u"*+z", false}},
               false, false);
}

TEST(Wildcard, SetItemsRangesAndEscapes) {
  CheckMatches({{u"]", u"[\\]]", true},
                {u"-", u"[\\-]", true},
                {u"a", u"[\\-]", false},
                {u"\\", u"[\\\\]", true},
                {u"b", u"[a\\-c]", false},
                {u"-", u"[a\\-c]", true},
                {u"/", u"[\\--\\/]", true}, // range from '-' to '/'
                {u"a", u"[]", false},
                {u"", u"[]", false},
                {u"x", u"[~]", true},
                {u"", u"[~]", false},
                {u"c", u"[ab-dz]", true},
                {u"z", u"[ab-dz]", true},
                {u"e", u"[ab-dz]", false},
                {u"~", u"[a~]", true}, // '~' inverts only right after the bracket
                {u"b", u"[~a~]", true},
                {u"~", u"[~a~]", false},
                {u"-", u"[-a]", true},
                {u"[", u"[[]", true}},
               false, false);
}

TEST(Wildcard, IgnoreCaseUpperCasesTextAndPattern) {
  CheckMatches({{u"a.txt", u"*.TXT", true}, {u"B", u"[a-c]", true}, {u"Ä", u"ä", true}}, true,
               false);
  CheckMatches({{u"a.txt", u"*.TXT", false}, {u"B", u"[a-c]", false}}, false, false);
  EXPECT_TRUE(MatchWildcard(u"A.TXT", u"*.txt", true, true));
}

// The choices for what the matching rules leave open.
TEST(Wildcard, QuestionMarkAfterStarLeavesTheStarPending) {
  CheckMatches({{u"", u"*?", false},
                {u"a", u"*?", true},
                {u"abc", u"*?", true},
                {u"a", u"**?", true},
                {u"abxc", u"a*?c", true},
                {u"ac", u"a*?c", false}},
               false, true);
}

TEST(Wildcard, EscapedCharacterAfterStarStaysLiteral) {
  CheckMatches({{u"a?x", u"*\\?x", true}, {u"a?bx", u"*\\?x", false}, {u"zz*", u"*\\*", true}},
               false, false);
}

TEST(Wildcard, MalformedPatternMatchesNothing) {
  CheckMatches({{u"a", u"[ab", false},
                {u"[ab", u"[ab", false},
                {u"a", u"[a-]", false},
                {u"a", u"*[a-", false},
                {u"a", u"[a\\", false},
                {u"a", u"a\\", false},
                {u"a\\", u"a\\", false},
                {u"", u"[", false}},
               false, false);
}

TEST(Wildcard, RangeEndingInBracketDoesNotAlsoCloseTheSet) {
  CheckMatches({{u"B", u"[A-]]", true}, {u"]", u"[A-]]", true}, {u"B]", u"[A-]]", false}}, false,
               false);
}

TEST(Wildcard, ManyStarsOnALongTextStayFast) {
  const TText text(20000, u'a');
  EXPECT_FALSE(MatchWildcard(text, u"*a*a*a*a*a*a*a*a*b", false, true));
  EXPECT_TRUE(MatchWildcard(text + u"b", u"*a*a*a*a*a*a*a*a*b", false, true));
  EXPECT_FALSE(MatchWildcard(text, u"+[a]+[~a]*", false, false));
}

TEST(Wildcard, HasWildcardsCountsStarQuestionMarkAndBrackets) {
  struct {
    const char16_t *Text;
    bool Basic;
    bool Extended;
  } cases[] = {
      {u"data[1].txt", false, true}, {u"a+b", false, false}, {u"a\\b", false, false},
      {u"*.txt", true, true},        {u"a?", true, true},    {u"a]", false, true},
      {u"", false, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(HasWildcards(c.Text, false), c.Basic) << Narrow(c.Text);
    EXPECT_EQ(HasWildcards(c.Text, true), c.Extended) << Narrow(c.Text);
  }
}

namespace {

// The matching rules written out step by step (stars pending, a nested match for every
// split after a star), as an independent reference for the matcher on random input.
struct TRefSet {
  bool Terminated = false;
  bool Matches = false;
  std::size_t End = 0;
};

TRefSet RefReadSet(TTextView pattern, std::size_t open, char16_t c) {
  std::size_t i = open + 1;
  const std::size_t n = pattern.size();
  bool inverted = i < n && pattern[i] == u'~';
  if (inverted)
    ++i;
  bool found = false;
  while (i < n && pattern[i] != u']') {
    if (pattern[i] == u'\\' && ++i >= n)
      return {};
    char16_t lower = pattern[i++], upper = lower;
    if (i < n && pattern[i] == u'-') {
      if (++i >= n || (pattern[i] == u'\\' && ++i >= n))
        return {};
      upper = pattern[i++];
    }
    found = found || (lower <= c && c <= upper);
  }
  if (i >= n)
    return {};
  return {true, found != inverted, i + 1};
}

bool RefMatch(TTextView text, TTextView pattern, bool simple) {
  std::size_t p = 0, t = 0, pending = 0;
  const std::size_t m = pattern.size(), n = text.size();
  while (p < m && t < n) {
    const char16_t c = pattern[p];
    if (c == u'*') {
      ++p, ++pending;
    } else if (!simple && c == u'+') {
      ++t, ++p, ++pending;
    } else if (c == u'?') {
      ++t, ++p;
    } else if (!simple && c == u'[') {
      const TRefSet set = RefReadSet(pattern, p, text[t]);
      if (!set.Terminated)
        return false;
      if (pending == 0) {
        if (!set.Matches)
          return false;
        ++t;
        p = set.End;
      } else {
        while (t < n && !RefReadSet(pattern, p, text[t]).Matches)
          ++t;
        for (std::size_t k = t; k < n; ++k)
          if (RefMatch(text.substr(k), pattern.substr(p), simple))
            return true;
        return false;
      }
    } else {
      const std::size_t literalStart = p;
      if (!simple && c == u'\\' && ++p >= m)
        return false;
      const char16_t literal = pattern[p];
      if (pending == 0) {
        if (literal != text[t])
          return false;
        ++p, ++t;
      } else {
        while (t < n && text[t] != literal)
          ++t;
        for (std::size_t k = t; k < n; ++k)
          if (RefMatch(text.substr(k), pattern.substr(literalStart), simple))
            return true;
        return false;
      }
    }
  }
  if (pending > 0)
    t = n;
  while (p < m && pattern[p] == u'*')
    ++p;
  return p == m && t == n;
}

TText RandomText(std::mt19937 &random, TTextView alphabet, std::size_t maxLength) {
  TText text;
  const std::size_t length = random() % (maxLength + 1);
  for (std::size_t i = 0; i < length; ++i)
    text.push_back(alphabet[random() % alphabet.size()]);
  return text;
}

} // namespace

// Random patterns, malformed ones included, against random texts: the matcher agrees
// with the step-by-step reference and never reads outside its inputs.
TEST(Wildcard, RandomInputsAgreeWithTheStepwiseRules) {
  std::mt19937 random(1583);
  const TText textAlphabet = u"abAB-]\\*";
  const TText patternAlphabet = u"ab*?+[]~-\\A";
  int matches = 0;
  for (int round = 0; round < 30000; ++round) {
    const TText text = RandomText(random, textAlphabet, 8);
    const TText pattern = RandomText(random, patternAlphabet, 8);
    const bool simple = random() & 1;
    const bool ignoreCase = random() & 2;
    TText upperText = text, upperPattern = pattern;
    if (ignoreCase) {
      for (char16_t &c : upperText)
        c = WideUpperTable()[c];
      for (char16_t &c : upperPattern)
        c = WideUpperTable()[c];
    }
    const bool matched = MatchWildcard(text, pattern, ignoreCase, simple);
    matches += matched;
    ASSERT_EQ(matched, RefMatch(upperText, upperPattern, simple))
        << "text '" << Narrow(text) << "' pattern '" << Narrow(pattern) << "' simple " << simple
        << " ignoreCase " << ignoreCase;
  }
  // The inputs are varied enough that both answers occur often.
  EXPECT_GT(matches, 500);
  EXPECT_LT(matches, 29000);
}
