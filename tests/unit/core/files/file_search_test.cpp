#include "core/files/file_search.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/files/file_helpers.h"
#include "platform/code_page.h"
#include "platform/locale_collation.h"
#include "tests/unit/core/files/file_tree.h"

namespace {

using TNames = std::vector<std::string>;

// Searches with a mask relative to the tree's root and returns the results as bytes.
TNames Find(const TFileTree &tree, const std::string &mask, bool subdirs = false,
            bool hidden = false, bool files = true, bool dirs = false) {
  return AsBytes(FindFiles(tree.Text(mask), subdirs, hidden, files, dirs));
}

// Full paths of entries of the tree, in the order given.
TNames Paths(const TFileTree &tree, const TNames &relative) {
  TNames result;
  for (const std::string &name : relative)
    result.push_back(tree.Path(name));
  return result;
}

// A flat directory with files of every kind of name the masks tell apart.
class FileSearchFlat : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char *name : {"a.txt", "B.txt", "c.csv", "noext", "two.dots.txt", "d.TXT"})
      FTree.File(name);
    FTree.File(".hidden.txt");
    FTree.Dir("sub");
    FTree.File("sub/deep.txt");
  }
  TFileTree FTree;
};

} // namespace

TEST_F(FileSearchFlat, MaskWithoutDirectorySearchesCurrentDirectoryGivingFullPaths) {
  TCurrentDirectoryScope scope(FTree.Root());
  EXPECT_EQ(AsBytes(FindFiles(u"*.txt", false, false, true, false)),
            Paths(FTree, {"a.txt", "B.txt", "d.TXT", "two.dots.txt"}));
}

TEST_F(FileSearchFlat, RelativeDirectoryGivesRelativeResults) {
  const std::string root = FTree.Root();
  const std::string parent = root.substr(0, root.rfind('/'));
  const std::string base = root.substr(root.rfind('/') + 1);
  TCurrentDirectoryScope scope(parent);
  EXPECT_EQ(AsBytes(FindFiles(BytesToText(base + "/*.csv"), false, false, true, false)),
            TNames{base + "/c.csv"});
  EXPECT_EQ(AsBytes(FindFiles(BytesToText(base + "/sub/*"), false, false, true, false)),
            TNames{base + "/sub/deep.txt"});
}

TEST_F(FileSearchFlat, DirectoryWithTrailingSeparatorSearchesEverything) {
  EXPECT_EQ(Find(FTree, ""),
            Paths(FTree, {"a.txt", "B.txt", "c.csv", "d.TXT", "noext", "two.dots.txt"}));
  // Doubled separators leave one directory separator in the results, never two.
  EXPECT_EQ(Find(FTree, "sub//"), Paths(FTree, {"sub/deep.txt"}));
}

TEST_F(FileSearchFlat, MissingOrNonDirectoryStartGivesEmptyResult) {
  EXPECT_TRUE(Find(FTree, "missing/*.txt").empty());
  EXPECT_TRUE(Find(FTree, "a.txt/*").empty());
  EXPECT_TRUE(Find(FTree, "missing/*", true, true, true, true).empty());
}

TEST_F(FileSearchFlat, MaskSelectsNames) {
  struct TCase {
    const char *Mask;
    TNames Expected;
  };
  const TCase cases[] = {
      {"*.txt;*.csv", {"a.txt", "B.txt", "c.csv", "d.TXT", "two.dots.txt"}},
      {";;*.txt;", {"a.txt", "B.txt", "d.TXT", "two.dots.txt"}},
      {"*.txt", {"a.txt", "B.txt", "d.TXT", "two.dots.txt"}},
      {"*.", {"noext"}},
      {"*.*", {"a.txt", "B.txt", "c.csv", "d.TXT", "two.dots.txt"}},
      {"*", {"a.txt", "B.txt", "c.csv", "d.TXT", "noext", "two.dots.txt"}},
      {"A.TXT", {"a.txt"}},
      {"?.t*", {"a.txt", "B.txt", "d.TXT"}},
      {"[ab].txt", {"a.txt", "B.txt"}},
      {"*.dots.*", {"two.dots.txt"}},
      {"noext.", {"noext"}},
      {"  *.csv  ", {"c.csv"}},
      {"*.none", {}},
      // Only separators: no pattern is left, so nothing matches.
      {";;", {}},
  };
  for (const TCase &c : cases)
    EXPECT_EQ(Find(FTree, c.Mask), Paths(FTree, c.Expected)) << c.Mask;
}

