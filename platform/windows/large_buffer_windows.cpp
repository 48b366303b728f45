#include "platform/large_buffer.h"

namespace platform {

// Windows backs memory with large pages only for a process holding the lock-pages
// privilege, and only for memory allocated for it from the start: no advice to give.
void AdviseLargeBuffer(void *, std::size_t) {}

void ReserveLargeText(std::string &text, std::size_t capacity) {
  text.reserve(capacity);
}

} // namespace platform
