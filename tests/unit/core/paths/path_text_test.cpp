#include "core/paths/path_text.h"

#include <gtest/gtest.h>

#include "core/paths/path_expand.h"
#include "platform/code_page.h"
#include "core/paths/path_rules.h"

// These tests spell out the Linux rule set as the native one; on Windows the native
// set is the Windows one, which the Windows-rule tests cover.
#define SKIP_UNLESS_LINUX_NATIVE_RULES()                                                  \
  if (NativePathRules().FSeparator != u'/')                                                 \
  GTEST_SKIP() << "the native path rules of this build are the Windows set"

namespace {

const TPathRules &Win = WindowsPathRules();
const TPathRules &Nix = NativePathRules();

struct TSplitCase {
  TText path, directory, prefix, fileName, drive, extension;
};

TEST(PathText, WindowsRulesTakePathsApart) {
  const TSplitCase cases[] = {
      {u"C:\\dir\\file.txt", u"C:\\dir", u"C:\\dir\\", u"file.txt", u"C:", u".txt"},
      {u"C:\\file.txt", u"C:\\", u"C:\\", u"file.txt", u"C:", u".txt"},
      {u"C:\\", u"C:\\", u"C:\\", u"", u"C:", u""},
      {u"dir\\", u"dir", u"dir\\", u"", u"", u""},
      {u"C:file", u"C:", u"C:", u"file", u"C:", u""},
      {u"C:name", u"C:", u"C:", u"name", u"C:", u""},
      {u"file.txt", u"", u"", u"file.txt", u"", u".txt"},
      {u"f", u"", u"", u"f", u"", u""},
      {u"\\\\server\\share\\f", u"\\\\server\\share", u"\\\\server\\share\\", u"f",
       u"\\\\server\\share", u""},
      {u"\\\\server\\share\\dir\\f", u"\\\\server\\share\\dir", u"\\\\server\\share\\dir\\", u"f",
       u"\\\\server\\share", u""},
      {u"\\\\server\\share", u"\\\\server", u"\\\\server\\", u"share", u"\\\\server\\share", u""},
      {u"\\\\server", u"\\\\", u"\\\\", u"server", u"\\\\server", u""},
      {u"dir.x\\file", u"dir.x", u"dir.x\\", u"file", u"", u""},
      {u"file.", u"", u"", u"file.", u"", u"."},
      {u"C:\\d\\archive.tar.gz", u"C:\\d", u"C:\\d\\", u"archive.tar.gz", u"C:", u".gz"},
      {u"C:.ext", u"C:", u"C:", u".ext", u"C:", u".ext"},
      {u"\\\\", u"\\\\", u"\\\\", u"", u"\\\\", u""},
      {u"a/b.c", u"", u"", u"a/b.c", u"", u".c"}, // the slash is no separator in texts
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path));
    EXPECT_EQ(PathDirectory(c.path, Win), c.directory);
    EXPECT_EQ(PathDirectoryPrefix(c.path, Win), c.prefix);
    EXPECT_EQ(PathFileName(c.path, Win), c.fileName);
    EXPECT_EQ(PathDrive(c.path, Win), c.drive);
    EXPECT_EQ(PathExtension(c.path, Win), c.extension);
  }
}

TEST(PathText, NativeRulesTakePathsApartAtSlashOnly) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  const TSplitCase cases[] = {
      {u"/usr/x.txt", u"/usr", u"/usr/", u"x.txt", u"", u".txt"},
      {u"/x", u"/", u"/", u"x", u"", u""},
      {u"/", u"/", u"/", u"", u"", u""},
      {u"dir/", u"dir", u"dir/", u"", u"", u""},
      {u"a//b", u"a//", u"a//", u"b", u"", u""},
      {u"f", u"", u"", u"f", u"", u""},
      {uR"(C:\dir\f.txt)", u"", u"", uR"(C:\dir\f.txt)", u"", u".txt"},
      {u"C:name", u"", u"", u"C:name", u"", u""},
      {u"//server/share/f", u"//server/share", u"//server/share/", u"f", u"", u""},
      {u"dir.x/file", u"dir.x", u"dir.x/", u"file", u"", u""},
      {u"/home/u/.profile", u"/home/u", u"/home/u/", u".profile", u"", u".profile"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path));
    EXPECT_EQ(PathDirectory(c.path), c.directory);
    EXPECT_EQ(PathDirectoryPrefix(c.path), c.prefix);
    EXPECT_EQ(PathFileName(c.path), c.fileName);
    EXPECT_EQ(PathDrive(c.path), c.drive);
    EXPECT_EQ(PathExtension(c.path), c.extension);
  }
}

