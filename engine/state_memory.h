// The memory of one script state. Each fresh state allocates thousands of small
// objects and frees them all again when it closes; serving those from size classes
// in a few large blocks, which the next state takes over, spares the general
// allocator that churn (and the heap-wide tidying a large free makes it do).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TStateMemory {
public:
  TStateMemory();
  ~TStateMemory();
  TStateMemory(const TStateMemory &) = delete;
  TStateMemory &operator=(const TStateMemory &) = delete;

  // The runtime's allocation function (lua_Alloc); `ud` is the TStateMemory.
  static void *Allocate(void *ud, void *ptr, std::size_t osize, std::size_t nsize) noexcept;

  // Blocks up to this size come from the size classes; larger ones from the heap.
  static constexpr std::size_t MaxSmall = 256;

private:
  static constexpr std::size_t Granule = 16;
  static constexpr std::size_t ClassCount = MaxSmall / Granule + 1;

  void *Reallocate(void *ptr, std::size_t osize, std::size_t nsize) noexcept;
  void *TakeSmall(std::size_t size) noexcept;
  void GiveSmall(void *ptr, std::size_t size) noexcept;
  bool AddChunk() noexcept;
  bool OwnsBlock(const void *ptr) const noexcept;

  void *FFree[ClassCount] = {};
  char *FNext = nullptr; // the unused rest of the newest chunk
  char *FEnd = nullptr;
  std::vector<std::uintptr_t> FChunks; // chunk addresses, sorted
};
