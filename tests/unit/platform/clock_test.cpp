#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

double UptimeSeconds() {
  double seconds = 0;
  std::ifstream("/proc/uptime") >> seconds;
  return seconds;
}

} // namespace

// The tick lies between two readings of the system's own uptime (10 ms steps),
// however long the machine takes between them; and it never runs backwards.
TEST(Clock, TickCountCountsMillisecondsSinceBoot) {
  const double before = UptimeSeconds();
  const std::uint64_t first = platform::TickCount();
  const double after = UptimeSeconds();
  ASSERT_GT(before, 0);
  EXPECT_GE(static_cast<double>(first), before * 1000 - 20);
  EXPECT_LE(static_cast<double>(first), after * 1000 + 20);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_GE(platform::TickCount() - first, 30u);
}