TEST(PathText, ChangeExtensionUsesTheGivenTextUnchanged) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText path, extension, windows, native;
  } cases[] = {
      {u"a.txt", u".bak", u"a.bak", u"a.bak"},
      {u"a", u".bak", u"a.bak", u"a.bak"},
      {u"a.txt", u"bak", u"abak", u"abak"},
      {u"a.txt", u"", u"a", u"a"},
      {u".profile", u"", u"", u""},
      {u"file.", u".x", u"file.x", u"file.x"},
      {uR"(dir.x\file)", u".y", uR"(dir.x\file.y)", u"dir.y"},
      {u"dir.x/file", u".y", u"dir.y", u"dir.x/file.y"},
      {u"C:name", u".y", u"C:name.y", u"C:name.y"},
      {u"C:a.b", u"", u"C:a", u"C:a"},
      {u"C:.b", u"", u"C:", u"C:"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path + u" " + c.extension));
    EXPECT_EQ(PathChangeExtension(c.path, c.extension, Win), c.windows);
    EXPECT_EQ(PathChangeExtension(c.path, c.extension), c.native);
  }
}

TEST(PathText, FileNameWithoutExtensionOfArchive) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  // The script library's filename(): name of the path, less its extension.
  TText path = uR"(C:\d\archive.tar.gz)";
  EXPECT_EQ(PathChangeExtension(PathFileName(path, Win), u"", Win), u"archive.tar");
  EXPECT_EQ(PathChangeExtension(PathFileName(u"/d/archive.tar.gz"), u""), u"archive.tar");
}

TEST(PathText, DirPrefixMakesDirectoryReadyForAName) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText directory, windows, native;
  } cases[] = {
      {u"", u"", u""},
      {u"c", uR"(c:\)", u"c/"},
      {u"Z", uR"(Z:\)", u"Z/"},
      {u"1", uR"(1\)", u"1/"},
      {u"C:", u"C:", u"C:/"},
      {uR"(C:\)", uR"(C:\)", uR"(C:\/)"},
      {uR"(C:\dir)", uR"(C:\dir\)", uR"(C:\dir/)"},
      {u"/", uR"(/\)", u"/"},
      {u"dir/", uR"(dir/\)", u"dir/"},
      {u"ab", uR"(ab\)", u"ab/"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.directory));
    EXPECT_EQ(DirPrefix(c.directory, Win), c.windows);
    EXPECT_EQ(DirPrefix(c.directory), c.native);
  }
}

TEST(PathText, JoinDirNameJoinsOrStripsOneTrailingSeparator) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText directory, name, expected;
    const TPathRules *rules;
  } cases[] = {
      {u"", u"f.txt", u"f.txt", &Win},
      {uR"(C:\dir\)", u"", uR"(C:\dir)", &Win},
      {uR"(C:\dir\\)", u"", uR"(C:\dir\)", &Win},
      {uR"(C:\)", u"", uR"(C:\)", &Win},
      {uR"(ab\)", u"", uR"(ab\)", &Win}, // three characters are never shortened
      {uR"(C:\dir)", u"name", uR"(C:\dir\name)", &Win},
      {u"C:", u"name", u"C:name", &Win},
      {u"c", u"name", uR"(c:\name)", &Win},
      {u"", u"f.txt", u"f.txt", &Nix},
      {u"/", u"", u"/", &Nix},
      {u"/", u"f", u"/f", &Nix},
      {u"a/", u"", u"a", &Nix},
      {u"/usr/", u"", u"/usr", &Nix},
      {u"/usr", u"bin", u"/usr/bin", &Nix},
      {u"/usr/", u"bin", u"/usr/bin", &Nix},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.directory + u"|" + c.name));
    EXPECT_EQ(JoinDirName(c.directory, c.name, *c.rules), c.expected);
  }
  EXPECT_EQ(JoinDirName(u"/tmp", u"x"), u"/tmp/x");
}