TEST_F(FileSearchFlat, HiddenFilesOnlyWithHidden) {
  EXPECT_EQ(Find(FTree, ".*"), TNames{});
  EXPECT_EQ(Find(FTree, ".*", false, true), Paths(FTree, {".hidden.txt"}));
}

TEST_F(FileSearchFlat, FilesFlagOffListsNoFiles) {
  EXPECT_TRUE(Find(FTree, "*", true, true, false, false).empty());
}

TEST(FileSearch, HiddenSubdirectoryIsSkippedWithEverythingBelowUnlessHidden) {
  TFileTree tree;
  tree.File("top.txt");
  tree.Dir(".git");
  tree.File(".git/config.txt");
  tree.Dir(".git/objects");
  tree.File(".git/objects/o.txt");
  tree.Dir("src");
  tree.File("src/main.txt");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"src/main.txt", "top.txt"}));
  EXPECT_EQ(Find(tree, "*.txt", true, true),
            Paths(tree, {".git/config.txt", ".git/objects/o.txt", "src/main.txt", "top.txt"}));
  EXPECT_EQ(Find(tree, "*", true, false, false, true), Paths(tree, {"src"}));
  EXPECT_EQ(Find(tree, "*", true, true, false, true), Paths(tree, {".git", ".git/objects", "src"}));
}

TEST(FileSearch, DirsWithoutFilesListsEverySubdirectoryWhateverTheMask) {
  TFileTree tree;
  tree.Dir("alpha");
  tree.Dir("alpha/beta");
  tree.Dir("gamma.txt");
  tree.File("file.txt");
  tree.File("alpha/inner.txt");
  EXPECT_EQ(Find(tree, "*.none", true, false, false, true),
            Paths(tree, {"alpha", "alpha/beta", "gamma.txt"}));
  // Without subdirs only the start directory's own subdirectories are met.
  EXPECT_EQ(Find(tree, "*.none", false, false, false, true), Paths(tree, {"alpha", "gamma.txt"}));
  // A directory is never matched as a file, even when its name fits the mask.
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"alpha/inner.txt", "file.txt"}));
  EXPECT_EQ(Find(tree, "*.txt", true, false, true, true),
            Paths(tree, {"alpha", "alpha/beta", "alpha/inner.txt", "file.txt", "gamma.txt"}));
}

TEST(FileSearch, SubdirectoriesAtAnyDepth) {
  TFileTree tree;
  tree.Dir("a");
  tree.Dir("a/b");
  tree.Dir("a/b/c");
  tree.Dir("a/b/c/d");
  tree.File("a/b/c/d/deep.txt");
  tree.File("a/b/mid.txt");
  tree.File("z.txt");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"a/b/c/d/deep.txt", "a/b/mid.txt", "z.txt"}));
  EXPECT_EQ(Find(tree, "*.txt", false), Paths(tree, {"z.txt"}));
}

TEST(FileSearch, BracePatternIsARegularExpressionIgnoringCase) {
  TFileTree tree;
  for (const char *name :
       {"apple.txt", "Avocado.csv", "banana.txt", "report12.txt", "report.txt", "xa.txt"})
    tree.File(name);
  EXPECT_EQ(Find(tree, "{^a.*}"), Paths(tree, {"apple.txt", "Avocado.csv"}));
  EXPECT_EQ(Find(tree, "{^report[0-9]+[.]txt$}"), Paths(tree, {"report12.txt"}));
  // Unanchored: a match anywhere in the name counts.
  EXPECT_EQ(Find(tree, "{NAN}"), Paths(tree, {"banana.txt"}));
  // Expressions and wildcards mix in one list; the first that matches decides.
  EXPECT_EQ(Find(tree, "{^b};*.csv"), Paths(tree, {"Avocado.csv", "banana.txt"}));
  // Empty braces match every name.
  EXPECT_EQ(Find(tree, "{}").size(), 6u);
}

