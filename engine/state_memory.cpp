#include "engine/state_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Chunks are aligned to their size, so the chunk a block lies in is its address
// with the low bits cleared.
constexpr std::size_t ChunkSize = std::size_t(64) * 1024;
// Chunks a closed state leaves for the next one; more would only hold on to the
// memory of one exceptional script for the rest of the run.
constexpr std::size_t CachedChunksLimit = 64;

// Aligned allocation of the standard library, which every compiler of the
// program's systems provides (unlike aligned_alloc).
void *NewChunk() noexcept {
  return ::operator new(ChunkSize, std::align_val_t(ChunkSize), std::nothrow);
}

void DeleteChunk(void *chunk) noexcept {
  ::operator delete(chunk, std::align_val_t(ChunkSize));
}

// One state at a time per thread opens and closes; a thread's states share its cache.
struct TChunkCache {
  std::vector<void *> Chunks;
  ~TChunkCache() {
    for (void *chunk : Chunks)
      DeleteChunk(chunk);
  }
};
thread_local TChunkCache ChunkCache;

std::uintptr_t ChunkOf(const void *ptr) {
  return reinterpret_cast<std::uintptr_t>(ptr) & ~std::uintptr_t(ChunkSize - 1);
}

} // namespace

TStateMemory::TStateMemory() = default;

TStateMemory::~TStateMemory() {
  for (std::uintptr_t chunk : FChunks) {
    void *memory = reinterpret_cast<void *>(chunk);
    if (ChunkCache.Chunks.size() < CachedChunksLimit) {
      try {
        ChunkCache.Chunks.push_back(memory);
        continue;
      } catch (const std::bad_alloc &) {
      }
    }
    DeleteChunk(memory);
  }
}

bool TStateMemory::AddChunk() noexcept {
  void *memory = nullptr;
  if (!ChunkCache.Chunks.empty()) {
    memory = ChunkCache.Chunks.back();
    ChunkCache.Chunks.pop_back();
  } else {
    memory = NewChunk();
    if (memory == nullptr)
      return false;
  }
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(memory);
  try {
    FChunks.insert(std::upper_bound(FChunks.begin(), FChunks.end(), address), address);
  } catch (const std::bad_alloc &) {
    DeleteChunk(memory);
    return false;
  }
  FNext = static_cast<char *>(memory);
  FEnd = FNext + ChunkSize;
  return true;
}

bool TStateMemory::OwnsBlock(const void *ptr) const noexcept {
  return std::binary_search(FChunks.begin(), FChunks.end(), ChunkOf(ptr));
}

void *TStateMemory::TakeSmall(std::size_t size) noexcept {
  const std::size_t sizeClass = (size + Granule - 1) / Granule;
  if (void *block = FFree[sizeClass]) {
    std::memcpy(&FFree[sizeClass], block, sizeof(void *));
    return block;
  }
  const std::size_t bytes = sizeClass * Granule;
  if (std::size_t(FEnd - FNext) < bytes && !AddChunk())
    return nullptr;
  void *block = FNext;
  FNext += bytes;
  return block;
}

// A block the size classes gave out goes back to the class of the size the runtime
// knows it by; a shrink that kept its place left it at least that large.
void TStateMemory::GiveSmall(void *ptr, std::size_t size) noexcept {
  const std::size_t sizeClass = (size + Granule - 1) / Granule;
  std::memcpy(ptr, &FFree[sizeClass], sizeof(void *));
  FFree[sizeClass] = ptr;
}

void *TStateMemory::Reallocate(void *ptr, std::size_t osize, std::size_t nsize) noexcept {
  // Without a block, osize tells the kind of object to be made, not a size.
  if (ptr == nullptr)
    osize = 0;
  // Only blocks of a small size can come from the classes: a larger size is only
  // ever reached by moving to the heap.
  const bool fromClasses = ptr != nullptr && osize <= MaxSmall && OwnsBlock(ptr);
  if (nsize == 0) {
    if (fromClasses)
      GiveSmall(ptr, osize);
    else
      std::free(ptr);
    return nullptr;
  }
  if (fromClasses && nsize <= MaxSmall &&
      (nsize + Granule - 1) / Granule <= (osize + Granule - 1) / Granule &&
      (nsize + Granule - 1) / Granule + 1 >= (osize + Granule - 1) / Granule)
    return ptr; // the block fits and wastes little
  if (ptr != nullptr && !fromClasses && nsize > MaxSmall) {
    void *moved = std::realloc(ptr, nsize);
    return moved != nullptr || nsize > osize ? moved : ptr;
  }
  void *block = nsize <= MaxSmall ? TakeSmall(nsize) : std::malloc(nsize);
  if (block == nullptr) {
    // The runtime counts on a shrink never failing; the block stays where it is
    // and is told apart by its address when it is freed.
    return nsize <= osize ? ptr : nullptr;
  }
  if (ptr != nullptr) {
    std::memcpy(block, ptr, std::min(osize, nsize));
    if (fromClasses)
      GiveSmall(ptr, osize);
    else
      std::free(ptr);
  }
  return block;
}

void *TStateMemory::Allocate(void *ud, void *ptr, std::size_t osize, std::size_t nsize) noexcept {
  return static_cast<TStateMemory *>(ud)->Reallocate(ptr, osize, nsize);
}
