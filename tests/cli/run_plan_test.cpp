// Wildcard and recursive runs, and finding the script.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/process_runner.h"

namespace {

const char *Upper = "PWL.ForEachLine(function(l) return l:upper() end)";

std::vector<std::string> ProgressLines(const TProcessResult &r) {
  std::vector<std::string> lines;
  for (const std::string &line : r.StderrLines())
    if (line.rfind("Bearbeite Datei ", 0) == 0)
      lines.push_back(line.substr(16));
  return lines;
}

void MakeDir(const std::string &path) {
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path;
}

} // namespace

TEST(RunPlan, WildcardInputRewritesEveryMatchInPlaceInSortedOrder) {
  TTempDir dir;
  dir.Write("b.txt", "b\n");
  dir.Write("A.txt", "a\n");
  dir.Write("c.log", "c\n");
  dir.Write(".hidden.txt", "h\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/*.txt", "/o", "ignored.txt"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ProgressLines(r), (std::vector<std::string>{dir.File("A.txt"), dir.File("b.txt")}));
  EXPECT_EQ(ReadFileBytes(dir.File("A.txt")), "A\n");
  EXPECT_EQ(ReadFileBytes(dir.File("b.txt")), "B\n");
  EXPECT_EQ(ReadFileBytes(dir.File("c.log")), "c\n");
  EXPECT_EQ(ReadFileBytes(dir.File(".hidden.txt")), "h\n");
  EXPECT_FALSE(FileExists(dir.File("ignored.txt")));
  EXPECT_EQ(r.Stdout, "");
}

TEST(RunPlan, BracketsInTheNameMakeAWildcardInput) {
  TTempDir dir;
  dir.Write("x1.txt", "one\n");
  dir.Write("x2.txt", "two\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/x[1].txt"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("x1.txt")), "ONE\n");
  EXPECT_EQ(ReadFileBytes(dir.File("x2.txt")), "two\n");
}

TEST(RunPlan, WildcardMatchingNothingProcessesNothingAndSucceeds) {
  TTempDir dir;
  for (std::string pattern : {dir.Path() + "/*.none", dir.Path() + "/missing-dir/*.txt"}) {
    TProcessResult r = RunRedevuvo({"/c", Upper, "/i", pattern});
    EXPECT_EQ(r.ExitCode, 0) << pattern;
    EXPECT_EQ(r.StderrLines().size(), 4u) << r.Stderr; // the banner only
  }
}

TEST(RunPlan, RecursiveRunWritesOneOutputPerDirectoryLastFileWinning) {
  TTempDir tree;
  MakeDir(tree.File("sub"));
  tree.Write("data.txt", "top\n");
  tree.Write("sub/data.txt", "sub\n");
  tree.Write("sub/DATA.TXT", "upper-case name\n"); // names match ignoring case
  tree.Write("sub/other.txt", "other\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", tree.File("data.txt"), "/s", "/o", "out.txt"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ProgressLines(r).size(), 3u);
  EXPECT_EQ(ReadFileBytes(tree.File("out.txt")), "TOP\n");
  // sub/DATA.TXT and sub/data.txt sort together; the one processed last wins.
  EXPECT_EQ(ReadFileBytes(tree.File("sub/out.txt")), "SUB\n");
  EXPECT_EQ(ReadFileBytes(tree.File("data.txt")), "top\n");
  EXPECT_EQ(ReadFileBytes(tree.File("sub/other.txt")), "other\n");
}

TEST(RunPlan, RecursiveInPlaceRunDescendsIntoVisibleDirectoriesOnly) {
  TTempDir dir;
  MakeDir(dir.File("sub"));
  MakeDir(dir.File(".hidden"));
  dir.Write("a.txt", "a\n");
  dir.Write("sub/b.txt", "b\n");
  dir.Write(".hidden/c.txt", "c\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/*.txt", "/s", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("a.txt")), "A\n");
  EXPECT_EQ(ReadFileBytes(dir.File("sub/b.txt")), "B\n");
  EXPECT_EQ(ReadFileBytes(dir.File("sub/b.pwl_backup")), "b\n");
  EXPECT_EQ(ReadFileBytes(dir.File(".hidden/c.txt")), "c\n");
}

TEST(RunPlan, RunStopsAtTheFirstFailingFile) {
  TTempDir dir;
  dir.Write("1.txt", "one\n");
  dir.Write("2.txt", "");
  dir.Write("3.txt", "three\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/*.txt"});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(r.StderrLines().back(), "Fehler: Keine Daten in Eingabedatei vorhanden!");
  EXPECT_EQ(ReadFileBytes(dir.File("1.txt")), "ONE\n");
  EXPECT_EQ(ReadFileBytes(dir.File("3.txt")), "three\n");

  TProcessResult scriptError = RunRedevuvo(
      {"/c", "if PWL.GetLine(1) == 'three' then error('stop') end " + std::string(Upper), "/i",
       dir.Path() + "/[13].txt"});
  EXPECT_EQ(scriptError.ExitCode, 2);
  EXPECT_EQ(ReadFileBytes(dir.File("3.txt")), "three\n");
}

TEST(RunPlan, TargetsDifferingOnlyInExtensionShareOneBackup) {
  TTempDir dir;
  dir.Write("report.md", "md\n");
  dir.Write("report.txt", "txt\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/report.*", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("report.pwl_backup")), "txt\n"); // processed last
}

TEST(ScriptLookup, BareScriptNamesAreFoundAlongPath) {
  TTempDir bin;
  TTempDir work;
  bin.Write("tidy.pwl", "print('tidy ran')");
  TProcessOptions options;
  options.Stdin = std::string("x");
  options.WorkingDirectory = work.Path();
  options.Environment["PATH"] = "/nonexistent:" + bin.Path() + ":/usr/bin";
  TProcessResult r = RunRedevuvo({"tidy.pwl"}, options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.StderrLines().back(), "tidy ran");

  // The current directory comes first.
  work.Write("tidy.pwl", "print('local tidy')");
  TProcessResult local = RunRedevuvo({"tidy.pwl"}, options);
  EXPECT_EQ(local.StderrLines().back(), "local tidy");

  // A name with a directory part is not searched for.
  TProcessResult withDir = RunRedevuvo({"./missing/tidy.pwl"}, options);
  EXPECT_EQ(withDir.ExitCode, 1);
  EXPECT_EQ(withDir.StderrLines().back(), "Fehler: Scriptdatei ist nicht vorhanden!");
}
