// The dry run (/n) and the exclusion list (/x), through the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>

#include "tests/support/process_runner.h"

namespace {

const char *Upper = "PWL.ForEachLine(function(l) return l:upper() end)";

std::string Uppercased(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::toupper(c)); });
  return text;
}

// What `diff -u` says between two texts under the given header path.
std::string ReferenceDiff(const std::string &before, const std::string &after,
                          const std::string &label) {
  TTempDir scratch;
  TProcessResult r =
      RunProcess({"/usr/bin/diff", "-u", "--label", "a/" + label, "--label", "b/" + label,
                  scratch.Write("old", before), scratch.Write("new", after)});
  EXPECT_TRUE(r.ExitCode == 0 || r.ExitCode == 1) << r.Stderr;
  return r.Stdout;
}

// Every entry below a directory with its content (directories as "/"), sorted.
std::vector<std::string> DirectoryState(const std::string &path) {
  std::vector<std::string> state;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(path))
    state.push_back(entry.path().string() + ":" +
                    (entry.is_directory() ? "/" : ReadFileBytes(entry.path().string())));
  std::sort(state.begin(), state.end());
  return state;
}

struct TDryRunCase {
  const char *Name;
  std::vector<std::pair<std::string, std::string>> Files; // in the working directory
  std::vector<std::string> Args;                          // after /n /c Upper
  std::string Stdin;
  int ExitCode;
  // Expected diffs: header path, text before, text after (the after is upper-cased).
  std::vector<std::pair<std::string, std::string>> Diffs;
  std::string LastMessage;
};

const std::string Lines10 = "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine\nTEN\n";

const TDryRunCase DryRunCases[] = {
    {"in place with backup",
     {{"f.txt", "a\nb\n"}},
     {"/i", "f.txt", "/p", "/b"},
     "",
     0,
     {{"f.txt", "a\nb\n"}},
     "Probelauf: 1 Datei würde geändert"},
    {"no final line end",
     {{"f.txt", "keep\nx"}},
     {"/i", "f.txt", "/p"},
     "",
     0,
     {{"f.txt", "keep\nx"}},
     "Probelauf: 1 Datei würde geändert"},
    {"missing output file",
     {{"in.txt", "a\n"}},
     {"/i", "in.txt", "/o", "out.txt"},
     "",
     0,
     {{"out.txt", ""}},
     "Probelauf: 1 Datei würde geändert"},
    {"existing output file",
     {{"in.txt", Lines10}, {"out.txt", "old\n"}},
     {"/i", "in.txt", "/o", "out.txt", "/b"},
     "",
     0,
     {{"out.txt", "old\n"}},
     "Probelauf: 1 Datei würde geändert"},
    {"output already holds the result",
     {{"in.txt", "a\n"}, {"out.txt", "A\n"}},
     {"/i", "in.txt", "/o", "out.txt"},
     "",
     0,
     {},
     "Probelauf: 0 Dateien würden geändert"},
    {"standard input to standard output",
     {},
     {},
     Lines10,
     0,
     {{"STDIN", Lines10}},
     "Probelauf: 1 Datei würde geändert"},
    {"file to standard output",
     {{"in.txt", "x\ny\n"}},
     {"/i", "in.txt"},
     "",
     0,
     {{"in.txt", "x\ny\n"}},
     "Probelauf: 1 Datei würde geändert"},
    {"wildcard run, one file unchanged",
     {{"a.txt", Lines10}, {"b.txt", "SAME\n"}, {"c.txt", "c\n"}},
     {"/i", "*.txt"},
     "",
     0,
     {{"a.txt", Lines10}, {"c.txt", "c\n"}},
     "Probelauf: 2 Dateien würden geändert"},
    {"read-only file in place",
     {{"ro.txt", "a\n"}},
     {"/i", "ro.txt", "/p"},
     "",
     1,
     {},
     "Probelauf: 0 Dateien würden geändert"},
    {"output into a directory",
     {{"in.txt", "a\n"}, {"d/keep", "k\n"}},
     {"/i", "in.txt", "/o", "d"},
     "",
     1,
     {},
     "Probelauf: 0 Dateien würden geändert"},
};

