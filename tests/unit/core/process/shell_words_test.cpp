#include "core/process/shell_words.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

TEST(ShellWords, CommandLineSplitsLikeAShellWithoutExpansion) {
  const struct {
    TText Text;
    TTextList Words;
  } cases[] = {
      {u"", {}},
      {u"   \t ", {}},
      {u"a b", {u"a", u"b"}},
      {u"  a \t\r\n b  ", {u"a", u"b"}},
      {u"\"a b\" c", {u"a b", u"c"}},
      {u"'a b' c", {u"a b", u"c"}},
      // Quoted parts join what surrounds them into one word.
      {u"x\"a b\"y'c d'z", {u"xa byc dz"}},
      // Empty quotes make an empty word, and only then.
      {u"\"\" ''", {u"", u""}},
      {u"a \"\" b", {u"a", u"", u"b"}},
      // One kind of quote is ordinary text inside the other.
      {u"\"it's\" 'say \"hi\"'", {u"it's", u"say \"hi\""}},
      // Single quotes take a backslash literally.
      {u"'a\\b'", {u"a\\b"}},
      // In double quotes a backslash escapes only " \ $ `.
      {u"\"a\\\"b\" \"c\\\\d\" \"e\\nf\" \"\\$\\`\"", {u"a\"b", u"c\\d", u"e\\nf", u"$`"}},
      // Outside quotes a backslash takes the next character as it is.
      {u"a\\ b c\\\"d \\'", {u"a b", u"c\"d", u"'"}},
      {u"end\\", {u"end\\"}},
      // A quote left open runs to the end.
      {u"a \"b c", {u"a", u"b c"}},
      {u"a 'b c", {u"a", u"b c"}},
      {u"'", {u""}},
      {u"$HOME *.txt ~", {u"$HOME", u"*.txt", u"~"}},
      {u"\u00FC\u00E4 \u00F6", {u"\u00FC\u00E4", u"\u00F6"}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SplitShellWords(c.Text), c.Words) << TextToBytes(c.Text);
}
