// The line rewriter against the plain line model: the same edits applied to the
// lines of SplitLines must give the same numbering, lines and output.
#include "core/text/line_rewriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>

#include "core/text/line_model.h"

namespace {

// Texts made of pieces that put every line end next to every other and to text.
std::string RandomText(std::mt19937 &random) {
  static const char *const pieces[] = {"a", "bc", "\n", "\r\n", "\r", "\n\n", "\r\r\n", "x\ty"};
  std::string text;
  for (std::size_t n = random() % 12; n > 0; --n)
    text += pieces[random() % std::size(pieces)];
  return text;
}

// Replacement texts, some of them holding a line break or ending in CR, and the empty one.
std::string RandomReplacement(std::mt19937 &random, const std::string &current) {
  static const char *const texts[] = {"", "X", "y\nz", "w\r", "\r", "\n", "p\r\nq", "\r\n"};
  std::size_t pick = random() % (std::size(texts) + 1);
  return pick == std::size(texts) ? current + "+" : texts[pick];
}

// The rewriter's lines in their current numbering compared with the model's.
::testing::AssertionResult SameNumbering(const TLineRewriter &lines,
                                         const std::vector<TLine> &expected) {
  if (lines.Count() != expected.size())
    return ::testing::AssertionFailure()
           << "Count() " << lines.Count() << ", expected " << expected.size();
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (lines.Line(i) != expected[i].Text)
      return ::testing::AssertionFailure()
             << "Line(" << i << ") " << testing::PrintToString(std::string(lines.Line(i)))
             << ", expected " << testing::PrintToString(expected[i].Text);
  return ::testing::AssertionSuccess();
}

} // namespace

TEST(LineRewriter, RandomEditsMatchTheLineModel) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 600; ++round) {
    const std::string text = RandomText(random);
    const std::vector<TLine> source = SplitLines(text);
    // Processed lines first (rewritten or kept), then the ones not reached yet.
    std::vector<TLine> processed;
    std::size_t next = 0;
    bool changed = false;
    auto model = [&] {
      std::vector<TLine> all = processed;
      all.insert(all.end(), source.begin() + std::ptrdiff_t(next), source.end());
      return all;
    };
    std::string trace = testing::PrintToString(text);
    const int queryChance = int(random() % 4); // from never to often

    TLineRewriter lines(text);
    for (;;) {
      if (int(random() % 4) < queryChance) {
        ASSERT_TRUE(SameNumbering(lines, model())) << trace;
      }
      if (lines.AtEnd())
        break;
      ASSERT_LT(next, source.size()) << trace;
      ASSERT_EQ(lines.Current(), source[next].Text) << trace;
      switch (random() % 3) {
      case 0: // keep
        lines.ReplaceCurrent(std::string(lines.Current()));
        processed.push_back(source[next]);
        trace += " keep";
        break;
      case 1: {
        std::string replacement = RandomReplacement(random, source[next].Text);
        changed = changed || replacement != source[next].Text;
        lines.ReplaceCurrent(replacement);
        processed.push_back({replacement, source[next].LineEnd});
        trace += " replace " + testing::PrintToString(replacement);
        break;
      }
      default:
        lines.DeleteCurrent();
        changed = true;
        trace += " delete";
        break;
      }
      ++next;
    }
    ASSERT_EQ(next, source.size()) << trace;

    std::optional<std::string> output = lines.TakeOutput();
    if (changed)
      ASSERT_EQ(output, std::optional<std::string>(JoinLines(processed))) << trace;
    else
      ASSERT_EQ(output, std::nullopt) << trace; // every line kept: the text stays
  }
}

TEST(LineRewriter, ReorderAndJoinMatchTheLineModel) {
  std::mt19937 random(61220);
  for (int round = 0; round < 300; ++round) {
    const std::string text = RandomText(random);
    std::vector<TLine> model = SplitLines(text);
    TLineRewriter lines(text);
    if (random() % 2) {
      ASSERT_TRUE(SameNumbering(lines, model)); // the index built before the reordering
    }
    std::vector<uint32_t> order(model.size());
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<TLine> reordered;
    for (uint32_t i : order)
      reordered.push_back(model[i]);
    // The unterminated last line, moved up, swaps line ends with the line now last.
    for (TLine &line : reordered)
      if (line.LineEnd == LineEndNone && &line != &reordered.back())
        std::swap(line.LineEnd, reordered.back().LineEnd);
    lines.Reorder(order);
    ASSERT_EQ(lines.Join(), JoinLines(reordered)) << testing::PrintToString(text);
  }
}

// Each line of the source in turn is replaced by the edit's text, or deleted for
// nullopt; afterwards the lines by number and the output must show the edits.
TEST(LineRewriter, LinesByNumberAndOutputAfterEdits) {
  struct {
    std::string source;
    std::vector<std::optional<std::string>> edits;
    std::vector<std::string> lines;
    std::string output;
  } cases[] = {
      {"a", {""}, {""}, ""},
      {"a\nb", {"x", ""}, {"x", ""}, "x\n"},
      {"a\r\nb", {std::nullopt, ""}, {""}, ""},
      {"a\nb\n", {"", ""}, {"", ""}, "\n\n"},
      {"a\nb", {"a", "b\nc"}, {"a", "b\nc"}, "a\nb\nc"},
      {"a\nb\nc", {"a\r", std::nullopt, "z"}, {"a\r", "z"}, "a\r\nz"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.source);
    TLineRewriter rewriter(c.source);
    for (const auto &edit : c.edits) {
      ASSERT_FALSE(rewriter.AtEnd());
      if (edit)
        rewriter.ReplaceCurrent(*edit);
      else
        rewriter.DeleteCurrent();
    }
    EXPECT_TRUE(rewriter.AtEnd());
    ASSERT_EQ(rewriter.Count(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i)
      EXPECT_EQ(rewriter.Line(i), c.lines[i]) << "line " << i;
    EXPECT_EQ(rewriter.TakeOutput(), c.output);
  }
}
