#include "core/phonetics/phonet.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/phonetics/phonet_rules.h"
#include "platform/code_page.h"

namespace {

struct TPhonetCase {
  const char16_t *Input;
  const char16_t *First;
  const char16_t *Second;
};

std::string Printable(TTextView text) {
  return platform::TCodePage::FromCharsetName("UTF-8").Encode(text);
}

void ExpectTranscriptions(std::initializer_list<TPhonetCase> cases) {
  for (const auto &c : cases) {
    EXPECT_EQ(Phonet(c.Input, true), c.First) << "first set: " << Printable(c.Input);
    EXPECT_EQ(Phonet(c.Input, false), c.Second) << "second set: " << Printable(c.Input);
  }
}

} // namespace

TEST(Phonet, DocumentedExamples) {
  ExpectTranscriptions({
      {u"Schmied", u"SHMIT", u"ZNIT"},
      {u"Saite", u"SEITE", u"ZEITE"},
      {u"Seite", u"SEITE", u"ZEITE"},
      {u"über", u"ÜBA", u"IBA"},
  });
}

TEST(Phonet, EmptyTextGivesEmptyTranscription) {
  EXPECT_EQ(Phonet(u"", true), u"");
  EXPECT_EQ(Phonet(u"", false), u"");
}

TEST(Phonet, PunctuationRules) {
  ExpectTranscriptions({
      {u"'", u"", u""},
      {u"´", u"", u""},
      {u"`", u"`", u"`"}, // the "$" rule needs a letter before it
      {u"\"", u" ", u" "},
      {u",", u" ", u" "},
      {u"-", u" ", u" "},
      {u" ", u" ", u" "},
      {u".", u".", u"."},
      {u":", u".", u"."},
      {u"::", u".", u"."}, // an immediate repetition is not written
      {u"1,,2", u"1 2", u"1 2"},
  });
}

TEST(Phonet, RuleSetsDifferWhereARuleBelongsToOneSetOnly) {
  // "M" is a rule of the second set only; "MN" replaces both letters by N.
  ExpectTranscriptions({{u"M", u"M", u"N"}, {u"mn", u"N", u"N"}, {u"Ä", u"E", u"E"}});
}

TEST(Phonet, WordStartAndWordEndConditions) {
  ExpectTranscriptions({
      {u"H", u"H", u""},    // "H^" keeps a leading H in the first set only
      {u"1H", u"1H", u"1"}, // a digit is not a letter, so H still starts a word
      {u"H`", u"H", u""},   // "`$" deletes a backtick that ends a word after a letter
      {u"H`H", u"H`H", u"`"},
  });
}

TEST(Phonet, LongerFollowUpRuleMakesTheCurrentRuleStepAside) {
  // "MN" would fit at M, but "NT(SßZ)$" matches on from its N, so M is handled alone
  // and NTS becomes NS (first set) or NZ (second set).
  ExpectTranscriptions({{u"MNTS", u"MNS", u"NZ"}});
}

TEST(Phonet, CharactersAboveLatin1PassThroughWithoutSelectingRules) {
  ExpectTranscriptions({
      {u"€", u"€", u"€"},
      {u"€€1", u"€1", u"€1"},
      // U+0327 shares its low byte with the apostrophe, whose rule deletes it.
      {u"\u0327", u"\u0327", u"\u0327"},
  });
}

TEST(Phonet, TranscriptionNeverExceedsTheInputLength) {
  for (const char16_t *word : {u"x", u"ß", u"Ä", u"Bäckerei-Zubehör", u"Chaos", u"Zyklop",
                               u"Überzug", u"Xaver", u"Quelle", u"Jaguar"}) {
    EXPECT_LE(Phonet(word, true).size(), TTextView(word).size()) << Printable(word);
    EXPECT_LE(Phonet(word, false).size(), TTextView(word).size()) << Printable(word);
  }
}

TEST(PhonetRules, CompiledTableEqualsTheDataFile) {
  const std::string path = std::string(REDEVUVO_SOURCE_DIR) + "/data/phonet_rules_de.tsv";
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << path;
  std::stringstream content;
  content << file.rdbuf();
  const TText text = platform::TCodePage::FromCharsetName("UTF-8").Decode(content.str());

  std::vector<std::array<TText, 3>> rows;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == TText::npos)
      end = text.size();
    const TText line = text.substr(start, end - start);
    start = end + 1;
    const size_t tab1 = line.find(u'\t');
    const size_t tab2 = line.find(u'\t', tab1 + 1);
    ASSERT_NE(tab1, TText::npos) << "row " << rows.size();
    ASSERT_NE(tab2, TText::npos) << "row " << rows.size();
    ASSERT_EQ(line.find(u'\t', tab2 + 1), TText::npos) << "row " << rows.size();
    rows.push_back(
        {line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
  }

  const auto table = PhonetRuleTable();
  ASSERT_EQ(table.size(), rows.size());
  for (size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(table[r].Pattern, rows[r][0]) << "row " << r;
    EXPECT_EQ(table[r].First, rows[r][1]) << "row " << r;
    EXPECT_EQ(table[r].Second, rows[r][2]) << "row " << r;
  }
}

TEST(PhonetRules, TableHas670RulesInTwoSetsAndTheEndMarker) {
  const auto table = PhonetRuleTable();
  ASSERT_EQ(table.size(), 671u);
  EXPECT_EQ(table[670].Pattern, PhonetEndMarker);
  EXPECT_EQ(table[670].First, PhonetEndMarker);
  EXPECT_EQ(table[670].Second, PhonetEndMarker);
  size_t rules = 0, first = 0, second = 0;
  for (const auto &rule : table.first(670)) {
    ASSERT_FALSE(rule.Pattern.empty());
    ASSERT_NE(rule.Pattern, PhonetEndMarker);
    ++rules;
    first += rule.First != PhonetNotInSet;
    second += rule.Second != PhonetNotInSet;
  }
  EXPECT_EQ(rules, 670u);
  EXPECT_EQ(first, 656u);
  EXPECT_EQ(second, 478u);
}

TEST(PhonetRules, TellingRowsAreInPlace) {
  const auto table = PhonetRuleTable();
  struct TRow {
    size_t Row;
    const char16_t *Pattern;
    const char16_t *First;
    const char16_t *Second;
  };
  const TRow rows[] = {
      {0, u"'", u"", u""},
      {2, u"`$", u"", u""},
      {3, u"\"", u" ", u" "},
      {9, u"ÄER-", u"E", u"E"},
      {16, u"ÖVER--<", u"ÖW", u"§"},
      {18, u"ÜBER^^", u"ÜBA", u"IBA"},
      {23, u"ß", u"S", u"Z"},
      {69, u"AUS(ST)-^", u"AUS", u"AUS"},
      {121, u"CH(AEUY)-<^", u"SH", u"Z"},
      {127, u"CH(SßXZ)3", u"X", u"X"},
      {400, u"M", u"§", u"N"},
      {505, u"SCHSCH---7", u"", u""},
      {667, u"ZYK3$", u"ZIK", u"§"},
      {668, u"ZY9^", u"ZÜ", u"§"},
  };
  for (const auto &row : rows) {
    EXPECT_EQ(table[row.Row].Pattern, row.Pattern) << "row " << row.Row;
    EXPECT_EQ(table[row.Row].First, row.First) << "row " << row.Row;
    EXPECT_EQ(table[row.Row].Second, row.Second) << "row " << row.Row;
  }
}