TEST(FileSearch, DotInExpressionMatchesLineBreak) {
  TFileTree tree;
  tree.File("first\nsecond.txt");
  tree.File("plain.txt");
  EXPECT_EQ(Find(tree, "{^first.second}"), Paths(tree, {"first\nsecond.txt"}));
}

TEST(FileSearch, ExpressionIgnoresCaseBeyondAscii) {
  TFileTree tree;
  tree.File("\xC3\x84rger.txt"); // Ärger
  tree.File("other.txt");
  EXPECT_EQ(Find(tree, "{^\xC3\xA4rger}"), Paths(tree, {"\xC3\x84rger.txt"}));
}

TEST(FileSearch, UnusableBracePatternEmptiesTheResult) {
  TFileTree tree;
  tree.File("apple.txt");
  tree.File("b.txt");
  for (const char *mask : {"{^a", "*.txt;{^a", "{", "{(}", "*.txt;{[z-a]}"})
    EXPECT_TRUE(Find(tree, mask).empty()) << mask;
}

TEST(FileSearch, ExpressionFailingWhileMatchingEmptiesTheResult) {
  TFileTree tree;
  tree.File("keep.txt");
  // Exhausts the expression engine's backtracking limit on this name.
  tree.File(std::string(40, 'a') + "bc");
  EXPECT_TRUE(Find(tree, "*.txt;{(a|aa)*c}").empty());
  EXPECT_EQ(Find(tree, "*.txt;{^a+bc$}"), Paths(tree, {std::string(40, 'a') + "bc", "keep.txt"}));
}

TEST(FileSearch, NamesAreSortedIgnoringCase) {
  TFileTree tree;
  for (const char *name : {"c.txt", "B.txt", "a.txt"})
    tree.File(name);
  EXPECT_EQ(Find(tree, "*"), Paths(tree, {"a.txt", "B.txt", "c.txt"}));
}

TEST(FileSearch, NamesDifferingOnlyInCaseFallBackToByteOrder) {
  TFileTree tree;
  for (const char *name : {"b.txt", "B.txt", "a.TXT", "A.txt", "a.txt"})
    tree.File(name);
  EXPECT_EQ(Find(tree, "*"), Paths(tree, {"A.txt", "a.TXT", "a.txt", "B.txt", "b.txt"}));
}

TEST(FileSearch, SortIsByFullPathAcrossDirectories) {
  TFileTree tree;
  tree.File("a.txt");
  tree.Dir("b");
  tree.File("b/x.txt");
  tree.File("c.txt");
  tree.Dir("B-2");
  tree.File("B-2/y.txt");
  // Whole paths are compared: the files of a subdirectory fall between the files of its
  // parent, and "B-2/" sorts before "b/" as the locale orders "-" before "/".
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"a.txt", "B-2/y.txt", "b/x.txt", "c.txt"}));
}

TEST(FileSearch, SortAgreesWithLocaleComparisonOfFullNames) {
  TFileTree tree;
  const TNames names = {"e.txt",   "\xC3\xA9.txt", "E.txt",   "f.txt",    "a b.txt", "a-b.txt",
                        "a_b.txt", "ab.txt",       "a.b.txt", "10.txt",   "9.txt",   "Z.txt",
                        "z~.txt",  "\xC3\x89.txt", "_x.txt",  "a\nb.txt", "sub"};
  for (const std::string &name : names)
    if (name != "sub")
      tree.File(name);
  tree.Dir("sub");
  tree.File("sub/a.txt");
  tree.File("sub/\xC3\xA9.txt");
  TNames expected = Paths(tree, names);
  expected.erase(std::find(expected.begin(), expected.end(), tree.Path("sub")));
  expected.push_back(tree.Path("sub/a.txt"));
  expected.push_back(tree.Path("sub/\xC3\xA9.txt"));
  std::sort(expected.begin(), expected.end(), [](const std::string &a, const std::string &b) {
    const int order = platform::CompareTextLocale(BytesToText(a), BytesToText(b), true);
    return order != 0 ? order < 0 : a < b;
  });
  EXPECT_EQ(Find(tree, "*", true), expected);
}