TEST(PathText, TrailingSeparatorHelpers) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  EXPECT_EQ(WithTrailingSeparator(u"", Win), uR"(\)");
  EXPECT_EQ(WithTrailingSeparator(uR"(C:\d)", Win), uR"(C:\d\)");
  EXPECT_EQ(WithTrailingSeparator(uR"(C:\d\)", Win), uR"(C:\d\)");
  EXPECT_EQ(WithTrailingSeparator(u"C:", Win), uR"(C:\)");
  EXPECT_EQ(WithoutTrailingSeparator(uR"(C:\d\\)", Win), uR"(C:\d\)");
  EXPECT_EQ(WithoutTrailingSeparator(uR"(C:\)", Win), u"C:");
  EXPECT_EQ(WithoutTrailingSeparator(u"d", Win), u"d");
  EXPECT_EQ(WithTrailingSeparator(u""), u"/");
  EXPECT_EQ(WithTrailingSeparator(u"/usr"), u"/usr/");
  EXPECT_EQ(WithoutTrailingSeparator(u"/usr/"), u"/usr");
  EXPECT_EQ(WithoutTrailingSeparator(u"/"), u"");
}

TEST(PathText, ReplaceDirectoryKeepsTheFileName) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  EXPECT_EQ(PathReplaceDirectory(uR"(C:\a\f.txt)", uR"(D:\b)", Win), uR"(D:\b\f.txt)");
  EXPECT_EQ(PathReplaceDirectory(uR"(C:f.txt)", u"", Win), uR"(\f.txt)");
  EXPECT_EQ(PathReplaceDirectory(u"/a/f.txt", u"/b/"), u"/b/f.txt");
  EXPECT_EQ(PathReplaceDirectory(u"f.txt", u"b"), u"b/f.txt");
}

TEST(PathText, MergePathBuildsFromFourParts) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText drive, directory, name, extension, expected;
    const TPathRules *rules;
  } cases[] = {
      {u"C:", uR"(\dir)", u"f", u"txt", uR"(C:\dir\f.txt)", &Win},
      {uR"(C:\)", uR"(\dir\)", u"f", u".txt", uR"(C:\dir\f.txt)", &Win},
      {uR"(\\srv\share)", u"dir", u"f", u"", uR"(\\srv\share\dir\f)", &Win},
      {uR"(\\srv\share)", uR"(\dir)", u"f", u"", uR"(\\srv\share\dir\f)", &Win},
      {u"", uR"(C:\dir)", u"ROtmp0.tmp", u"", uR"(C:\dir\ROtmp0.tmp)", &Win},
      {u"", u"", u"f", u"x", u"f.x", &Win},
      {u"", u"c", u"f", u"", uR"(c:\f)", &Win},
      {u"", u"/tmp", u"ROtmp0.tmp", u"", u"/tmp/ROtmp0.tmp", &Nix},
      {u"", u"/", u"f", u"gz", u"/f.gz", &Nix},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.expected));
    EXPECT_EQ(MergePath(c.drive, c.directory, c.name, c.extension, *c.rules), c.expected);
  }
}

