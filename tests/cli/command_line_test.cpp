// The command line: usage, the checks in their fixed order, and the adjustments.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

namespace {

const std::string Usage1 = "Aufruf:";
const std::string UsageLast =
    "    -- arg ...  Uebergibt die folgenden Argumente an das Script (arg, ...).";

// The message after the banner with contact line (empty, product, contact, empty).
std::string MessageAfterBanner(const TProcessResult &r) {
  auto lines = r.StderrLines();
  return lines.size() > 4 ? lines[4] : "<no message>";
}

} // namespace

TEST(CommandLineUsage, NoArgumentsOrHelpOptionShowUsageWithoutContactLine) {
  for (auto args : {std::vector<std::string>{}, {"/?"}, {"-?"}, {"/?", "ignored"}}) {
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Stdout, "");
    auto lines = r.StderrLines();
    ASSERT_EQ(lines.size(), 3u + 25u);
    EXPECT_EQ(lines[0], "");
    EXPECT_NE(lines[1].find("REDEVUVO"), std::string::npos);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], Usage1);
    EXPECT_EQ(lines[5], "  REDEVUVO /c \"scriptkommandos\" [/i quelle] [/o ziel] [/s] [/p] [/b]");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines.back(), UsageLast);
  }
}

TEST(CommandLineUsage, HelpAndVersionAloneAnswerOnStandardOutput) {
  // The usage text and the banner's product and version, as "/?" shows them.
  auto usageLines = RunRedevuvo({"/?"}).StderrLines();
  ASSERT_EQ(usageLines.size(), 3u + 25u);
  std::string usage;
  for (size_t i = 3; i < usageLines.size(); ++i)
    usage += usageLines[i] + "\n";
  std::string version = usageLines[1].substr(0, usageLines[1].find(" - "));
  ASSERT_EQ(version.rfind("REDEVUVO ", 0), 0u);
  const std::string help = usage + "\nAusführliche Beschreibung: man redevuvo\n";
  struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out;
    std::string message; // the last line on standard error; none for an answer
  } cases[] = {
      {{"--help"}, 0, help, ""},
      {{"-h"}, 0, help, ""},
      {{"-H"}, 0, help, ""},
      {{"--version"}, 0, version + "\n", ""},
      // With other arguments they keep their old meaning: a script file name.
      {{"--help", "/c", "x = 1"}, 1, "", "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"/c", "x = 1", "--version"},
       1,
       "",
       "Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo(c.args, WithStdin("x\n"));
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.args[0];
    EXPECT_EQ(r.Stdout, c.out) << c.args[0];
    if (c.message.empty())
      EXPECT_EQ(r.Stderr, "") << c.args[0];
    else
      EXPECT_EQ(LastLine(r), c.message) << c.args[0];
  }
}

TEST(CommandLineUsage, ValueOptionAsLastArgumentShowsBothBannersAndUsage) {
  TTempDir dir;
  std::string script = dir.Write("s.lua", "x = 1");
  for (auto option : {"/i", "/o", "-c", "/C"}) {
    std::vector<std::string> args = {option};
    if (std::string(option) != "-c" && std::string(option) != "/C")
      args.insert(args.begin(), script);
    TProcessResult r = RunRedevuvo(args);
    EXPECT_EQ(r.ExitCode, 1) << option;
    auto lines = r.StderrLines();
    ASSERT_EQ(lines.size(), 4u + 3u + 25u) << option;
    EXPECT_NE(lines[2].find('@'), std::string::npos); // the contact line of the first banner
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[7], Usage1);
  }
}

TEST(CommandLineChecks, EachRejectedArgumentEndsWithItsMessage) {
  TTempDir dir;
  std::string script = dir.Write("s.lua", "x = 1");
  std::string input = dir.Write("in.txt", "data\n");
  const std::string missing = dir.File("nothing-here.txt");
  struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"/c", "x=1", "/c", "y=2"}, "Fehler: Scriptkommandos wurden bereits angegeben!"},
      {{script, "/c", "x=1"}, "Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!"},
      {{"/c", "x=1", script}, "Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!"},
      {{"/c", "x=1", "/i", input, "-I", input}, "Fehler: Eingabedatei wurde bereits angegeben!"},
      {{"/c", "x=1", "/i", dir.Path() + "/d*r/x.txt"},
       "Fehler: Pfad darf keine Wildcards beinhalten!"},
      {{"/c", "x=1", "/i", dir.Path() + "/d[1]/x.txt"},
       "Fehler: Pfad darf keine Wildcards beinhalten!"},
      {{"/c", "x=1", "/i", missing}, "Fehler: Eingabedatei ist nicht vorhanden!"},
      {{"/c", "x=1", "/i", dir.Path()}, "Fehler: Eingabedatei ist nicht vorhanden!"},
      {{"/c", "x=1", "/o", "a.txt", "-O", "b.txt"},
       "Fehler: Ausgabedatei wurde bereits angegeben!"},
      {{"/c", "x=1", "/o", "out?.txt"}, "Fehler: Ausgabedatei darf keine Wildcards enthalten!"},
      {{"/c", "x=1", "/o", "a*/out.txt"}, "Fehler: Ausgabedatei darf keine Wildcards enthalten!"},
      {{"/c", "x=1", "/o", dir.Path() + "/no-dir/out.txt"},
       "Fehler: Ausgabepfad ist nicht vorhanden!"},
      {{"/c", "x=1", "/o", input + "/out.txt"}, "Fehler: Ausgabepfad ist nicht vorhanden!"},
      {{script, missing}, "Fehler: Scriptdatei wurde bereits angegeben!"},
      {{missing}, "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"/s", "/?"}, "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"/i:", "x"}, "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"--c", "x"}, "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"/cx"}, "Fehler: Scriptdatei ist nicht vorhanden!"},
      {{"/s", "/p", "/b"}, "Fehler: Weder Scriptdatei noch Scriptkommando angegeben!"},
      {{"/c", "", "/c", ""}, "Fehler: Weder Scriptdatei noch Scriptkommando angegeben!"},
      {{"/c", "x=1", "/i", input, "/s"},
       "Fehler: Für die Rekursivbearbeitung muss eine Ausgabedatei oder /p angegeben werden!"},
      {{"/c", "x=1", "/i", input, "/s", "/o", dir.Path() + "/out.txt"},
       "Fehler: Für die Rekursivbearbeitung darf die Ausgabedatei keinen Pfad enthalten!"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo(c.args, WithStdin("stdin data\n"));
    std::string label = c.args.empty() ? "" : c.args.back();
    EXPECT_EQ(r.ExitCode, 1) << c.message << " / " << label;
    EXPECT_EQ(MessageAfterBanner(r), c.message) << label;
    EXPECT_EQ(r.StderrLines().size(), 5u) << label; // nothing after the message
    EXPECT_EQ(r.Stdout, "");
  }
}

