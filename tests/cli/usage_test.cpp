#include "tests/support/process_runner.h"

#include <gtest/gtest.h>

TEST(CommandLine, NoArgumentsShowsUsageAndFails) {
  TProcessResult r = RunRedevuvo({});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_EQ(r.Stdout, "");
}
