#include "core/text/fold_text.h"

#include <array>

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace {

struct TFoldCase {
  const char16_t *Input;
  const char16_t *Expected;
};

// Upper case of the ISO-8859-1 page, as the code page would give it.
std::array<unsigned char, 256> Latin1UpperTable() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
    t[b] = static_cast<unsigned char>(lower ? b - 0x20 : b);
  }
  return t;
}

TBytes Latin1FoldBytes(TBytesView s) {
  static const std::array<unsigned char, 256> upper = Latin1UpperTable();
  return FoldBytesWith(s, upper.data(), true);
}

} // namespace

TEST(FoldText, UpperCasesAndFoldsTheListedAccents) {
  const TFoldCase cases[] = {
      {u"àáâä", u"AAAA"},     {u"ÀÁÂÄ", u"AAAA"}, {u"òóôö", u"OOOO"}, {u"ÒÓÔÖ", u"OOOO"},
      {u"ùúûü", u"UUUU"},     {u"ÙÚÛÜ", u"UUUU"}, {u"èéê", u"EEE"},   {u"ÈÉÊ", u"EEE"},
      {u"ìíî", u"III"},       {u"ÌÍÎ", u"III"},   {u"ß", u"S"},       {u"Straße", u"STRASE"},
      {u"Müller", u"MULLER"}, {u"", u""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FoldText(c.Input), c.Expected) << "input index " << (&c - cases);
}

TEST(FoldText, KeepsOtherAccentedLettersAfterUpperCasing) {
  EXPECT_EQ(FoldText(u"ãåçëïñõøÿ"), u"ÃÅÇËÏÑÕØŸ");
  EXPECT_EQ(FoldText(u"ẞ"), u"ẞ"); // capital sharp s is not in the folding table
}

TEST(FoldText, KeepsTheLengthAndCharactersOutsideTheTables) {
  const TText input = u"a€1 \U0001F600z";
  const TText folded = FoldText(input);
  EXPECT_EQ(folded.size(), input.size());
  EXPECT_EQ(folded, u"A€1 \U0001F600Z");
}

TEST(FoldBytes, EmptyInputGivesEmptyResult) {
  EXPECT_EQ(FoldBytes(""), "");
}

TEST(FoldBytes, SingleBytePageFoldsTheDocumentedExamples) {
  EXPECT_EQ(Latin1FoldBytes("Gr\xF6\xDF"
                            "e"),
            "GROSE");
  EXPECT_EQ(Latin1FoldBytes("Cr\xE8me br\xFBl\xE9"
                            "e"),
            "CREME BRULEE");
  EXPECT_EQ(Latin1FoldBytes("\xF1"), "\xD1"); // ñ only upper-cased
}

TEST(FoldBytes, SingleBytePageFoldsEveryListedByte) {
  struct TByteCase {
    int Byte;
    char Expected;
  };
  const TByteCase cases[] = {
      {192, 'A'},
      {193, 'A'},
      {194, 'A'},
      {196, 'A'},
      {210, 'O'},
      {211, 'O'},
      {212, 'O'},
      {214, 'O'},
      {217, 'U'},
      {218, 'U'},
      {219, 'U'},
      {220, 'U'},
      {200, 'E'},
      {201, 'E'},
      {202, 'E'},
      {204, 'I'},
      {205, 'I'},
      {206, 'I'},
      {223, 'S'},
      {228, 'A'},
      {246, 'O'},
      {252, 'U'},
      {233, 'E'},
      {238, 'I'},
      {'a', 'A'},
      {'z', 'Z'},
      {'1', '1'},
      // Neighbours of the folded letters stay as upper-cased.
      {195, '\xC3'},
      {197, '\xC5'},
      {199, '\xC7'},
      {203, '\xCB'},
      {207, '\xCF'},
      {209, '\xD1'},
      {213, '\xD5'},
      {216, '\xD8'},
      {221, '\xDD'},
      {255, '\xFF'},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Latin1FoldBytes(TBytes(1, static_cast<char>(c.Byte))), TBytes(1, c.Expected))
        << "byte " << c.Byte;
}

TEST(FoldBytes, KeepsTheLengthOfEveryByteString) {
  TBytes all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(Latin1FoldBytes(all).size(), 256u);
  EXPECT_EQ(FoldBytes(all).size(), 256u);
  EXPECT_EQ(FoldBytes(TBytes(3, '\0')), TBytes(3, '\0'));
}

TEST(FoldBytes, Utf8PageUpperCasesAsciiAndKeepsMultiByteCharactersIntact) {
  if (!platform::AnsiCodePage().IsUtf8())
    GTEST_SKIP() << "needs a UTF-8 locale";
  // "Größe": the bytes of ö and ß stay as they are.
  EXPECT_EQ(FoldBytes("Gr\xC3\xB6\xC3\x9F"
                      "e"),
            "GR\xC3\xB6\xC3\x9F"
            "E");
  // Lead bytes 0xC2, 0xC4, 0xCE would fold to letters and break "°", "Č" and "Ω".
  EXPECT_EQ(FoldBytes("\xC2\xB0"
                      "c \xC4\x8C"
                      "e \xCE\xA9"),
            "\xC2\xB0"
            "C \xC4\x8C"
            "E \xCE\xA9");
}
