// File names that are invalid in the code page reach the system byte for byte:
// from the command line, from a directory listing and from a script. Each case
// has the name's U+FFFD look-alike beside it, which must never be touched.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

namespace {

const char *Upper = "PWL.ForEachLine(function(l) return l:upper() end)";
const std::string Bad = "bad\xE4.txt";               // Latin-1 "ä": invalid UTF-8
const std::string Other = "bad\xF6.txt";             // another invalid byte
const std::string Lookalike = "bad\xEF\xBF\xBD.txt"; // what both would decode to

} // namespace

TEST(FileNames, InvalidNamesAreProcessedAndWrittenUnderTheirOwnBytes) {
  struct TCase {
    const char *What;
    std::vector<std::string> Args; // "@" stands for the directory
    std::string Expected;          // "file=content;..." after the run
  };
  const std::vector<TCase> cases = {
      {"in place", {"/c", Upper, "/i", "@/" + Bad, "/p"}, Bad + "=X\n;" + Lookalike + "=y\n"},
      {"wildcard", {"/c", Upper, "/i", "@/bad*.txt"}, Bad + "=X\n;" + Lookalike + "=Y\n"},
      {"two outputs",
       {"/c", "PWL.ForEachLine(function(l) return 'o' end)", "/i", "@/" + Lookalike, "/o",
        "@/" + Other},
       Other + "=o\n;" + Bad + "=x\n;" + Lookalike + "=y\n"},
      {"script names",
       {"/c",
        "local d = PWL.InputFile():match('^(.*)/') "
        "assert(table.savestrings({'s'}, d .. '/bad\\246.txt')) "
        "local found = os.path.list(d .. '/bad*.txt') table.sort(found) "
        "assert(#found == 3 and found[1] == d .. '/bad\\228.txt', found[1])",
        "/i", "@/" + Lookalike},
       Other + "=s\r\n;" + Bad + "=x\n"},
  };
  for (const TCase &c : cases) {
    TTempDir dir;
    dir.Write(Bad, "x\n");
    dir.Write(Lookalike, "y\n");
    std::vector<std::string> args;
    for (std::string arg : c.Args) {
      if (arg.rfind("@", 0) == 0)
        arg = dir.Path() + arg.substr(1);
      args.push_back(arg);
    }
    TProcessOptions options;
    options.Environment = {{"LC_ALL", "C.UTF-8"}};
    TProcessResult r = RunRedevuvo(args, options);
    EXPECT_EQ(r.ExitCode, 0) << c.What << "\n" << r.Stderr;
    std::string expected = c.Expected;
    for (size_t start = 0; start < expected.size();) {
      size_t end = expected.find(';', start);
      std::string item = expected.substr(start, end - start);
      size_t eq = item.find('=');
      EXPECT_EQ(ReadFileBytes(dir.File(item.substr(0, eq))), item.substr(eq + 1)) << c.What;
      start = end == std::string::npos ? expected.size() : end + 1;
    }
  }
}

// Script text from /c is not a name (the script above spells its names with escapes):: an invalid
// byte in it still reads as U+FFFD.
TEST(FileNames, ScriptCommandsKeepTheirTextConversion) {
  TProcessResult r = RunRedevuvo({"/c", "print(#'\xE4')"}, WithStdin("x\n"));
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(LastLine(r), "3");
}
