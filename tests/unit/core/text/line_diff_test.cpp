#include "core/text/line_diff.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct TDiffCase {
  const char *Old;
  const char *New;
  const char *Expected; // after the two header lines; nullptr: no diff at all
};

const TDiffCase DiffCases[] = {
    {"", "", nullptr},
    {"a\nb\n", "a\nb\n", nullptr},
    {"", "a\nb\n", "@@ -0,0 +1,2 @@\n+a\n+b\n"},
    {"a\nb\n", "", "@@ -1,2 +0,0 @@\n-a\n-b\n"},
    {"", "x", "@@ -0,0 +1 @@\n+x\n\\ No newline at end of file\n"},
    {"a\n", "a", "@@ -1 +1 @@\n-a\n+a\n\\ No newline at end of file\n"},
    {"a\nb", "a\nc",
     "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+c\n"
     "\\ No newline at end of file\n"},
    {"a\nb\nz", "a\nc\nz", "@@ -1,3 +1,3 @@\n a\n-b\n+c\n z\n\\ No newline at end of file\n"},
    {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nX\n6\n7\n8\n9\n",
     "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+X\n 6\n 7\n 8\n"},
    // Six unchanged lines between two changes: one hunk; seven: two.
    {"a\n1\n2\n3\n4\n5\n6\nb\n", "A\n1\n2\n3\n4\n5\n6\nB\n",
     "@@ -1,8 +1,8 @@\n-a\n+A\n 1\n 2\n 3\n 4\n 5\n 6\n-b\n+B\n"},
    {"a\n1\n2\n3\n4\n5\n6\n7\nb\n", "A\n1\n2\n3\n4\n5\n6\n7\nB\n",
     "@@ -1,4 +1,4 @@\n-a\n+A\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-b\n+B\n"},
    {"a\nb\nc\n", "a\nc\n", "@@ -1,3 +1,2 @@\n a\n-b\n c\n"},
    {"a\nc\n", "a\nb\nc\n", "@@ -1,2 +1,3 @@\n a\n+b\n c\n"},
    {"x\r\ny\r\n", "x\r\nY\r\n", "@@ -1,2 +1,2 @@\n x\r\n-y\r\n+Y\r\n"},
};

TEST(LineDiff, UnifiedFormatOfCases) {
  for (const TDiffCase &c : DiffCases) {
    const std::string diff = UnifiedDiff(c.Old, c.New, "a/f", "b/f");
    if (!c.Expected)
      EXPECT_EQ(diff, "") << c.Old;
    else
      EXPECT_EQ(diff, std::string("--- a/f\n+++ b/f\n") + c.Expected) << c.Old << "|" << c.New;
  }
}

// Length of the longest common subsequence, by the plain quadratic table.
std::size_t CommonLength(const std::vector<std::string_view> &a,
                         const std::vector<std::string_view> &b) {
  std::vector<std::vector<std::size_t>> t(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = a.size(); i-- > 0;)
    for (std::size_t j = b.size(); j-- > 0;)
      t[i][j] = a[i] == b[j] ? t[i + 1][j + 1] + 1 : std::max(t[i + 1][j], t[i][j + 1]);
  return t[0][0];
}

// Random texts over a few distinct lines: the edits turn the old lines into the new
// ones, keep only equal lines, and are as few as the longest common subsequence allows.
TEST(LineDiff, RandomEditsRebuildTheNewLinesWithFewestSteps) {
  std::mt19937 random(20261209);
  const char *pool[] = {"a\n", "b\n", "c\n", "d\n", "e"};
  for (int round = 0; round < 2000; ++round) {
    auto randomLines = [&] {
      std::vector<std::string_view> lines(random() % 25);
      for (std::string_view &line : lines)
        line = pool[random() % (round % 2 ? 2 : 4)];
      return lines;
    };
    const std::vector<std::string_view> a = randomLines(), b = randomLines();
    const std::vector<TLineEdit> edits = DiffLines(a, b);
    std::vector<std::string_view> rebuilt;
    std::size_t oldNext = 0, newNext = 0, kept = 0;
    for (const TLineEdit &edit : edits) {
      switch (edit.FKind) {
      case TLineEdit::TKind::Keep:
        ASSERT_EQ(edit.FOld, oldNext);
        ASSERT_EQ(a[edit.FOld], b[edit.FNew]);
        rebuilt.push_back(a[oldNext++]);
        ++newNext;
        ++kept;
        break;
      case TLineEdit::TKind::Delete:
        ASSERT_EQ(edit.FOld, oldNext++);
        break;
      case TLineEdit::TKind::Insert:
        ASSERT_EQ(edit.FNew, newNext);
        rebuilt.push_back(b[newNext++]);
        break;
      }
    }
    EXPECT_EQ(oldNext, a.size());
    EXPECT_EQ(rebuilt, b);
    EXPECT_EQ(kept, CommonLength(a, b)) << "round " << round;
  }
}

} // namespace
