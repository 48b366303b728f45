#include "platform/clock.h"

#include <time.h>

namespace platform {

std::uint64_t TickCount() {
  timespec now{};
  // CLOCK_BOOTTIME keeps counting through suspend, as a tick count since start should;
  // older kernels only have the monotonic clock.
  if (clock_gettime(CLOCK_BOOTTIME, &now) != 0 && clock_gettime(CLOCK_MONOTONIC, &now) != 0)
    return 0;
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

} // namespace platform