TEST(PathText, RelativePathOnWindowsRules) {
  struct {
    TText base, target, expected;
  } cases[] = {
      {uR"(C:\a\b)", uR"(C:\a\c\f.txt)", uR"(..\c\f.txt)"},
      {uR"(C:\a\)", uR"(C:\a\f.txt)", u"f.txt"},
      {uR"(C:\a)", uR"(C:\a\f.txt)", u"f.txt"},
      {uR"(C:\a)", uR"(D:\x)", uR"(D:\x)"},
      {uR"(C:\A\)", uR"(c:\a\f)", u"f"},
      {uR"(C:\a\b\c)", uR"(C:\f)", uR"(..\..\..\f)"},
      {uR"(C:\)", uR"(C:\x\y\f)", uR"(x\y\f)"},
      {uR"(\\srv\share\a)", uR"(\\SRV\Share\b\f)", uR"(..\b\f)"},
      {uR"(\\srv\share\a)", uR"(\\srv\other\a\f)", uR"(\\srv\other\a\f)"},
      {uR"(a\b)", uR"(a\c)", uR"(..\c)"},
      // A share named alone is the root of the share.
      {uR"(\\srv\share)", uR"(\\srv\share)", u""},
      {uR"(\\srv\share\x)", uR"(\\srv\share)", uR"(..\)"},
      {uR"(\\.C)", uR"(\\.C)", u""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.base + u" -> " + c.target));
    EXPECT_EQ(PathRelative(c.base, c.target, Win), c.expected);
  }
}

TEST(PathText, RelativePathOnNativeRules) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText base, target, expected;
  } cases[] = {
      {u"/a/b", u"/a/c/f.txt", u"../c/f.txt"},
      {u"/a/", u"/a/f.txt", u"f.txt"},
      {u"/a", u"/a/f.txt", u"f.txt"},
      {u"/A/", u"/a/f", u"../a/f"}, // names compare case-sensitively
      {u"/a", u"b/f", u"b/f"},      // exactly one is absolute: unchanged
      {u"a", u"/b/f", u"/b/f"},
      {u"a/b", u"a/c", u"../c"},
      {u"/", u"/x/f", u"x/f"},
      {uR"(C:\a)", uR"(D:\x)", uR"(../D:\x)"}, // no drives: ordinary names
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.base + u" -> " + c.target));
    EXPECT_EQ(PathRelative(c.base, c.target), c.expected);
  }
}

TEST(PathText, CombineOnWindowsRules) {
  struct {
    TText first, second, expected;
  } cases[] = {
      {uR"(C:\dir)", uR"(..\x)", uR"(C:\x)"},
      {u"a", uR"(C:\b)", uR"(C:\b)"},
      {u"a", uR"(\\srv\share\x)", uR"(\\srv\share\x)"},
      {uR"(C:\dir\sub)", uR"(\x)", uR"(C:\x)"},
      {uR"(\\srv\share\dir)", uR"(\x)", uR"(\\srv\share\x)"},
      {uR"(C:\dir\)", u"f.txt", uR"(C:\dir\f.txt)"},
      {uR"(C:\dir)", uR"(.\f.txt)", uR"(C:\dir\f.txt)"},
      {u"C:", u"f", uR"(C:\f)"},
      {u"", uR"(a\.\b)", uR"(a\.\b)"}, // only one non-empty text: returned as it is
      {uR"(a\.\b)", u"", uR"(a\.\b)"},
      {u"", u"", u""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.first + u" + " + c.second));
    TText result = u"untouched";
    EXPECT_TRUE(PathCombine(c.first, c.second, result, Win));
    EXPECT_EQ(result, c.expected);
  }
}

