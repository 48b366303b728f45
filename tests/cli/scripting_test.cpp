// Filter scripts end to end: the rewritten text, host failures, modules.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

TEST(Scripting, FiltersRewriteTheTextKeepingEachLineEnd) {
  struct {
    std::string script, input, output;
  } cases[] = {
      {"PWL.ForEachLine(function(l) if l:find('^%s*$') then return nil end return l end)",
       "a\r\n\n  \nb\n", "a\r\nb\n"},
      {"PWL.ForEachToken(function(t) return t:upper() end, ',;')", "a,b;c\nd", "A,;B,;C\nD"},
      {"PWL.SortLines(function(a, b) return a < b and -1 or (a > b and 1 or 0) end)", "b\na",
       "a\nb"},
      {"PWL.ForEachChar(function(c) return c .. c end)", "ab\n", "aabb\n\n"},
      {"PWL.ForEachLine(function(l) return l end) PWL.ForEachChar(function(c) return c end)",
       std::string("x\0y\r\r\n\xFF", 7), std::string("x\0y\r\r\n\xFF", 7)},
      {"print('only printing')", "unchanged\r\n", "unchanged\r\n"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({"/c", c.script}, WithStdin(c.input));
    EXPECT_EQ(r.ExitCode, 0) << c.script << "\n" << r.Stderr;
    EXPECT_EQ(r.Stdout, c.output) << c.script;
  }
}

TEST(Scripting, HostFailureEndsTheRunWhereverItHappens) {
  const char *scripts[] = {
      "PWL.ForEachLine(function(l) return math.map(1, 0, 0, 0, 1) end)",
      "print(pcall(math.map, 1, 0, 0, 0, 1)) PWL.ForEachLine(function(l) return 'x' end)",
      "local co = coroutine.wrap(function() math.map(1, 5, 5, 0, 1) end) pcall(co) "
      "PWL.ForEachLine(function() return 'x' end)",
      "PWL.SortLines(function(a, b) return math.map(1, 0, 0, 0, 1) end)",
      "PWL.ForEachLine(function(l) pcall(math.map, math.mininteger, 0, -1, 0, 1) return 'x' end)",
      "PWL.ForEachChar(function(c) pcall(math.map, 0, 0, 0, 0, 0) return 'x' end)",
      "PWL.ForEachToken(function(t) local ok = xpcall(math.map, debug.traceback, 0, 0, 0, 0, 0) "
      "return 'x' end)",
      // in a finaliser while the state closes
      "setmetatable({}, {__gc = function() math.map(1, 0, 0, 0, 1) end})",
      // a coroutine from before the failure clears or replaces the main thread's hook
      "local main = coroutine.running() coroutine.resume(coroutine.create(function() "
      "coroutine.resume(coroutine.create(function() math.map(1, 0, 0, 0, 1) end)) "
      "debug.sethook(main) end))",
      "local main = coroutine.running() coroutine.wrap(function() "
      "pcall(coroutine.wrap(function() math.map(1, 0, 0, 0, 1) end)) "
      "debug.sethook(main, function() end, 'l') end)() io.stderr:write('revived\\n')",
      // finalisers run while the state closes may neither resume script code nor call the host
      "local co = coroutine.create(function() io.stderr:write('revived\\n') end) "
      "setmetatable({}, {__gc = function() coroutine.resume(co) end}) math.map(1, 0, 0, 0, 1)",
      "setmetatable({}, {__gc = function() print('revived') end}) math.map(1, 0, 0, 0, 1)",
  };
  for (const char *script : scripts) {
    TTempDir dir;
    std::string input = dir.Write("in.txt", "b\na\n");
    std::string output = dir.Write("out.txt", "old");
    TProcessResult r = RunRedevuvo({"/c", script, "/i", input, "/o", output, "/b"});
    EXPECT_EQ(r.ExitCode, 2) << script;
    std::string last = LastLine(r);
    EXPECT_TRUE(last == "Integer division by zero" || last == "Integer overflow") << last;
    EXPECT_EQ(ReadFileBytes(output), "old") << script;
    EXPECT_FALSE(FileExists(dir.File("out.pwl_backup")));
  }
}

TEST(Scripting, CallbackErrorsReplaceTheirItemsAndLeaveOneWarning) {
  struct {
    std::string script, input, output, warning;
  } cases[] = {
      {"PWL.ForEachLine(function(l) if l ~= 'a' then error('bad ' .. l, 0) end return l:upper() "
       "end)",
       "a\nb\nc\n", "A\nbad b\nbad c\n",
       "Warnung: 2 Fehler in Callbacks von PWL.ForEachLine, der erste: bad b"},
      {"PWL.ForEachChar(function(c) if c == 'x' then error(7) end return c end)", "axbx", "a7b7",
       "Warnung: 2 Fehler in Callbacks von PWL.ForEachChar, der erste: 7"},
      {"PWL.ForEachToken(function(t) if t == 'b' then error('no\\nb', 0) end return t end)",
       "a b\nc\n", "a no\nb\nc\n",
       "Warnung: 1 Fehler in einem Callback von PWL.ForEachToken: no b"},
      {"PWL.ForEachLine(function(l) if l == 'b' then error() end return l end)", "a\nb\nc", "a\nc",
       "Warnung: 1 Fehler in einem Callback von PWL.ForEachLine: (error object is a nil value)"},
      // errors the callback catches itself, and the second of two iterations
      {"PWL.ForEachLine(function(l) pcall(error, 'x') return l .. '!' end)", "a\n", "a!\n", ""},
      {"PWL.ForEachLine(function(l) return l end) PWL.ForEachChar(function(c) "
       "if c == 'b' then error('B', 0) end return c end)",
       "ab\n", "aB\n", "Warnung: 1 Fehler in einem Callback von PWL.ForEachChar: B"},
      {"PWL.SortLines(function(a, b) error(a < b and -1 or 1) end)", "b\na\n", "a\nb\n", ""},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo({"/c", c.script}, WithStdin(c.input));
    EXPECT_EQ(r.ExitCode, 0) << c.script << "\n" << r.Stderr;
    EXPECT_EQ(r.Stdout, c.output) << c.script;
    std::vector<std::string> warnings;
    for (const std::string &line : r.StderrLines())
      if (line.rfind("Warnung:", 0) == 0)
        warnings.push_back(line);
    EXPECT_EQ(warnings,
              c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning})
        << c.script;
  }
}

