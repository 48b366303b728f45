#include "core/paths/shorten_path.h"

#include <gtest/gtest.h>
#include "core/paths/path_rules.h"

// These tests spell out the Linux rule set as the native one; on Windows the native
// set is the Windows one, which the Windows-rule tests cover.
#define SKIP_UNLESS_LINUX_NATIVE_RULES()                                                  \
  if (NativePathRules().FSeparator != u'/')                                                 \
  GTEST_SKIP() << "the native path rules of this build are the Windows set"

namespace {

const TText WindowsPath =
    u"C:\\Daten\\Projekte\\2015\\Kunde\\Sehr langer Verzeichnisname\\Unterordner\\datei.txt";

TText ShortenWindowsPath(TTextView path, int maxLength, TShortenMode mode) {
  return ShortenPathWithRules(path, maxLength, mode, u"\\", true);
}

} // namespace

TEST(SplitText, KeepsEmptyPieces) {
  struct {
    TText text, separator;
    TTextList pieces;
  } cases[] = {
      {u"a/b", u"/", {u"a", u"b"}},     {u"/a", u"/", {u"", u"a"}},
      {u"a/", u"/", {u"a", u""}},       {u"a//b", u"/", {u"a", u"", u"b"}},
      {u"abc", u"/", {u"abc"}},         {u"", u"/", {u""}},
      {u"/", u"/", {u"", u""}},         {u"a::b::c", u"::", {u"a", u"b", u"c"}},
      {u"a:::b", u"::", {u"a", u":b"}}, // cut left to right
      {u"a/b", u"", {u"a/b"}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SplitText(c.text, c.separator), c.pieces);
}

TEST(ShortenParts, NonPositiveLimitGivesEmptyText) {
  EXPECT_EQ(ShortenParts(u"a/b/c", 0, TShortenMode::Alternating, u"/"), u"");
  EXPECT_EQ(ShortenParts(u"a/b/c", -5, TShortenMode::Alternating, u"/"), u"");
  EXPECT_EQ(ShortenParts(u"", 0, TShortenMode::Alternating, u"/"), u"");
}

TEST(ShortenParts, TextWithinLimitIsUnchanged) {
  EXPECT_EQ(ShortenParts(u"", 5, TShortenMode::Alternating, u"/"), u"");
  EXPECT_EQ(ShortenParts(u"abc/def", 7, TShortenMode::Alternating, u"/"), u"abc/def");
  EXPECT_EQ(ShortenParts(u"abc/def", 100, TShortenMode::FromBack, u"/"), u"abc/def");
}

TEST(ShortenParts, LastPartAloneWhenMarkerLeavesNoRoom) {
  // length(last) + length(marker) = 8 + 4 = 12
  EXPECT_EQ(ShortenParts(u"aaaa/bbbb/lastname", 12, TShortenMode::Alternating, u"/"), u"lastname");
  EXPECT_EQ(ShortenParts(u"aaaa/bbbb/lastname", 13, TShortenMode::Alternating, u"/"),
            u".../lastname");
  EXPECT_EQ(ShortenParts(u"abc/def", 6, TShortenMode::Alternating, u"/"), u"def");
  // A single part longer than the limit comes back whole.
  EXPECT_EQ(ShortenParts(u"verylongname", 5, TShortenMode::Alternating, u"/"), u"verylongname");
}

TEST(ShortenParts, ModesTakePartsInTheirOrder) {
  struct {
    TShortenMode mode;
    TText result;
  } cases[] = {
      {TShortenMode::FromBack, u"...\\Kunde\\Sehr langer Verzeichnisname\\Unterordner\\datei.txt"},
      {TShortenMode::Alternating,
       u"\\Daten\\...\\Sehr langer Verzeichnisname\\Unterordner\\datei.txt"},
      {TShortenMode::FromFront, u"\\Daten\\Projekte\\2015\\Kunde\\...\\datei.txt"},
      {TShortenMode::NoMiddle, u"...\\datei.txt"},
      // A value outside the named modes keeps no middle part either.
      {static_cast<TShortenMode>(4), u"...\\datei.txt"},
      {static_cast<TShortenMode>(-1), u"...\\datei.txt"},
  };
  TTextView rest = TTextView(WindowsPath).substr(2);
  for (const auto &c : cases)
    EXPECT_EQ(ShortenParts(rest, 61, c.mode, u"\\"), c.result) << static_cast<int>(c.mode);
}

TEST(ShortenParts, FirstPartThatDoesNotFitEndsTheTaking) {
  // "a" and "c" would each fit after "bbbbbbbbbb" was refused.
  EXPECT_EQ(ShortenParts(u"a/bbbbbbbbbb/c/last", 15, TShortenMode::FromBack, u"/"), u".../c/last");
  EXPECT_EQ(ShortenParts(u"a/bbbbbbbbbb/c/last", 15, TShortenMode::FromFront, u"/"), u"a/.../last");
  EXPECT_EQ(ShortenParts(u"a/bbbbbbbbbb/c/last", 15, TShortenMode::Alternating, u"/"),
            u"a/.../c/last");
  // Alternating: the back part is refused, so the fitting "b" at the front is not tried.
  EXPECT_EQ(ShortenParts(u"a/b/cccccccccc/last", 16, TShortenMode::Alternating, u"/"),
            u"a/.../last");
}

TEST(ShortenParts, ResultStaysWithinLimitExactly) {
  // 4 (last) + 4 (marker) + 1 + 1 = 10: "c" fits at exactly the limit, not one below.
  EXPECT_EQ(ShortenParts(u"aa/b/c/last", 10, TShortenMode::FromBack, u"/"), u".../c/last");
  EXPECT_EQ(ShortenParts(u"aa/b/c/last", 9, TShortenMode::FromBack, u"/"), u".../last");
}

TEST(ShortenParts, LongerSeparatorCountsWhole) {
  EXPECT_EQ(ShortenParts(u"a::b::c::d", 8, TShortenMode::FromBack, u"::"), u"...::d");
  EXPECT_EQ(ShortenParts(u"a::b::c::d", 9, TShortenMode::FromBack, u"::"), u"...::c::d");
}

TEST(ShortenPath, DrivePathOf78CharactersShortensTo62) {
  ASSERT_EQ(WindowsPath.size(), 78u);
  TText shortened = ShortenWindowsPath(WindowsPath, 63, TShortenMode::Alternating);
  EXPECT_EQ(shortened, u"C:\\Daten\\...\\Sehr langer Verzeichnisname\\Unterordner\\datei.txt");
  EXPECT_EQ(shortened.size(), 62u);
}

TEST(ShortenPath, PathWithinLimitIsShownUnchanged) {
  TText windows63 = u"C:\\Daten\\Projekte\\Sehr langer Verzeichnisname\\Unterordner\\a.txt";
  ASSERT_EQ(windows63.size(), 63u);
  EXPECT_EQ(ShortenWindowsPath(windows63, 63, TShortenMode::Alternating), windows63);
  TText linux63 = u"/home/benutzer/Projekte/Sehr langer Verzeichnisname/Unter/a.txt";
  ASSERT_EQ(linux63.size(), 63u);
  EXPECT_EQ(ShortenPath(linux63, 63, TShortenMode::Alternating), linux63);
}

TEST(ShortenPath, DriveStepNeedsColonAsSecondCharacterAndRoom) {
  // Colon elsewhere: the whole path is shortened, the drive is not kept apart.
  EXPECT_EQ(ShortenWindowsPath(u"AB:\\dir\\sub\\file.txt", 13, TShortenMode::FromBack),
            u"...\\file.txt");
  // Limit of 2 or less: no drive step.
  EXPECT_EQ(ShortenWindowsPath(u"C:\\dir\\file.txt", 2, TShortenMode::FromBack), u"file.txt");
  // With the drive step the rest gets maxLength - 2.
  EXPECT_EQ(ShortenWindowsPath(u"C:\\dir\\sub\\file.txt", 15, TShortenMode::FromBack),
            u"C:...\\file.txt");
}

TEST(ShortenPath, LinuxPathsUseSlashAndNoDrive) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  TText path =
      u"/home/benutzer/Projekte/2015/Kunde/Sehr langer Verzeichnisname/Unterordner/datei.txt";
  EXPECT_EQ(ShortenPath(path, 63, TShortenMode::Alternating),
            u"/home/.../Sehr langer Verzeichnisname/Unterordner/datei.txt");
  // A colon is an ordinary character: "C:" is not kept apart.
  EXPECT_EQ(ShortenPath(u"C:/dir/sub/file.txt", 14, TShortenMode::FromBack), u".../file.txt");
  // Backslashes are not separators here.
  EXPECT_EQ(ShortenPath(u"a\\b\\c\\d", 5, TShortenMode::FromBack), u"a\\b\\c\\d");
}
