// The example scripts shipped in examples/ do what their comments say.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

namespace {

std::string Example(const std::string &name) {
  return std::string(REDEVUVO_SOURCE_DIR) + "/examples/" + name;
}

} // namespace

TEST(Examples, EachExampleRewritesItsInputAsDocumented) {
  struct {
    std::string script, input, output;
  } cases[] = {
      {"number_lines.pwl", "a\nb\n", "   1  a\n   2  b\n"},
      {"remove_blank_lines.pwl", "x\r\n\n  \ny", "x\r\ny"},
      {"sort_lines.pwl", "b\nA\nc\n", "A\nb\nc\n"},
      {"csv_upper_first_field.pwl", "ab;cd\nef\n", "AB;cd\nEF\n"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({Example(c.script)}, WithStdin(c.input));
    EXPECT_EQ(r.ExitCode, 0) << c.script << r.Stderr;
    EXPECT_EQ(r.Stdout, c.output) << c.script;
  }
}

TEST(Examples, TheReadmeJobRunsOnTheSampleFile) {
  TProcessResult r = RunRedevuvo({Example("number_lines.pwl"), "/i", Example("sample.txt")});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "   1  Erste Zeile\n   2  Zweite Zeile\n   3  Dritte Zeile\n");
}