TEST(Scripting, PrintGoesToStandardErrorAndNeverIntoTheOutput) {
  TProcessResult r = RunRedevuvo({"/c", "print('a', 1, nil) print()"}, WithStdin("text"));
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Stdout, "text");
  auto lines = r.StderrLines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[5], "a\t1\tnil");
  EXPECT_EQ(lines[6], "");
}

TEST(Scripting, EveryInputGetsAFreshEngineAndTheScriptIsReadAgain) {
  // Globals do not survive between runs: a script that counts its runs sees 1 each time.
  TTempDir dir;
  std::string script = dir.Write("count.lua", "runs = (runs or 0) + 1 print('run', runs)");
  std::string input = dir.Write("in.txt", "x");
  for (int i = 0; i < 2; ++i) {
    TProcessResult r = RunRedevuvo({script, "/i", input, "/o", dir.File("out.txt")});
    EXPECT_EQ(LastLine(r), "run\t1");
  }
}

TEST(Scripting, RequireUsesTheRuntimeSearchPathsAndLoadsDebianCModules) {
  TTempDir dir;
  dir.Write("mymodule.lua", "return { twice = function(s) return s .. s end }");
  TProcessOptions options = WithStdin("ab\n");
  options.Environment["LUA_PATH"] = dir.Path() + "/?.lua;;";
  TProcessResult r = RunRedevuvo(
      {"/c", "local m = require('mymodule') PWL.ForEachLine(function(l) return m.twice(l) end)"},
      options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "abab\n");

  TProcessResult lpeg =
      RunRedevuvo({"/c", "local lpeg = require('lpeg') local digits = lpeg.C(lpeg.R('09')^1) "
                         "PWL.ForEachLine(function(l) return digits:match(l) or '-' end)"},
                  WithStdin("123abc\nxyz\n"));
  EXPECT_EQ(lpeg.ExitCode, 0) << lpeg.Stderr;
  EXPECT_EQ(lpeg.Stdout, "123\n-\n");
}

