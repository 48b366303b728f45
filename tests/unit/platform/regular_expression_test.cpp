#include "platform/regular_expression.h"

#include <gtest/gtest.h>

#include <string>

using platform::TRegexSearchResult;
using platform::TRegularExpression;

TEST(RegularExpression, OptionsDecideCaseAndLineBreaks) {
  struct TCase {
    const char16_t *Pattern;
    bool IgnoreCase;
    bool DotAll;
    const char16_t *Subject;
    TRegexSearchResult Expected;
  };
  const TCase cases[] = {
      {u"^a.c$", false, false, u"abc", TRegexSearchResult::Match},
      {u"^a.c$", false, false, u"ABC", TRegexSearchResult::NoMatch},
      {u"^a.c$", true, false, u"ABC", TRegexSearchResult::Match},
      {u"^a.c$", true, false, u"a\nc", TRegexSearchResult::NoMatch},
      {u"^a.c$", true, true, u"a\nc", TRegexSearchResult::Match},
      // Unanchored: a match anywhere.
      {u"nan", true, true, u"BANANA", TRegexSearchResult::Match},
      // Case folding beyond ASCII, and "." takes a whole character outside the BMP.
      {u"^\u00e4rger$", true, true, u"\u00c4RGER", TRegexSearchResult::Match},
      {u"^.$", true, true, u"\U0001F600", TRegexSearchResult::Match},
      {u"", true, true, u"", TRegexSearchResult::Match},
      {u"x", true, true, u"", TRegexSearchResult::NoMatch},
  };
  for (const TCase &c : cases) {
    auto expression = TRegularExpression::Compile(c.Pattern, c.IgnoreCase, c.DotAll);
    ASSERT_TRUE(expression.has_value());
    EXPECT_EQ(expression->Search(c.Subject), c.Expected)
        << std::string(c.Pattern, c.Pattern + std::char_traits<char16_t>::length(c.Pattern));
  }
}

TEST(RegularExpression, PatternThatDoesNotCompileGivesNothing) {
  for (const char16_t *pattern : {u"(", u"[z-a]", u"a{2,1}", u"\\", u"(?<", u"\xD800"})
    EXPECT_FALSE(TRegularExpression::Compile(pattern, true, true).has_value());
}

TEST(RegularExpression, SubjectWithLoneSurrogateIsSearchedNotRefused) {
  auto expression = TRegularExpression::Compile(u"b", true, true);
  ASSERT_TRUE(expression.has_value());
  EXPECT_EQ(expression->Search(std::u16string(u"a\xD800") + u"b"), TRegexSearchResult::Match);
}

TEST(RegularExpression, RunawayBacktrackingIsAnError) {
  auto expression = TRegularExpression::Compile(u"(a|aa)*c", true, true);
  ASSERT_TRUE(expression.has_value());
  const std::u16string subject = std::u16string(40, u'a') + u"bc";
  EXPECT_EQ(expression->Search(subject), TRegexSearchResult::Error);
  // The same expression still works on an ordinary subject afterwards.
  EXPECT_EQ(expression->Search(u"aac"), TRegexSearchResult::Match);
}
