#include "core/phonetics/metaphone.h"

#include <gtest/gtest.h>

#include "tests/unit/core/phonetics/code_cases.h"

namespace {

void ExpectCodes(std::initializer_list<TCodeCase> cases) {
  ExpectCodesOf([](TTextView input) { return Metaphone(input); }, cases);
}

} // namespace

TEST(Metaphone, DocumentedExamples) {
  ExpectCodes({
      {u"knight", u"NT"},
      {u"nation", u"NXN"},
      {u"thumb", u"0M"},
      {u"phone", u"FN"},
      {u"xenon", u"SNN"},
      {u"science", u"SSNS"},
      {u"Stadt", u"STTT"},
      {u"Gogo", u"KK"},
  });
}

TEST(Metaphone, TextWithoutLettersGivesEmptyCode) {
  ExpectCodes({{u"1234", u""}, {u"", u""}, {u"-- €", u""}});
}

TEST(Metaphone, InitialAndFinalExceptions) {
  ExpectCodes({
      {u"Aeon", u"EN"},
      {u"Gnome", u"NM"},
      {u"Pneu", u"N"},
      {u"Wright", u"RT"},
      {u"Kn", u"N"},
      {u"A", u"A"},
      {u"X", u"S"},
      {u"S", u"S"},
      {u"Whale", u"WL"},
      {u"Wh", u"H"}, // WH needs three letters
      {u"Cats", u"KT"},
      {u"Bus", u"B"},
  });
}

TEST(Metaphone, VowelsAndDoubledLetters) {
  ExpectCodes({
      {u"Ape", u"AP"},
      {u"Aaron", u"ARN"}, // the initial vowel is coded before the doubling test
      {u"Bubble", u"BBL"},
      {u"Accord", u"ACRT"}, // the second C of CC gives "C"
  });
}

TEST(Metaphone, LetterB) {
  ExpectCodes({{u"Lamb", u"LM"}, {u"Bomb", u"BM"}, {u"Mba", u"MB"}, {u"Ab", u"AB"}});
}

TEST(Metaphone, LetterC) {
  ExpectCodes({
      {u"Ascend", u"ASNT"},
      {u"Acia", u"AX"},
      {u"Cia", u"S"},
      {u"Cent", u"SNT"},
      {u"Cyst", u"SST"},
      {u"Ascho", u"ASK"},
      {u"Schule", u"SXL"},
      {u"Christ", u"KRST"},
      {u"Chat", u"XT"},
      {u"Ach", u"AX"},
      {u"Cat", u"KT"},
  });
}

TEST(Metaphone, LetterD) {
  ExpectCodes({{u"Edge", u"EJ"}, {u"Dog", u"TK"}, {u"Adgo", u"ATK"}});
}

TEST(Metaphone, LettersCodedAsThemselves) {
  ExpectCodes({{u"Fjlmnr", u"FJLMNR"}});
}

TEST(Metaphone, LetterG) {
  ExpectCodes({
      {u"Night", u"NT"},
      {u"Ghost", u"KST"},
      {u"Agh", u"A"},
      {u"Agnedt", u"ANTT"}, // GNED four letters before the end
      {u"Signed", u"SKNT"}, // GNED three letters before the end is coded
      {u"Agnu", u"AN"},     // GN two letters before the end
      {u"Sign", u"SKN"},    // GN at the very end is coded
      {u"Gem", u"JM"},
      {u"Age", u"AJ"},
      {u"Bigger", u"BKR"},
      {u"Go", u"K"},
  });
}

TEST(Metaphone, LetterH) {
  ExpectCodes({{u"Shoe", u"X"}, {u"Aha", u"AH"}, {u"Ah", u"A"}, {u"Hi", u"H"}, {u"Bha", u"BH"}});
}

TEST(Metaphone, LettersKPQ) {
  ExpectCodes({{u"Ack", u"AK"}, {u"Ak", u"AK"}, {u"Pa", u"P"}, {u"Queen", u"KN"}});
}

TEST(Metaphone, LetterS) {
  ExpectCodes({{u"Mission", u"MXN"}, {u"Asia", u"AS"}, {u"Sun", u"SN"}});
}

TEST(Metaphone, LetterT) {
  ExpectCodes({
      {u"Tia", u"X"},
      {u"Three", u"TR"},
      {u"Tea", u"T"},
      {u"Watcher", u"WXR"}, // T before CH is silent far enough from the end
      {u"Match", u"MTX"},
  });
}

TEST(Metaphone, LettersVWXYZ) {
  ExpectCodes({
      {u"Vat", u"FT"},
      {u"Water", u"WTR"},
      {u"Aw", u"A"},
      {u"Wa", u""},
      {u"Yeti", u"YT"},
      {u"Yes", u""},
      {u"Axe", u"AKS"},
      {u"Zoo", u"S"},
  });
}

TEST(Metaphone, LengthIsCheckedBeforeEachLetter) {
  ExpectCodes({
      {u"Ax", u"AKS"},     // X may carry the code one past the limit
      {u"Axn", u"AKS"},    // the limit is reached before N
      {u"a-x-n", u"AKSN"}, // the limit counts every character of the text
  });
}

TEST(Metaphone, FoldsAccentsBeforeCoding) {
  ExpectCodes({{u"Müller", u"MLR"}, {u"Ärger", u"ARJR"}});
}
