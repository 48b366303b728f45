#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/text/line_rewriter.h"

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
