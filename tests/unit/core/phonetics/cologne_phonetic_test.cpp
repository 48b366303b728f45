#include "core/phonetics/cologne_phonetic.h"

#include <gtest/gtest.h>

#include "tests/unit/core/phonetics/code_cases.h"

namespace {

void ExpectCodes(std::initializer_list<TCodeCase> cases) {
  ExpectCodesOf([](TTextView input) { return ColognePhonetic(input); }, cases);
}

} // namespace

TEST(ColognePhonetic, DocumentedExamples) {
  ExpectCodes({
      {u"Bäckerei-Zubehör", u"147817"},
      {u"Saite", u"82"},
      {u"Seite", u"82"},
      {u"Xylophon", u"48536"},
      {u"Straße", u"8278"},
      {u"Wasserkocher", u"38747"},
      {u"Gogo", u"4"},
      {u"Ei Ohr", u"0 7"},
      {u"  Ente ", u"062 "},
  });
}

TEST(ColognePhonetic, EmptyTextGivesEmptyCode) {
  EXPECT_EQ(ColognePhonetic(u""), u"");
}

TEST(ColognePhonetic, PlainLettersHaveFixedCodes) {
  ExpectCodes({
      {u"A", u"0"}, {u"E", u"0"}, {u"I", u"0"}, {u"J", u"0"}, {u"O", u"0"},  {u"U", u"0"},
      {u"Y", u"0"}, {u"B", u"1"}, {u"F", u"3"}, {u"V", u"3"}, {u"W", u"3"},  {u"G", u"4"},
      {u"K", u"4"}, {u"Q", u"4"}, {u"L", u"5"}, {u"M", u"6"}, {u"N", u"6"},  {u"R", u"7"},
      {u"S", u"8"}, {u"Z", u"8"}, {u"H", u""},  {u"b", u"1"}, {u"Ha", u"0"},
  });
}

TEST(ColognePhonetic, CAtWordStartIsHardOnlyBeforeListedLetters) {
  ExpectCodes({
      {u"Ca", u"4"},
      {u"Ch", u"4"},
      {u"Ck", u"4"},
      {u"Cl", u"45"},
      {u"Co", u"4"},
      {u"Cq", u"4"},
      {u"Cr", u"47"},
      {u"Cu", u"4"},
      {u"Cx", u"48"},
      {u"Ce", u"8"},
      {u"Ci", u"8"},
      {u"Cz", u"8"},
      {u"C", u"8"},
      // A non-letter before the C starts a new word.
      {u"a-Cl", u"045"},
      {u"a Cl", u"0 45"},
  });
}

TEST(ColognePhonetic, CInsideAWordDependsOnNeighbours) {
  ExpectCodes({
      {u"aCl", u"085"}, // L is hard only at a word start
      {u"Asca", u"08"}, // after S soft even before A
      {u"Azca", u"08"}, // after Z likewise
      {u"Aca", u"04"},
      {u"Ach", u"04"},
      {u"Ack", u"04"},
      {u"Aco", u"04"},
      {u"Acq", u"04"},
      {u"Acu", u"04"},
      {u"Acx", u"048"},
      {u"Ace", u"08"},
      {u"Ac", u"08"},
      {u"Ac!", u"08"},
  });
}

TEST(ColognePhonetic, DAndTAreSoftBeforeCSAndZ) {
  ExpectCodes({
      {u"Dc", u"8"},
      {u"Ds", u"8"},
      {u"Dz", u"8"},
      {u"Tc", u"8"},
      {u"Ts", u"8"},
      {u"Tz", u"8"},
      {u"Da", u"2"},
      {u"Ta", u"2"},
      {u"At", u"02"},
  });
}

TEST(ColognePhonetic, PBeforeHSoundsLikeF) {
  ExpectCodes({{u"Ph", u"3"}, {u"Pa", u"1"}, {u"Pf", u"13"}});
}

TEST(ColognePhonetic, XGivesTwoDigitsUnlessAfterCKOrQ) {
  ExpectCodes({
      {u"Kx", u"48"},
      {u"Qx", u"48"},
      {u"Ax", u"048"},
      {u"Lx", u"548"},
      {u"Xaver", u"4837"},
      // Each digit of X is compared with the last kept digit: the 4 merges with G's.
      {u"Gx", u"48"},
  });
}

TEST(ColognePhonetic, WhiteSpaceSeparatesWordsAndOtherSymbolsVanish) {
  ExpectCodes({
      {u"a\tb", u"0 1"},
      {u"a\nb", u"0 1"},
      {u"a\vb", u"0 1"},
      {u"a\fb", u"0 1"},
      {u"a\rb", u"0 1"},
      {u"a b", u"0 1"},
      {u"a  \t b", u"0 1"},
      {u"a\x08"
       "b",
       u"01"},
      {u"a\x0E"
       "b",
       u"01"},
      {u"a1b", u"01"},
      {u"a\x01"
       "b",
       u"01"},
      {u"a  ", u"0 "},
      {u"  ", u""},
      {u"€uro", u"07"},
  });
}

TEST(ColognePhonetic, CollapseComparesWithTheLastKeptCode) {
  ExpectCodes({
      {u"Oma Otto", u"06 2"},  // only the very first code may be 0
      {u"Anna Anna", u"06 6"}, // a space ends a run of equal codes
      {u"Mann Nase", u"6 68"},
      {u"Ohr", u"07"},
      {u"Édith", u"02"}, // D and T merge across the dropped 0
  });
}

TEST(ColognePhonetic, FoldsAccentsAndSharpS) {
  ExpectCodes({{u"Ärger", u"0747"}, {u"Öl", u"05"}, {u"Fuß", u"38"}});
}
