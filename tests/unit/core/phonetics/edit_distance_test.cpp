#include "core/phonetics/edit_distance.h"

#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "core/text/fold_text.h"

namespace {

struct TDistanceCase {
  const char16_t *A;
  const char16_t *B;
  size_t Expected;
};

// The whole (n + 1) x (m + 1) table, to check the two-row version against.
size_t FullTableDistance(TTextView a, TTextView b) {
  const TText x = FoldText(a), y = FoldText(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i)
    d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j)
    d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i)
    for (size_t j = 1; j <= y.size(); ++j)
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (x[i - 1] == y[j - 1] ? 0 : 1)});
  return d[x.size()][y.size()];
}

} // namespace

TEST(EditDistance, DocumentedExamples) {
  const TDistanceCase cases[] = {
      {u"kitten", u"sitting", 3}, {u"flaw", u"lawn", 2},
      {u"aaa", u"a", 2},          {u"ab", u"ba", 2},
      {u"Müller", u"MULLER", 0},  {u"Café", u"cafe", 0},
      {u"Straße", u"Strasse", 1}, {u"", u"abc", 3},
      {u"abc", u"", 3},           {u"", u"", 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(EditDistance(c.A, c.B), c.Expected) << "case " << (&c - cases);
}

TEST(EditDistance, UnfoldedAccentsCountAsDifferentCharacters) {
  EXPECT_EQ(EditDistance(u"Ë", u"E"), 1u);
  EXPECT_EQ(EditDistance(u"Noël", u"NOEL"), 1u);
  EXPECT_EQ(EditDistance(u"Ñ", u"ñ"), 0u);
}

TEST(EditDistance, AgreesWithTheFullTableInBothArgumentOrders) {
  std::mt19937 random(20240611);
  const TText alphabet = u"abcAäÄßs e";
  for (int round = 0; round < 300; ++round) {
    TText a, b;
    for (unsigned n = random() % 12; n > 0; --n)
      a += alphabet[random() % alphabet.size()];
    for (unsigned n = random() % 12; n > 0; --n)
      b += alphabet[random() % alphabet.size()];
    const size_t expected = FullTableDistance(a, b);
    EXPECT_EQ(EditDistance(a, b), expected) << "round " << round;
    EXPECT_EQ(EditDistance(b, a), expected) << "round " << round;
  }
}

// Speed is measured by bench/phonetics_bench.lua; here only the results on long texts.
TEST(EditDistance, LongTextsGiveExactDistances) {
  TText a(10000, u'a'), b(10000, u'a');
  for (size_t p = 0; p < b.size(); p += 10)
    b[p] = u'b';
  EXPECT_EQ(EditDistance(a, b), 1000u);
  EXPECT_EQ(EditDistance(TText(10000, u'x'), u"yx"), 9999u);
}
