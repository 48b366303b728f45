// The Windows platform layer against the system (run under Wine).
#include <gtest/gtest.h>

#include "platform/clock.h"

TEST(WindowsPlatform, TickCountAdvancesFromSystemStart) {
  const std::uint64_t first = platform::TickCount();
  EXPECT_GT(first, 0u);
  EXPECT_GE(platform::TickCount(), first);
}