// Every case writes nothing: the directory afterwards holds exactly what it held, and
// standard output holds the diffs diff -u gives for the same texts.
TEST(DryRun, ShowsDiffsAndWritesNothing) {
  for (const TDryRunCase &c : DryRunCases) {
    TTempDir dir;
    if (std::string(c.Name) == "output into a directory") {
      ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
    }
    for (const auto &[name, content] : c.Files)
      dir.Write(name, content);
    if (std::string(c.Name) == "read-only file in place") {
      ASSERT_EQ(chmod(dir.File("ro.txt").c_str(), 0444), 0);
    }
    const std::vector<std::string> stateBefore = DirectoryState(dir.Path());
    std::vector<std::string> args{"/n", "/c", Upper};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TProcessResult r = RunRedevuvo(args, WithStdin(c.Stdin, dir.Path()));
    EXPECT_EQ(r.ExitCode, c.ExitCode) << c.Name << "\n" << r.Stderr;
    std::string expected;
    for (const auto &[label, before] : c.Diffs) {
      std::string input = before;
      for (const auto &[name, content] : c.Files)
        if (name == "in.txt")
          input = content;
      expected += ReferenceDiff(before, Uppercased(input), label);
    }
    EXPECT_EQ(r.Stdout, expected) << c.Name;
    EXPECT_EQ(LastLine(r), c.LastMessage) << c.Name;
    if (c.ExitCode == 1) {
      EXPECT_NE(r.Stderr.find("Fehler: Kann nicht in Ausgabedatei schreiben!"), std::string::npos)
          << c.Name;
    }
    EXPECT_EQ(DirectoryState(dir.Path()), stateBefore) << c.Name;
    for (const auto &[name, content] : c.Files)
      EXPECT_EQ(ReadFileBytes(dir.File(name)), content) << c.Name << " " << name;
  }
}

// The script still runs in full: what it does besides editing the text happens.
TEST(DryRun, ScriptSideEffectsStillHappen) {
  TTempDir dir;
  dir.Write("in.txt", "a\n");
  TProcessResult r = RunRedevuvo(
      {"-N", "/c",
       "table.savestrings({'saved'}, 'side.txt') PWL.ForEachLine(function(l) return l .. '!' end)",
       "/i", "in.txt", "/p"},
      WithStdin("", dir.Path()));
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_TRUE(FileExists(dir.File("side.txt")));
  EXPECT_EQ(ReadFileBytes(dir.File("in.txt")), "a\n");
  EXPECT_EQ(r.Stdout, ReferenceDiff("a\n", "a!\n", "in.txt"));
}

std::vector<std::string> ProcessedFiles(const TProcessResult &r, const std::string &prefix) {
  std::vector<std::string> files;
  for (const std::string &line : r.StderrLines())
    if (line.rfind("Bearbeite Datei " + prefix, 0) == 0)
      files.push_back(line.substr(16 + prefix.size()));
  return files;
}

struct TExcludeCase {
  std::vector<std::string> Args; // /x options and anything else after the input
  std::vector<std::string> Processed;
};

// Excluded names are left out of recursive and wildcard runs, matched like the input
// pattern (ignoring case, wildcards, braces for regular expressions); an excluded
// directory is not entered at all.
TEST(Exclusion, LeavesOutMatchingFilesAndDirectories) {
  TTempDir dir;
  for (const char *sub : {"node_modules", "build", "src", "src/Build", "src/deep"})
    ASSERT_EQ(mkdir(dir.File(sub).c_str(), 0755), 0);
  for (const char *file : {"a.js", "app.min.js", "node_modules/m.js", "build/b.js", "src/s.js",
                           "src/Build/sb.js", "src/deep/d.js", "src/deep/x.min.js"})
    dir.Write(file, "x\n");
  const TExcludeCase cases[] = {
      {{"/s"},
       {"/a.js", "/app.min.js", "/build/b.js", "/node_modules/m.js", "/src/Build/sb.js",
        "/src/deep/d.js", "/src/deep/x.min.js", "/src/s.js"}},
      {{"/s", "/x", "node_modules;build;*.min.js"}, {"/a.js", "/src/deep/d.js", "/src/s.js"}},
      {{"/s", "-X", "node_modules", "/x", "BUILD", "/x", "*.MIN.JS"},
       {"/a.js", "/src/deep/d.js", "/src/s.js"}},
      {{"/s", "/x", "{^(src|node_.*)$}"}, {"/a.js", "/app.min.js", "/build/b.js"}},
      {{"/s", "/x", "deep;?.js"}, {"/app.min.js", "/src/Build/sb.js"}},
      {{"/x", "a.*"}, {"/app.min.js"}},
  };
  for (const TExcludeCase &c : cases) {
    std::vector<std::string> args{"/n", "/c", Upper, "/i", dir.File("*.js")};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    EXPECT_EQ(ProcessedFiles(r, dir.Path()), c.Processed) << c.Args.back();
  }
  TProcessResult bad = RunRedevuvo({"/c", Upper, "/i", dir.File("*.js"), "/x", "{unclosed"});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(LastLine(bad), "Fehler: Ausschlussmuster ist ungültig!");
  TProcessResult missing = RunRedevuvo({"/c", Upper, "/i", dir.File("*.js"), "/x"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_NE(missing.Stderr.find("Aufruf:"), std::string::npos);
}

} // namespace