TEST(FileSearch, RootStartDirectoryKeepsOneSeparator) {
  const TNames found = AsBytes(FindFiles(u"/*", false, false, false, true));
  EXPECT_NE(std::find(found.begin(), found.end(), "/tmp"), found.end());
  for (const std::string &name : found)
    EXPECT_NE(name.substr(0, 2), "//") << name;
}

TEST(FileSearch, LinksToFilesAndDirectoriesAreFollowed) {
  TFileTree tree;
  tree.Dir("real");
  tree.File("real/inside.txt");
  tree.File("target.txt");
  tree.Link("target.txt", "link.txt");
  tree.Link(tree.Path("real"), "dirlink");
  EXPECT_EQ(Find(tree, "*.txt"), Paths(tree, {"link.txt", "target.txt"}));
  // The link to a directory is a directory: never a file, listed with dirs, entered with
  // subdirs. The one directory behind two names is read once, under its own name.
  EXPECT_EQ(Find(tree, "*", false, false, false, true), Paths(tree, {"dirlink", "real"}));
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"link.txt", "real/inside.txt", "target.txt"}));
}

TEST(FileSearch, DanglingLinkIsListedAsAFile) {
  TFileTree tree;
  tree.Link("nowhere.txt", "dangling.txt");
  tree.File("real.txt");
  EXPECT_EQ(Find(tree, "*.txt"), Paths(tree, {"dangling.txt", "real.txt"}));
  EXPECT_TRUE(Find(tree, "*", true, false, false, true).empty());
}

TEST(FileSearch, LinkLoopsEnd) {
  TFileTree tree;
  tree.Dir("a");
  tree.Dir("b");
  tree.File("a/fa.txt");
  tree.File("b/fb.txt");
  tree.Link("..", "a/up");            // back to the start directory
  tree.Link(tree.Path("b"), "a/tob"); // a -> b -> a
  tree.Link(tree.Path("a"), "b/toa");
  tree.Link("self", "a/self"); // a link to itself: dangling (too many levels)
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"a/fa.txt", "b/fb.txt"}));
  // Every directory entry met is listed, but none is entered twice.
  EXPECT_EQ(Find(tree, "*", true, false, false, true),
            Paths(tree, {"a", "a/tob", "a/up", "b", "b/toa"}));
  EXPECT_EQ(Find(tree, "*", true, true, true, true),
            Paths(tree, {"a", "a/fa.txt", "a/self", "a/tob", "a/up", "b", "b/fb.txt", "b/toa"}));
}

TEST(FileSearch, DirectoryBehindSeveralLinksIsReadOnceUnderOneOfThem) {
  TFileTree outside;
  outside.File("x.txt");
  TFileTree tree;
  tree.Link(outside.Root(), "zz");
  tree.Link(outside.Root(), "mm");
  tree.Dir("dir");
  tree.Link(outside.Root(), "dir/aa");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"dir/aa/x.txt"}));
}

TEST(FileSearch, DirectoryReachedByManyLinkPathsIsReadOnce) {
  // Two links from each level to the next: 2^24 paths lead to the last level.
  TFileTree tree;
  const int levels = 25;
  for (int i = 0; i < levels; ++i) {
    tree.Dir("d" + std::to_string(i));
    tree.File("d" + std::to_string(i) + "/f.txt");
  }
  for (int i = 0; i + 1 < levels; ++i)
    for (const char *link : {"/x", "/y"})
      tree.Link(tree.Path("d" + std::to_string(i + 1)), "d" + std::to_string(i) + link);
  EXPECT_EQ(Find(tree, "d0/*.txt", true).size(), std::size_t(levels));
}

TEST(FileSearch, UnreadableDirectoryIsPassedOver) {
  TFileTree tree;
  tree.Dir("closed");
  tree.File("closed/secret.txt");
  tree.File("open.txt");
  ASSERT_EQ(chmod(tree.Path("closed").c_str(), 0), 0);
  const TNames found = Find(tree, "*.txt", true);
  chmod(tree.Path("closed").c_str(), 0755);
  // Root reads every directory whatever its mode; then only the absence of a failure
  // is shown.
  if (geteuid() != 0)
    EXPECT_EQ(found, Paths(tree, {"open.txt"}));
  else
    EXPECT_EQ(found, Paths(tree, {"closed/secret.txt", "open.txt"}));
}

