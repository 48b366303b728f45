// The system's millisecond tick.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the system started (suspended time included where the system
// counts it); 0 when no clock is available.
std::uint64_t TickCount();

} // namespace platform
