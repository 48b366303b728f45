#include "platform/clock.h"

#include <windows.h>

namespace platform {

std::uint64_t TickCount() {
  return GetTickCount64();
}

} // namespace platform
