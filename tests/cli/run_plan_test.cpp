// Wildcard and recursive runs, and finding the script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

void MakeLink(const std::string &target, const std::string &path) {
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
}

// Appends the line "+" to the text: a second edit of one file shows as a second line.
const char *AppendLine =
    "PWL.ForEachChar(function(c, pos) if pos == PWL.CharCount() then return c .. '+\\n' end "
    "return c end)";

// A FIFO that a run which wrongly reads it cannot hang on: a writer opens it as soon
// as anyone opens it for reading and closes it again, so such a read ends at once.
// At the end a reader of our own releases the writer if nobody else came.
class TFifo {
public:
  explicit TFifo(std::string path) : FPath(std::move(path)) {
    FMade = mkfifo(FPath.c_str(), 0644) == 0;
    if (FMade)
      FWriter = std::thread([this] { close(open(FPath.c_str(), O_WRONLY)); });
  }
  ~TFifo() {
    if (!FMade)
      return;
    int reader = open(FPath.c_str(), O_RDONLY | O_NONBLOCK);
    FWriter.join();
    close(reader);
  }
  TFifo(const TFifo &) = delete;
  TFifo &operator=(const TFifo &) = delete;
  bool Made() const { return FMade; }

private:
  std::string FPath;
  bool FMade = false;
  std::thread FWriter;
};

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
  dir.Write("2.txt", "read-only\n");
  ASSERT_EQ(chmod(dir.File("2.txt").c_str(), 0444), 0); // never overwritten, not even by root
  dir.Write("3.txt", "three\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/*.txt"});
  EXPECT_EQ(r.ExitCode, 1);
  auto lines = r.StderrLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "Fehler: Kann nicht in Ausgabedatei schreiben!");
  EXPECT_EQ(lines[lines.size() - 2],
            "  Datei: " + dir.File("2.txt") + ": " + std::strerror(EACCES));
  EXPECT_EQ(lines.back(), "Zusammenfassung: 1 Datei bearbeitet, 1 geändert, 0 übersprungen");
  EXPECT_EQ(ReadFileBytes(dir.File("1.txt")), "ONE\n");
  EXPECT_EQ(ReadFileBytes(dir.File("2.txt")), "read-only\n");
  EXPECT_EQ(ReadFileBytes(dir.File("3.txt")), "three\n");

  TProcessResult scriptError = RunRedevuvo(
      {"/c", "if PWL.GetLine(1) == 'three' then error('stop') end " + std::string(Upper), "/i",
       dir.Path() + "/[13].txt"});
  EXPECT_EQ(scriptError.ExitCode, 2);
  EXPECT_EQ(ReadFileBytes(dir.File("3.txt")), "three\n");
}

