// The example scripts shipped in examples/ do what their comments say.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/process_runner.h"

#include <sys/stat.h>

namespace {

std::string Example(const std::string &name) {
  return std::string(REDEVUVO_SOURCE_DIR) + "/examples/" + name;
}

} // namespace

TEST(Examples, EachExampleRewritesItsInputAsDocumented) {
  TTempDir dir; // the working directory, so that no example writes into the tree
  struct {
    std::string script, input, output;
  } cases[] = {
      {"number_lines.pwl", "a\nb\n", "   1  a\n   2  b\n"},
      {"remove_blank_lines.pwl", "x\r\n\n  \ny", "x\r\ny"},
      {"sort_lines.pwl", "b\nA\nc\n", "A\nb\nc\n"},
      {"sort_lines.pwl", "zebra\nÄpfel\nbanana\nApfel\n", "Apfel\nÄpfel\nbanana\nzebra\n"},
      {"csv_upper_first_field.pwl", "ab;cd\nef\n", "AB;cd\nEF\n"},
      {"trim_trailing_blanks.pwl", "a  \nb\t\r\n\n  c \t", "a\nb\r\n\n  c"},
      {"second_column.pwl", "name;city;zip\nx\na;b\r\n;;\n", "city\n\nb\r\n\n"},
      {"unique_lines.pwl", "b\na\nb\n\n\na\nc", "b\na\n\nc"},
      {"similar_names.pwl", "Meier\nKoch\nMayr\n\nSchmidt\nMüller\nSchmitt\nMueller\nBach\n",
       "Meier: Mayr\nMayr: Meier\nSchmidt: Schmitt\nMüller: Mueller\nSchmitt: Schmidt\n"
       "Mueller: Müller\n"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({Example(c.script)}, WithStdin(c.input, dir.Path()));
    EXPECT_EQ(r.ExitCode, 0) << c.script << r.Stderr;
    EXPECT_EQ(r.Stdout, c.output) << c.script;
  }
}

TEST(Examples, TheReadmeJobRunsOnTheSampleFile) {
  TProcessResult r = RunRedevuvo({Example("number_lines.pwl"), "/i", Example("sample.txt")});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "   1  Erste Zeile\n   2  Zweite Zeile\n   3  Dritte Zeile\n");
}

// The README's tutorial jobs on files: previewing, then trimming every *.txt below a
// directory with backups, then packing the results.
TEST(Examples, TheTutorialJobsTrimAFileTreeAndPackIt) {
  TTempDir dir;
  dir.Write("a.txt", "one  \ntwo\t\r\n");
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  dir.Write("sub/b.txt", "three \n");
  dir.Write("sub/c.md", "left  \n");
  TProcessOptions inDir;
  inDir.WorkingDirectory = dir.Path();

  // The preview shows what would change and writes nothing.
  TProcessResult preview =
      RunRedevuvo({Example("trim_trailing_blanks.pwl"), "/i", "*.txt", "/s", "/n"}, inDir);
  ASSERT_EQ(preview.ExitCode, 0) << preview.Stderr;
  EXPECT_NE(preview.Stdout.find("-three \n+three\n"), std::string::npos) << preview.Stdout;
  EXPECT_EQ(ReadFileBytes(dir.File("sub/b.txt")), "three \n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("sub/b.pwl_backup")));

  TProcessResult trim =
      RunRedevuvo({Example("trim_trailing_blanks.pwl"), "/i", "*.txt", "/s", "/b"}, inDir);
  ASSERT_EQ(trim.ExitCode, 0) << trim.Stderr;
  struct {
    std::string file, content;
  } files[] = {
      {"a.txt", "one\ntwo\r\n"}, {"a.pwl_backup", "one  \ntwo\t\r\n"},
      {"sub/b.txt", "three\n"},  {"sub/b.pwl_backup", "three \n"},
      {"sub/c.md", "left  \n"},
  };
  for (const auto &f : files)
    EXPECT_EQ(ReadFileBytes(dir.File(f.file)), f.content) << f.file;

  TProcessResult pack = RunRedevuvo({Example("zip_results.pwl")},
                                    WithStdin("a.txt\nsub/b.txt\nmissing.txt\n", dir.Path()));
  ASSERT_EQ(pack.ExitCode, 0) << pack.Stderr;
  EXPECT_EQ(pack.Stdout, "a.txt\nsub/b.txt\nmissing.txt: cannot add file\n");
  // An independent reader sees the entries with the trimmed contents.
  TProcessOptions unzip = inDir;
  TProcessResult names = RunProcess({"/usr/bin/unzip", "-Z1", "results.zip"}, unzip);
  EXPECT_EQ(names.Stdout, "a.txt\nsub/b.txt\n") << names.Stderr;
  TProcessResult content = RunProcess({"/usr/bin/unzip", "-p", "results.zip", "sub/b.txt"}, unzip);
  EXPECT_EQ(content.Stdout, "three\n") << content.Stderr;
}