TEST(Scripting, ScriptErrorInsideCallbackIsCatchableByTheScript) {
  TProcessResult r = RunRedevuvo(
      {"/c", "local ok, e = pcall(PWL.ForEachLine, function() return {} end) print(ok, e)"},
      WithStdin("a\n"));
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_EQ(r.Stdout, "a\n");
  EXPECT_EQ(LastLine(r), "false\tbad argument #-1 to '?' (string expected, got table)");
}

TEST(Scripting, TheProgramCarriesItsOwnRuntimeAndDoesNotLinkLiblua) {
  TProcessResult needed = RunProcess({"/usr/bin/readelf", "-d", REDEVUVO_BINARY});
  ASSERT_EQ(needed.ExitCode, 0);
  EXPECT_EQ(needed.Stdout.find("liblua"), std::string::npos) << needed.Stdout;
  TProcessResult undefined = RunProcess({"/usr/bin/nm", "-D", "--undefined-only", REDEVUVO_BINARY});
  ASSERT_EQ(undefined.ExitCode, 0);
  EXPECT_EQ(undefined.Stdout.find(" lua_"), std::string::npos);
  EXPECT_EQ(undefined.Stdout.find(" luaL_"), std::string::npos);
}

TEST(Scripting, QuoteListsOfUnequalLengthEndTheRunAsAHostFailure) {
  // A quote pair without closing character cannot be matched; the tokenizer refuses
  // to read past the list, and the run ends even under pcall.
  TProcessResult r = RunRedevuvo(
      {"/c", "print(pcall(string.tokenlistex, '(a b) [c d]', ' ', '([', ')')) print('after')"},
      WithStdin("x\n"));
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_EQ(r.Stdout, "");
  EXPECT_NE(LastLine(r), "after");
}

// Everything after "--" reaches the script as arg and as the chunk's varargs.
TEST(Scripting, ArgumentsAfterDoubleDashReachTheScript) {
  TTempDir dir;
  const std::string report = "print(arg and #arg, arg and arg[0], select('#', ...), ...)";
  const std::string script = dir.Write("args.pwl", report);
  struct {
    std::vector<std::string> args;
    std::string printed; // the last line on standard error
  } cases[] = {
      {{"/c", report}, "nil\tnil\t0"}, // without "--" nothing changes
      {{"/c", report, "--"}, "0\t/c\t0"},
      {{"/c", report, "--", "one", "two words"}, "2\t/c\t2\tone\ttwo words"},
      // options after "--" are the script's, "--" again too
      {{"/c", report, "--", "/i", "missing.txt", "--"}, "3\t/c\t3\t/i\tmissing.txt\t--"},
      {{script, "--", "x"}, "1\t" + script + "\t1\tx"},
      {{"/c", "print(arg[1] == '\\255\\254', #arg[1], arg[2] == '')", "--", "\xFF\xFE", ""},
       "true\t2\ttrue"},
      // "--" as the value of /c is script text, not the separator
      {{"/c", "--", "--", "a"}, "Bearbeite Daten von STDIN"},
  };
  for (const auto &c : cases) {
    TProcessResult r = RunRedevuvo(c.args, WithStdin("text\n"));
    EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
    EXPECT_EQ(r.Stdout, "text\n");
    EXPECT_EQ(LastLine(r), c.printed) << r.Stderr;
  }
}