TEST(FileSearch, StartDirectoryThatVanishedGivesEmptyResult) {
  TFileTree tree;
  tree.Dir("gone");
  TCurrentDirectoryScope scope(tree.Path("gone"));
  ASSERT_EQ(rmdir(tree.Path("gone").c_str()), 0);
  EXPECT_TRUE(FindFiles(u"*", true, true, true, true).empty());
}

TEST(FileSearch, NamesWithLineBreaksAreFound) {
  TFileTree tree;
  tree.File("line\nbreak.txt");
  tree.Dir("dir\nname");
  tree.File("dir\nname/in.txt");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"dir\nname/in.txt", "line\nbreak.txt"}));
}

// Names invalid in the code page are found under their own bytes, never under the
// name they would turn into through U+FFFD (which exists here too, as another file).
TEST(FileSearch, NamesInvalidInTheCodePageAreFoundAsThemselves) {
  TFileTree tree;
  tree.File("bad\xFF.txt");
  tree.File("bad\xEF\xBF\xBD.txt");
  tree.Dir("dir\xC3");
  tree.File("dir\xC3/inside.txt");
  tree.File("good\xC3\xA4.txt");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"bad\xFF.txt", "bad\xEF\xBF\xBD.txt",
                                                    "dir\xC3/inside.txt", "good\xC3\xA4.txt"}));
  EXPECT_EQ(Find(tree, "*", true, false, false, true), Paths(tree, {"dir\xC3"}));
}

TEST(FileSearch, FifoAmongEntriesDoesNotBlock) {
  TFileTree tree;
  ASSERT_EQ(mkfifo(tree.Path("pipe.txt").c_str(), 0644), 0);
  tree.File("plain.txt");
  EXPECT_EQ(Find(tree, "*.txt", true), Paths(tree, {"pipe.txt", "plain.txt"}));
}

// FindFileInfos shares the traversal; these check what differs: records, and braces.

TEST(FileSearchInfos, RecordsCarryDirectoryNameSizeAndFlags) {
  TFileTree tree;
  tree.File("b.txt", "12345");
  tree.Dir("sub");
  tree.File("sub/a.txt", "xy");
  const TFileList list = FindFileInfos(tree.Text("*.txt"), true, false, true, true);
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(TextToBytes(list.GetFullName(0)), tree.Path("b.txt"));
  EXPECT_EQ(TextToBytes(list.GetFilePath(0)), tree.Root());
  EXPECT_EQ(TextToBytes(list.GetFileName(0)), "b.txt");
  EXPECT_EQ(list.GetFileSize(0), 5);
  EXPECT_FALSE(list.GetIsDir(0));
  EXPECT_EQ(list.GetFileAttributes(0), 0u);
  EXPECT_EQ(TextToBytes(list.GetFullName(1)), tree.Path("sub"));
  EXPECT_TRUE(list.GetIsDir(1));
  EXPECT_EQ(list.GetFileSize(1), 0);
  EXPECT_EQ(list.GetFileAttributes(1), FileAttributeDirectory);
  EXPECT_EQ(TextToBytes(list.GetFilePath(2)), tree.Path("sub"));
  EXPECT_EQ(TextToBytes(list.GetFileName(2)), "a.txt");
  EXPECT_EQ(list.GetFileSize(2), 2);
  EXPECT_TRUE(list.GetShortFileName(2).empty());
}