TEST(RunPlan, EachFileIsEditedOnceHoweverManyLinksReachIt) {
  TTempDir tree;
  MakeDir(tree.File("dir"));
  MakeDir(tree.File("dir/sub"));
  tree.Write("dir/a.txt", "a\n");
  MakeLink("a.txt", tree.File("dir/link.txt"));        // beside the file, listed after it
  MakeLink("../a.txt", tree.File("dir/sub/also.txt")); // in a subdirectory
  MakeLink("c.txt", tree.File("dir/b.txt"));           // listed before its target
  tree.Write("dir/c.txt", "c\n");
  tree.Write("outside.dat", "o\n"); // not listed itself: edited under its first link
  MakeLink("../outside.dat", tree.File("dir/l1.txt"));
  MakeLink("../outside.dat", tree.File("dir/l2.txt"));
  tree.Write("dir/h1.txt", "h\n"); // hard links are names of their own
  ASSERT_EQ(link(tree.File("dir/h1.txt").c_str(), tree.File("dir/h2.txt").c_str()), 0);

  TProcessResult r = RunRedevuvo({"/c", AppendLine, "/i", tree.File("dir/*.txt"), "/s"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ProgressLines(r),
            (std::vector<std::string>{tree.File("dir/a.txt"), tree.File("dir/c.txt"),
                                      tree.File("dir/h1.txt"), tree.File("dir/h2.txt"),
                                      tree.File("dir/l1.txt")}));
  for (const auto &[name, content] :
       std::vector<std::pair<std::string, std::string>>{{"dir/a.txt", "a\n+\n"},
                                                        {"dir/c.txt", "c\n+\n"},
                                                        {"outside.dat", "o\n+\n"},
                                                        {"dir/h1.txt", "h\n+\n"},
                                                        {"dir/h2.txt", "h\n+\n"}})
    EXPECT_EQ(ReadFileBytes(tree.File(name)), content) << name;
}

TEST(RunPlan, TreeRunsPassOverWhatIsNoRegularFileAndSkipEmptyFiles) {
  TTempDir tree;
  MakeDir(tree.File("sub"));
  tree.Write("1.txt", "one\n");
  MakeLink("missing.txt", tree.File("3-dangling.txt"));
  TFifo fifo(tree.File("2-fifo.txt"));
  ASSERT_TRUE(fifo.Made());
  tree.Write("4-empty.txt", "");
  tree.Write("5.txt", "five\n");
  tree.Write("sub/6.txt", "six\n");

  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", tree.File("*.txt"), "/s"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ProgressLines(r), (std::vector<std::string>{tree.File("1.txt"), tree.File("5.txt"),
                                                        tree.File("sub/6.txt")}));
  std::vector<std::string> lines = r.StderrLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Hinweis: Datei ist leer, übersprungen: " + tree.File("4-empty.txt")),
            lines.end())
      << r.Stderr;
  EXPECT_EQ(ReadFileBytes(tree.File("1.txt")), "ONE\n");
  EXPECT_EQ(ReadFileBytes(tree.File("5.txt")), "FIVE\n");
  EXPECT_EQ(ReadFileBytes(tree.File("sub/6.txt")), "SIX\n");
  EXPECT_EQ(ReadFileBytes(tree.File("4-empty.txt")), "");
  EXPECT_FALSE(FileExists(tree.File("missing.txt")));

  // A single named input still fails on its own.
  TProcessResult named = RunRedevuvo({"/c", Upper, "/i", tree.File("4-empty.txt")});
  EXPECT_EQ(named.ExitCode, 1);
  EXPECT_EQ(LastLine(named), "Fehler: Keine Daten in Eingabedatei vorhanden!");
}

TEST(RunPlan, BackupsAreNoInputs) {
  TTempDir dir;
  dir.Write("a.txt", "a\n");
  dir.Write("a.pwl_backup", "old backup\n");
  dir.Write("B.PWL_BACKUP", "other backup\n"); // any case
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.File("*"), "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ProgressLines(r), (std::vector<std::string>{dir.File("a.txt")}));
  EXPECT_EQ(ReadFileBytes(dir.File("a.txt")), "A\n");
  EXPECT_EQ(ReadFileBytes(dir.File("a.pwl_backup")), "a\n");
  EXPECT_EQ(ReadFileBytes(dir.File("B.PWL_BACKUP")), "other backup\n");
  EXPECT_FALSE(FileExists(dir.File("a.pwl_backup.pwl_backup")));
}