TEST(CommandLineChecks, FirstRejectedArgumentWinsOverLaterOnes) {
  // The second /c is rejected before the missing script file name is looked at.
  TProcessResult r = RunRedevuvo({"/c", "a=1", "/c", "b=2", "no-such-script.lua"});
  EXPECT_EQ(MessageAfterBanner(r), "Fehler: Scriptkommandos wurden bereits angegeben!");
}

TEST(CommandLineOptions, UpperCaseAndDashFormsWork) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc\n");
  TProcessResult r = RunRedevuvo(
      {"-C", "print(PWL and 'pwl' or 'plain')", "/I", input, "-O", dir.File("out.txt"), "/B"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "abc\n");
}

TEST(CommandLineOptions, OptionFormsIgnoreTheLocalesCaseRules) {
  // Turkish case rules pair "I" with a dotless i and "i" with a dotted capital;
  // the option forms are ASCII and compare the same in every locale.
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc\n");
  const std::string show = "print(PWL.OutputFile(), PWL.SubDirs(), PWL.InPlace(), PWL.CreateBak())";
  const std::string progress = "Bearbeite Datei " + input;
  // A recursive run ends with its summary; the script leaves the text as it is.
  const std::string summary = "Zusammenfassung: 1 Datei bearbeitet, 0 geändert, 0 übersprungen";
  struct {
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> lines; // what follows the banner
  } cases[] = {
      {{"/C", show, "/I", input, "/O", "out.txt"}, 0, {progress, "out.txt\tfalse\tfalse\tfalse"}},
      {{"/C", show, "/I", input, "/S", "/P", "/B"}, 0, {progress, "\ttrue\ttrue\ttrue", summary}},
      {{"-C", show, "-I", input, "-S", "-P", "-B"}, 0, {progress, "\ttrue\ttrue\ttrue", summary}},
      // A dotted capital I is no option letter, whatever the locale pairs it with.
      {{"/c", show, "/\xC4\xB0", input},
       1,
       {"Fehler: Nur Scriptdatei ODER Scriptkommandos möglich!"}},
  };
  TProcessOptions options = WithStdin("");
  options.Environment["LC_ALL"] = "tr_TR.UTF-8";
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo(c.args, options);
    EXPECT_EQ(r.ExitCode, c.exitCode) << c.args[2] << "\n" << r.Stderr;
    auto lines = r.StderrLines();
    lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), 4));
    EXPECT_EQ(lines, c.lines) << c.args[2];
  }
  EXPECT_EQ(ReadFileBytes(dir.File("out.txt")), "abc\n");
  EXPECT_TRUE(FileExists(dir.File("in.pwl_backup")));
}

TEST(CommandLineOptions, SubdirsAndInPlaceHaveNoEffectOnStandardInput) {
  TProcessResult r = RunRedevuvo({"/c", "", "/c", "x=1", "/s", "/p", "/S"}, WithStdin("abc"));
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "abc");
}

TEST(CommandLineOptions, InPlaceIgnoresTheOutputName) {
  TTempDir dir;
  std::string input = dir.Write("in.txt", "abc\n");
  TProcessResult r = RunRedevuvo({"/c", "x=1", "/i", input, "/o", dir.File("out.txt"), "/p"});
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_FALSE(FileExists(dir.File("out.txt")));
  EXPECT_EQ(ReadFileBytes(input), "abc\n");
}

TEST(CommandLineOptions, RelativeScriptAndInputNamesResolveAgainstTheCurrentDirectory) {
  TTempDir dir;
  dir.Write("s.lua", "print('script ran')");
  dir.Write("in.txt", "abc");
  TProcessOptions options;
  options.WorkingDirectory = dir.Path();
  TProcessResult r = RunRedevuvo({"s.lua", "/i", "in.txt"}, options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "abc");
  auto lines = r.StderrLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[4], "Bearbeite Datei " + dir.Path() + "/in.txt");
  EXPECT_EQ(lines[5], "script ran");
}