TEST(PathText, CombineFailsBeyondTheLengthLimitAndKeepsOutput) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  TText first = uR"(C:\)" + TText(200, u'a');
  TText fits(259 - first.size() - 1, u'b'); // plus one joining separator: 259
  TText result = u"untouched";
  EXPECT_TRUE(PathCombine(first, fits, result, Win));
  EXPECT_EQ(result.size(), 259u);
  result = u"untouched";
  EXPECT_FALSE(PathCombine(first, fits + u"b", result, Win));
  EXPECT_EQ(result, u"untouched");

  TText nativeFirst = u"/" + TText(4000, u'a');
  EXPECT_TRUE(PathCombine(nativeFirst, TText(93, u'b'), result));
  EXPECT_EQ(result.size(), 4095u);
  result = u"untouched";
  EXPECT_FALSE(PathCombine(nativeFirst, TText(94, u'b'), result));
  EXPECT_EQ(result, u"untouched");
}

TEST(PathText, CombineOnNativeRules) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText first, second, expected;
  } cases[] = {
      {u"/dir", u"../x", u"/x"},        {u"a", u"/b", u"/b"},
      {u"/dir/", u"f", u"/dir/f"},      {u"/dir", u"./f", u"/dir/f"},
      {u"a", uR"(C:\b)", uR"(a/C:\b)"}, {u"", u"x", u"x"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.first + u" + " + c.second));
    TText result;
    EXPECT_TRUE(PathCombine(c.first, c.second, result));
    EXPECT_EQ(result, c.expected);
  }
}

TEST(PathText, CanonicalResolvesDotSegments) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText path, expected;
    const TPathRules *rules;
  } cases[] = {
      {u"", u"", &Win},
      {uR"(C:\dir\..\x)", uR"(C:\x)", &Win},
      {uR"(C:\a\.\b\.)", uR"(C:\a\b)", &Win},
      {uR"(C:\a\b\)", uR"(C:\a\b\)", &Win},
      {uR"(C:\..\x)", uR"(C:\x)", &Win},
      {uR"(C:\a\..)", uR"(C:\)", &Win},
      {uR"(\\srv\share\..\x)", uR"(\\srv\share\x)", &Win},
      {uR"(\a\..\..\b)", uR"(\b)", &Win},
      {uR"(..\a)", uR"(..\a)", &Win},
      {uR"(a\..\..\b)", uR"(..\b)", &Win},
      {uR"(C:a\..\..\b)", uR"(C:..\b)", &Win},
      {u"/usr/./lib/../bin", u"/usr/bin", &Nix},
      {u"/..", u"/", &Nix},
      {u"/../../x", u"/x", &Nix},
      {u"a//b///c", u"a/b/c", &Nix},
      {u"//a", u"/a", &Nix},
      {u"a/b/", u"a/b/", &Nix},
      {u"a/./", u"a/", &Nix},
      {u"a/..", u".", &Nix},
      {u".", u".", &Nix},
      {u"../x", u"../x", &Nix},
      {u"../../x/..", u"../..", &Nix},
      {u"/", u"/", &Nix},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path));
    TText result = u"untouched";
    EXPECT_TRUE(PathCanonical(c.path, result, *c.rules));
    EXPECT_EQ(result, c.expected);
  }
}

TEST(PathText, RelativePathTest) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  EXPECT_TRUE(IsRelativePath(uR"(a\b)", Win));
  EXPECT_TRUE(IsRelativePath(u"", Win));
  EXPECT_FALSE(IsRelativePath(uR"(\a)", Win));
  EXPECT_FALSE(IsRelativePath(uR"(C:\a)", Win));
  EXPECT_FALSE(IsRelativePath(u"C:a", Win));
  EXPECT_FALSE(IsRelativePath(uR"(\\srv\share)", Win));
  EXPECT_TRUE(IsRelativePath(u"a/b"));
  EXPECT_TRUE(IsRelativePath(u"C:a"));
  EXPECT_FALSE(IsRelativePath(u"/a"));
}

TEST(PathText, SplitDriveLeavesTheRest) {
  // The script library's splitdrive(): the drive and the text after it.
  TText path = uR"(\\srv\share\x)";
  TText drive = PathDrive(path, Win);
  EXPECT_EQ(drive, uR"(\\srv\share)");
  EXPECT_EQ(path.substr(drive.size()), uR"(\x)");
  EXPECT_EQ(PathDrive(u"x", Win), u"");
  EXPECT_EQ(PathDrive(u"/x"), u"");
}