// No backup of a run replaces another: targets sharing a short backup name get
// their full name plus ".pwl_backup", and a target written twice keeps the backup
// of its original.
TEST(RunPlan, BackupsOfOneRunNeverReplaceEachOther) {
  TTempDir dir;
  dir.Write("report.md", "md\n");
  dir.Write("report.txt", "txt\n");
  TProcessResult r = RunRedevuvo({"/c", Upper, "/i", dir.Path() + "/report.*", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("report.pwl_backup")), "md\n");
  EXPECT_EQ(ReadFileBytes(dir.File("report.txt.pwl_backup")), "txt\n");
  EXPECT_NE(r.Stderr.find("Hinweis: Sicherungskopie unter " + dir.File("report.txt.pwl_backup")),
            std::string::npos)
      << r.Stderr;

  TTempDir tree; // two inputs, one output file: names match ignoring case
  tree.Write("out.txt", "original\n");
  tree.Write("DATA.TXT", "first\n");
  tree.Write("data.txt", "second\n");
  r = RunRedevuvo({"/c", Upper, "/i", tree.File("data.txt"), "/s", "/o", "out.txt", "/b"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(tree.File("out.txt")), "SECOND\n");
  EXPECT_EQ(ReadFileBytes(tree.File("out.pwl_backup")), "original\n");
}

// Concurrent in-place runs on one file take turns: each adds its line, none is lost.
TEST(RunPlan, ConcurrentInPlaceRunsOnOneFileLoseNoEdit) {
  TTempDir dir;
  const std::string file = dir.Write("shared.txt", "start\n");
  const std::string script = dir.Write(
      "append.pwl", "local n = PWL.LineCount() os.sleep(20)\n"
                    "PWL.ForEachLine(function(l, i) if i == n then return l .. '\\nx' end "
                    "return l end)");
  const std::string command = "for i in 1 2 3 4 5 6 7 8 9 10; do '" + std::string(REDEVUVO_BINARY) +
                              "' '" + script + "' /i '" + file + "' /p 2>/dev/null & done; wait";
  TProcessResult r = RunProcess({"/bin/sh", "-c", command});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  std::string expected = "start\n";
  for (int i = 0; i < 10; ++i)
    expected += "x\n";
  EXPECT_EQ(ReadFileBytes(file), expected);
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

TEST(RunPlan, WildcardAndTreeRunsEndWithASummary) {
  const std::string identity = "PWL.ForEachLine(function(l) return l end)";
  const std::string stopAtTwo =
      "if PWL.GetLine(1) == 'TWO' then error('stop') end " + std::string(Upper);
  struct {
    std::string script, pattern;
    std::vector<std::string> options;
    int exitCode;
    std::string summary; // empty: no summary line at all
  } cases[] = {
      {Upper, "*.txt", {}, 0, "Zusammenfassung: 2 Dateien bearbeitet, 1 geändert, 1 übersprungen"},
      {Upper,
       "*.txt",
       {"/s"},
       0,
       "Zusammenfassung: 3 Dateien bearbeitet, 2 geändert, 1 übersprungen"},
      {identity,
       "*.txt",
       {},
       0,
       "Zusammenfassung: 2 Dateien bearbeitet, 0 geändert, 1 übersprungen"},
      {Upper,
       "1.txt",
       {"/s", "/p"},
       0,
       "Zusammenfassung: 1 Datei bearbeitet, 1 geändert, 0 übersprungen"},
      {Upper,
       "3.txt",
       {"/s", "/p"},
       0,
       "Zusammenfassung: 0 Dateien bearbeitet, 0 geändert, 1 übersprungen"},
      // After a failure the counts say how far the run got.
      {stopAtTwo,
       "*.txt",
       {},
       2,
       "Zusammenfassung: 1 Datei bearbeitet, 1 geändert, 0 übersprungen"},
      {Upper, "*.none", {"/s"}, 0, ""}, // nothing found: silent
      {Upper, "1.txt", {"/p"}, 0, ""},  // one named file: no summary
  };
  for (const auto &c : cases) {
    TTempDir dir;
    MakeDir(dir.File("sub"));
    dir.Write("1.txt", "one\n");
    dir.Write("2.txt", "TWO\n"); // Upper leaves it as it is
    dir.Write("3.txt", "");
    dir.Write("sub/4.txt", "four\n");
    std::vector<std::string> args = {"/c", c.script, "/i", dir.File(c.pattern)};
    args.insert(args.end(), c.options.begin(), c.options.end());
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.script << " " << c.pattern << "\n" << r.Stderr;
    std::vector<std::string> summaries;
    for (const std::string &line : r.StderrLines())
      if (line.rfind("Zusammenfassung", 0) == 0)
        summaries.push_back(line);
    if (c.summary.empty()) {
      EXPECT_EQ(summaries.size(), 0u) << c.pattern << "\n" << r.Stderr;
    } else {
      EXPECT_EQ(summaries, std::vector<std::string>{c.summary}) << c.pattern;
      EXPECT_EQ(LastLine(r), c.summary) << c.pattern;
    }
  }
}
