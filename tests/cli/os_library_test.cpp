// Programs started by os.shellexecute from a running filter.
#include <gtest/gtest.h>

#include "tests/support/process_runner.h"

TEST(OsLibrary, StartedProgramNeverWritesIntoTheProcessedText) {
  TProcessOptions options;
  options.Stdin = "text\r\n";
  TProcessResult r = RunRedevuvo(
      {"/c", "assert(os.shellexecute('', '/bin/sh', [[-c 'echo launched; echo also >&2']]))"},
      options);
  EXPECT_EQ(r.ExitCode, 0) << r.Stderr;
  EXPECT_EQ(r.Stdout, "text\r\n");
  // Both of the program's streams reach standard error (the pipe stays open until
  // the program has finished, so its lines are there).
  auto lines = r.StderrLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "launched"), lines.end()) << r.Stderr;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "also"), lines.end()) << r.Stderr;
}