TEST(PathText, SplitOfFileAtDriveRoot) {
  EXPECT_EQ(PathDirectory(uR"(C:\f)", Win), uR"(C:\)");
  EXPECT_EQ(PathFileName(uR"(C:\f)", Win), u"f");
}

TEST(PathExpandFrom, WindowsRulesResolveAgainstCurrentDirectory) {
  struct {
    TText path, current, expected;
  } cases[] = {
      {u"x", uR"(C:\d)", uR"(C:\d\x)"},
      {u"x/y", uR"(C:\d)", uR"(C:\d\x\y)"},
      {uR"(..\x)", uR"(C:\d\e)", uR"(C:\d\x)"},
      {uR"(\x)", uR"(C:\d)", uR"(C:\x)"},
      {uR"(\x)", uR"(\\srv\share\d)", uR"(\\srv\share\x)"},
      {u"c:x", uR"(C:\d)", uR"(C:\d\x)"},
      {u"D:x", uR"(C:\d)", uR"(D:\x)"},
      {u"C:", uR"(C:\d)", uR"(C:\d)"},
      {uR"(E:\a\..\b)", uR"(C:\d)", uR"(E:\b)"},
      {u"x", uR"(C:\)", uR"(C:\x)"},
      {u".", uR"(C:\)", uR"(C:\)"},
      {u"", uR"(C:\d)", u""},
      // Alternate separators in the current directory do not reach the result.
      {u"x", u"C:/d", uR"(C:\d\x)"},
      {u"x", u"//srv/share/d", uR"(\\srv\share\d\x)"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path + u" in " + c.current));
    EXPECT_EQ(PathExpandFrom(c.path, c.current, Win), c.expected);
  }
}

TEST(PathExpandFrom, NativeRulesJoinRelativePathsAndCanonicalise) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  struct {
    TText path, current, expected;
  } cases[] = {
      {u"x", u"/home/u", u"/home/u/x"},
      {u"../x/./y", u"/home/u", u"/home/x/y"},
      {u"..", u"/", u"/"},
      {u".", u"/home", u"/home"},
      {u"/a//b/", u"/home", u"/a/b/"},
      {uR"(a\b)", u"/", uR"(/a\b)"},
      {u"", u"/home", u""},
      {u"x", u"", u""},
      {u"/x", u"", u"/x"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(TextToBytes(c.path + u" in " + c.current));
    EXPECT_EQ(PathExpandFrom(c.path, c.current, Nix), c.expected);
  }
}

} // namespace

namespace {

TEST(PathRules, SetsCarryTheirSeparatorsAndLimits) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  EXPECT_EQ(Nix.FSeparator, u'/');
  EXPECT_EQ(Nix.FListSeparator, u':');
  EXPECT_EQ(Nix.FMaxPathLength, 4095u);
  EXPECT_EQ(Win.FSeparator, u'\\');
  EXPECT_EQ(Win.FListSeparator, u';');
  EXPECT_EQ(Win.FMaxPathLength, 259u);
  EXPECT_TRUE(IsDirectoryDelimiter(u':', Win));
  EXPECT_FALSE(IsDirectoryDelimiter(u':', Nix));
  EXPECT_FALSE(IsDirectoryDelimiter(u'/', Win));
}

TEST(PathRules, NameComparisonFollowsCaseRule) {
  SKIP_UNLESS_LINUX_NATIVE_RULES();
  EXPECT_TRUE(SamePathName(u"Stra\u00dfe\u00c4", u"STRA\u00dfE\u00e4", Win));
  EXPECT_FALSE(SamePathName(u"abc", u"abd", Win));
  EXPECT_FALSE(SamePathName(u"ABC", u"abc", Nix));
  EXPECT_TRUE(SamePathName(u"abc", u"abc", Nix));
}

} // namespace
