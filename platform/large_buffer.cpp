#include "platform/large_buffer.h"

#include <cstdint>
#include <sys/mman.h>

namespace platform {
namespace {

constexpr std::uintptr_t LargePage = std::uintptr_t(2) << 20;
// Below this the faults saved do not pay for the system call.
constexpr std::size_t MinimumAdvised = 4 * LargePage;

} // namespace

void AdviseLargeBuffer(void *data, std::size_t size) {
  if (size < MinimumAdvised)
    return;
  auto start = reinterpret_cast<std::uintptr_t>(data);
  std::uintptr_t first = (start + LargePage - 1) & ~(LargePage - 1);
  std::uintptr_t last = (start + size) & ~(LargePage - 1);
  if (last > first)
    madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
}

void ReserveLargeText(std::string &text, std::size_t capacity) {
  text.reserve(capacity);
  AdviseLargeBuffer(text.data(), text.capacity());
}

} // namespace platform
