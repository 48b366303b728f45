#include "engine/state_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// One block taken through a chain of sizes, as the runtime grows and shrinks its
// strings, tables and stacks: every move keeps the bytes both sizes share, and
// blocks freed into a size class serve the next request of that class.
TEST(StateMemory, BlocksKeepTheirBytesAcrossSizeClassesAndTheHeap) {
  const std::vector<std::vector<size_t>> chains = {
      {1, 16, 17, 256, 257, 4096, 200, 8, 0}, // up through the classes to the heap and back
      {300, 100000, 40, 0},                   // born on the heap, ends in a class
      {24, 24, 23, 9, 100, 0},                // shrinks that stay in place, then a move
      {TStateMemory::MaxSmall, TStateMemory::MaxSmall + 1, TStateMemory::MaxSmall, 0},
  };
  TStateMemory memory;
  for (const std::vector<size_t> &chain : chains) {
    void *block = nullptr;
    size_t size = 0;
    for (size_t next : chain) {
      // Other blocks around it, so a move cannot land on the same address by luck.
      void *neighbour = TStateMemory::Allocate(&memory, nullptr, 0, 32);
      ASSERT_NE(neighbour, nullptr);
      void *moved = TStateMemory::Allocate(&memory, block, size, next);
      if (next == 0) {
        EXPECT_EQ(moved, nullptr);
      } else {
        ASSERT_NE(moved, nullptr);
        for (size_t i = 0; i < std::min(size, next); ++i)
          ASSERT_EQ(static_cast<unsigned char *>(moved)[i], static_cast<unsigned char>(i * 7 + 1))
              << "size " << size << " -> " << next << " at " << i;
        for (size_t i = 0; i < next; ++i)
          static_cast<unsigned char *>(moved)[i] = static_cast<unsigned char>(i * 7 + 1);
      }
      block = moved;
      size = next;
    }
  }
  // A freed small block is the next one of its class.
  void *first = TStateMemory::Allocate(&memory, nullptr, 0, 40);
  TStateMemory::Allocate(&memory, first, 40, 0);
  EXPECT_EQ(TStateMemory::Allocate(&memory, nullptr, 0, 33), first);
}

} // namespace
