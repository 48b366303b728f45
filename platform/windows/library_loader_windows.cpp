#include "platform/library_loader.h"

#include <cstdint>
#include <memory>

#include "platform/windows/memory_module.h"

namespace platform {
namespace {

// The handle handed out: a validity mark in front of the module, checked before
// any use, so a stale or foreign pointer is refused instead of followed.
struct TLoadedLibrary {
  static constexpr std::uint32_t ValidMark = 0x4D4D4F44; // "DOMM"
  std::uint32_t Mark = ValidMark;
  std::unique_ptr<TMemoryModule> Module;
};

TLoadedLibrary *Valid(void *library) {
  auto *loaded = static_cast<TLoadedLibrary *>(library);
  return loaded != nullptr && loaded->Mark == TLoadedLibrary::ValidMark ? loaded : nullptr;
}

} // namespace

void *LoadLibraryFromMemory(std::string_view image) {
  std::unique_ptr<TMemoryModule> module = TMemoryModule::Load(image);
  if (!module)
    return nullptr;
  auto loaded = std::make_unique<TLoadedLibrary>();
  loaded->Module = std::move(module);
  return loaded.release();
}

void *LibrarySymbol(void *library, const char *name) {
  TLoadedLibrary *loaded = Valid(library);
  return loaded != nullptr && name != nullptr ? loaded->Module->SymbolByName(name) : nullptr;
}

void FreeLibrary(void *library) {
  std::unique_ptr<TLoadedLibrary> loaded(Valid(library));
  if (loaded)
    loaded->Mark = 0;
}

} // namespace platform
