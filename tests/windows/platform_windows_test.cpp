// The Windows platform layer against the system (run under Wine, whose ANSI code
// page is 1252 with the test runner's German LANG).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/locale_collation.h"
#include "platform/unicode_case.h"
#include "platform/windows/win32_text.h"

namespace {

bool AnsiPageIs1252() {
  return BytesToText("\x80") == u"\u20AC";
}

} // namespace

TEST(WindowsPlatform, TickCountAdvancesFromSystemStart) {
  const std::uint64_t first = platform::TickCount();
  EXPECT_GT(first, 0u);
  EXPECT_GE(platform::TickCount(), first);
}

// A file name reaches the system only when it comes back as the same bytes: a
// best-fit substitute ("a" for "ā") could name a different, existing file.
TEST(WindowsPlatform, FileNamesRoundTripThroughTheAnsiPageOrAreRefused) {
  if (!AnsiPageIs1252())
    GTEST_SKIP() << "the cases are written for ANSI code page 1252";
  const struct {
    std::wstring Wide;
    std::optional<std::string> Bytes;
  } cases[] = {
      {L"plain.txt", "plain.txt"},
      {L"\u00C4rger \u20AC.txt", "\xC4rger \x80.txt"},
      {L"\u0101.txt", std::nullopt}, // best fit would give "a.txt"
      {L"\u4E2D.txt", std::nullopt}, // no such character in the page
      {L"\uFF21.txt", std::nullopt}, // full-width A, best fit "A"
  };
  for (const auto &c : cases) {
    EXPECT_EQ(platform::win32::NarrowName(c.Wide), c.Bytes);
    if (c.Bytes) {
      EXPECT_EQ(platform::win32::WideName(*c.Bytes), c.Wide);
    }
  }
  EXPECT_EQ(platform::win32::WideName(std::string("a\0b", 3)), std::nullopt);
}

// Messages go out in the OEM code page: each character becomes its OEM byte, read
// back as an ANSI character so that writing it through the ANSI page gives that byte.
// German letters have the same places in the DOS pages 437 and 850.
TEST(WindowsPlatform, MessagesAreConvertedToTheOemCodePage) {
  if (!AnsiPageIs1252())
    GTEST_SKIP() << "the cases are written for ANSI code page 1252";
  EXPECT_EQ(TextToBytes(platform::ToOemText(u"\u00E4\u00F6\u00FC\u00DF\u00C4 ok")),
            "\x84\x94\x81\xE1\x8E ok");
  EXPECT_EQ(platform::ToOemText(u""), u"");
  EXPECT_STREQ(platform::ConsoleLineEnd, "\r\n");
}

TEST(WindowsPlatform, CaseMappingIsOneUnitToOneUnit) {
  const struct {
    char16_t Unit, Upper, Lower;
  } cases[] = {
      {u'a', u'A', u'a'},           {u'\u00E4', u'\u00C4', u'\u00E4'},
      {u'\u00C4', u'\u00C4', u'\u00E4'}, {u'\u00DF', u'\u00DF', u'\u00DF'}, // no "SS" in one unit
      {u'\u03C9', u'\u03A9', u'\u03C9'}, {u'1', u'1', u'1'},
      {u'\xD83D', u'\xD83D', u'\xD83D'}, // a surrogate stays as it is
  };
  for (const auto &c : cases) {
    EXPECT_EQ(platform::UpperCaseUnit(c.Unit), c.Upper) << int(c.Unit);
    EXPECT_EQ(platform::LowerCaseUnit(c.Unit), c.Lower) << int(c.Unit);
  }
}

// CompareStringW with the user's locale: letters before their case, umlauts beside
// their base letter, not after "z" as in code-unit order.
TEST(WindowsPlatform, LocaleComparisonFollowsTheUsersLocale) {
  const struct {
    std::u16string A, B;
    bool IgnoreCase;
    int Sign;
  } cases[] = {
      {u"a", u"B", true, -1},           {u"a", u"B", false, -1},
      {u"\u00E4", u"\u00C4", true, 0},  {u"\u00E4", u"\u00C4", false, -1},
      {u"\u00E4", u"b", false, -1},     {u"Stra\u00DFe", u"STRASSE", true, 0},
      {u"abc", u"abc", false, 0},       {u"", u"a", false, -1},
  };
  for (const auto &c : cases) {
    const int result = platform::CompareTextLocale(c.A, c.B, c.IgnoreCase);
    EXPECT_EQ((result > 0) - (result < 0), c.Sign)
        << testing::PrintToString(c.A) << " " << testing::PrintToString(c.B);
    const int reverse = platform::CompareTextLocale(c.B, c.A, c.IgnoreCase);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.Sign);
  }
}
