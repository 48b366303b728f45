#include "platform/code_page.h"
#include "platform/code_page_system.h"

#include <gtest/gtest.h>

using platform::TCodePage;

TEST(CodePage, Utf8RoundTripsValidText) {
  TCodePage page = TCodePage::FromCharsetName("UTF-8");
  ASSERT_TRUE(page.IsUtf8());
  std::string bytes = "Stra\xC3\x9F"
                      "e \xF0\x9F\x98\x80";
  std::u16string text = page.Decode(bytes);
  EXPECT_EQ(text, u"Straße \U0001F600");
  EXPECT_EQ(page.Encode(text), bytes);
}

TEST(CodePage, InvalidUtf8DecodesToReplacementCharacters) {
  TCodePage page = TCodePage::FromCharsetName("utf8");
  struct {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xC3", u"\uFFFD"}, // truncated at the end
      {"\xE2\x82"
       "x",
       u"\uFFFDx"},                            // one U+FFFD for the maximal subpart
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate is not valid UTF-8
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong
  };
  for (const auto &c : cases)
    EXPECT_EQ(page.Decode(c.bytes), c.text) << c.bytes;
}

TEST(CodePage, LoneSurrogateEncodesAsReplacementCharacter) {
  TCodePage page = TCodePage::FromCharsetName("UTF-8");
  EXPECT_EQ(page.Encode(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(CodePage, SingleBytePageMapsEveryByteAndBack) {
  TCodePage page = TCodePage::FromCharsetName("ISO-8859-15");
  ASSERT_FALSE(page.IsUtf8());
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(char(b));
  EXPECT_EQ(page.Encode(page.Decode(all)), all);
  EXPECT_EQ(page.Decode("\xA4"), u"€");
  EXPECT_EQ(page.Encode(u"€ß\u4E2D"), "\xA4\xDF?");
}

TEST(CodePage, UnknownOrMultiByteCharsetFallsBackToUtf8) {
  EXPECT_TRUE(TCodePage::FromCharsetName("no-such-charset").IsUtf8());
  EXPECT_TRUE(TCodePage::FromCharsetName("EUC-JP").IsUtf8());
  EXPECT_TRUE(TCodePage::FromCharsetName("").IsUtf8());
  EXPECT_FALSE(TCodePage::FromCharsetName("CP1252").IsUtf8());
}

TEST(CodePage, CharsetComesFromFirstNonEmptyLocaleVariable) {
  struct {
    const char *all, *ctype, *lang, *charset;
  } cases[] = {
      {"", "", "de_DE.ISO-8859-15", "ISO-8859-15"},
      {"C.utf8", "de_DE.CP1252", "", "utf8"},
      {"", "de_DE.CP1252@euro", "en_US.UTF-8", "CP1252"},
      {"C", "de_DE.CP1252", "", ""},
      {"", "", "", ""},
  };
  for (const auto &c : cases) {
    setenv("LC_ALL", c.all, 1);
    setenv("LC_CTYPE", c.ctype, 1);
    setenv("LANG", c.lang, 1);
    EXPECT_EQ(platform::CharsetFromEnvironment(), c.charset);
  }
  unsetenv("LC_CTYPE");
  setenv("LC_ALL", "C.UTF-8", 1);
}

TEST(CodePage, LosslessRoundTripKeepsEveryByteInEveryPage) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(char(b));
  std::string samples[] = {all, "\xED\xB2\x80 encoded surrogate", "ok \xC3\xA4 \xFF\xC3", ""};
  for (const char *name : {"UTF-8", "CP1252", "ISO-8859-15"}) {
    TCodePage page = TCodePage::FromCharsetName(name);
    for (const std::string &bytes : samples)
      EXPECT_EQ(page.EncodeLossless(page.DecodeLossless(bytes)), bytes) << name;
  }
  TCodePage utf8 = TCodePage::FromCharsetName("UTF-8");
  EXPECT_EQ(utf8.DecodeLossless("a\xFF"), std::u16string(u"a") + char16_t(0xDCFF));
  EXPECT_EQ(utf8.DecodeLossless("\xC3\xA4"), u"ä");
}