TEST(FileSearchInfos, AttributesFollowTheAttributeWordRules) {
  TFileTree tree;
  tree.File(".hidden");
  tree.File("readonly");
  ASSERT_EQ(chmod(tree.Path("readonly").c_str(), 0444), 0);
  tree.Dir("dir");
  tree.Link("dir", "dirlink");
  tree.Link("readonly", "filelink");
  tree.Link("nowhere", "dangling");
  const TFileList list = FindFileInfos(tree.Text(""), false, true, true, true);
  ASSERT_EQ(list.Count(), 6u);
  const std::pair<const char *, std::uint32_t> expected[] = {
      {".hidden", FileAttributeHidden},
      {"dangling", FileAttributeLink},
      {"dir", FileAttributeDirectory},
      {"dirlink", FileAttributeDirectory | FileAttributeLink},
      {"filelink", FileAttributeReadOnly | FileAttributeLink},
      {"readonly", FileAttributeReadOnly},
  };
  for (std::size_t i = 0; i < list.Count(); ++i) {
    EXPECT_EQ(TextToBytes(list.GetFileName(i)), expected[i].first);
    EXPECT_EQ(list.GetFileAttributes(i), expected[i].second) << expected[i].first;
    EXPECT_EQ(list.GetFileAttributes(i), FileAttributesByName(tree.Text(expected[i].first)))
        << expected[i].first;
  }
  EXPECT_TRUE(list.GetIsDir(3));
  EXPECT_EQ(list.GetFileSize(3), 0);
  EXPECT_EQ(list.GetFileSize(1), 0);
}

TEST(FileSearchInfos, TimesAreLocalWithTwoSecondResolution) {
  TFileTree tree;
  tree.File("recent.txt");
  tree.SetTime("recent.txt", 2021, 6, 15, 13, 45, 31);
  tree.File("old.txt");
  tree.SetTime("old.txt", 1975, 3, 1, 12, 0, 0);
  const TFileList list = FindFileInfos(tree.Text("*.txt"), false, false, true, false);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(TextToBytes(list.GetFileName(0)), "old.txt");
  EXPECT_EQ(list.GetLastWriteTime(0), 0.0);
  EXPECT_EQ(list.GetLastAccessTime(0), 0.0);
  EXPECT_EQ(list.GetLastWriteTime(1), EncodeDateTime(2021, 6, 15, 13, 45, 30));
  EXPECT_EQ(list.GetLastAccessTime(1), EncodeDateTime(2021, 6, 15, 13, 45, 30));
  EXPECT_EQ(list.GetLastWriteTime(1), FileTimeByName(tree.Text("recent.txt"), 3));
  EXPECT_EQ(list.GetCreationTime(1), FileTimeByName(tree.Text("recent.txt"), 1));
}

TEST(FileSearchInfos, BracesAreAnOrdinaryWildcardPattern) {
  TFileTree tree;
  tree.File("apple.txt");
  tree.File("{^a.x}");
  const TFileList list = FindFileInfos(tree.Text("{^a.*}"), false, false, true, false);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(TextToBytes(list.GetFileName(0)), "{^a.x}");
  // No closing brace is no failure here either.
  EXPECT_EQ(FindFileInfos(tree.Text("{^a*"), false, false, true, false).Count(), 1u);
  EXPECT_EQ(FindFileInfos(tree.Text("{^b*;*.txt"), false, false, true, false).Count(), 1u);
}

TEST(FileSearchInfos, SortedByFullNameIgnoringCase) {
  TFileTree tree;
  tree.File("c.txt");
  tree.File("B.txt");
  tree.Dir("a");
  tree.File("a/z.txt");
  const TFileList list = FindFileInfos(tree.Text("*.txt"), true, false, true, false);
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(TextToBytes(list.GetFullName(0)), tree.Path("a/z.txt"));
  EXPECT_EQ(TextToBytes(list.GetFullName(1)), tree.Path("B.txt"));
  EXPECT_EQ(TextToBytes(list.GetFullName(2)), tree.Path("c.txt"));
}

TEST(FileSearchInfos, RootRecordsCarryTheRootAsPath) {
  const TFileList list = FindFileInfos(u"/tm?", false, false, false, true);
  ASSERT_GE(list.Count(), 1u);
  bool seen = false;
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (list.GetFileName(i) == u"tmp") {
      seen = true;
      EXPECT_EQ(list.GetFilePath(i), u"/");
      EXPECT_EQ(list.GetFullName(i), u"/tmp");
    }
  EXPECT_TRUE(seen);
}
