#include "core/text/line_model.h"

#include <gtest/gtest.h>

#include <random>

namespace {

template <std::size_t N> std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

} // namespace

// Lines in failure messages as {text, kind}.
static void PrintTo(const TLine &line, std::ostream *out) {
  *out << "{" << testing::PrintToString(line.Text) << ", " << static_cast<int>(line.LineEnd) << "}";
}

TEST(LineModel, SplitsAtLfAndCrLfOnly) {
  struct {
    std::string text;
    std::vector<TLine> lines;
  } cases[] = {
      {"a\r\nb\nc", {{"a", LineEndCRLF}, {"b", LineEndLF}, {"c", LineEndNone}}},
      {"a\rb\n", {{"a\rb", LineEndLF}}},
      {"x\n", {{"x", LineEndLF}}}, // no empty line after a final break
      {"", {}},
      {"abc", {{"abc", LineEndNone}}},
      {"\r", {{"\r", LineEndNone}}}, // a lone CR at the very end is text
      {"a\r", {{"a\r", LineEndNone}}},
      {"\n", {{"", LineEndLF}}},
      {"\r\n", {{"", LineEndCRLF}}},
      {"\n\n", {{"", LineEndLF}, {"", LineEndLF}}},
      {"\r\r\n", {{"\r", LineEndCRLF}}},
      {"\n\r", {{"", LineEndLF}, {"\r", LineEndNone}}},
      {"a\n\r\nb", {{"a", LineEndLF}, {"", LineEndCRLF}, {"b", LineEndNone}}},
      {Bytes("a\0b\n\0"), {{Bytes("a\0b"), LineEndLF}, {Bytes("\0"), LineEndNone}}},
      {"\xFF\xFE\r\n\x80", {{"\xFF\xFE", LineEndCRLF}, {"\x80", LineEndNone}}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(LineModel, JoinWritesEachLinesOwnEnd) {
  std::vector<TLine> lines = {{"a", LineEndCRLF},
                              {"b", LineEndLF},
                              {"c", LineEndNone},
                              {"d", static_cast<TLineEnd>(7)}, // unknown kind: no break
                              {"", LineEndLF}};
  EXPECT_EQ(JoinLines(lines), "a\r\nb\ncd\n");
  EXPECT_EQ(JoinLines({}), "");
}

TEST(LineModel, ReplacedAndReorderedLinesKeepTheirEnds) {
  std::vector<TLine> lines = SplitLines("one\r\ntwo\nthree");
  std::swap(lines[0], lines[2]);
  lines[1].Text = "TWO";
  EXPECT_EQ(JoinLines(lines), "threeTWO\none\r\n");
  lines.erase(lines.begin() + 1); // a deleted line takes its break with it
  EXPECT_EQ(JoinLines(lines), "threeone\r\n");
}

TEST(LineModel, JoinOfSplitGivesRandomByteTextsBack) {
  std::mt19937 random(20240611);
  // Line-end bytes and NUL come often so that every neighbourhood occurs.
  const char frequent[] = {'\r', '\n', '\0', 'a'};
  for (int round = 0; round < 5000; ++round) {
    std::size_t length = random() % 64;
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
      text += random() % 2 ? frequent[random() % 4] : static_cast<char>(random() % 256);
    std::vector<TLine> lines = SplitLines(text);
    ASSERT_EQ(JoinLines(lines), text) << testing::PrintToString(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].Text.find('\n'), std::string::npos);
      if (lines[i].LineEnd == LineEndCRLF || lines[i].LineEnd == LineEndLF)
        continue;
      ASSERT_EQ(i + 1, lines.size()) << "only the last line may lack a break";
      ASSERT_FALSE(lines[i].Text.empty()) << "no empty final line";
    }
    if (lines.empty()) {
      ASSERT_TRUE(text.empty());
    }
  }
}

TEST(LineModel, LargeTextRoundTrips) {
  std::string text;
  for (int i = 0; i < 200000; ++i)
    text += i % 3 == 0 ? "line with crlf\r\n" : i % 3 == 1 ? "lf line\n" : "cr\rinside\n";
  text += "tail";
  std::vector<TLine> lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 200001u);
  EXPECT_EQ(lines[2].Text, "cr\rinside");
  EXPECT_EQ(lines.back().LineEnd, LineEndNone);
  EXPECT_EQ(JoinLines(lines), text);
}
