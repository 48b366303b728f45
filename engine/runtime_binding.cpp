#include "engine/runtime_binding.h"

#include "engine/lua_api.h"
#include "engine/lua_exceptions.h"
#include "platform/library_loader.h"

#ifdef _WIN32
#include "platform/windows/program_resource.h"
#else
extern "C" const char redevuvo_lua_runtime_begin[];
extern "C" const char redevuvo_lua_runtime_end[];
#endif

namespace {

void *RuntimeHandle = nullptr;

// Set by tests only: the image to use instead of the embedded one.
std::optional<std::optional<std::string_view>> ImageOverride;

// Whether every entry point is bound. A binding that stopped at a missing name
// leaves later slots stale, so the runtime counts as not loaded and the next
// load starts again (and fails again) instead of calling through a stale slot.
bool BindingComplete = false;

std::optional<std::string_view> RuntimeImage() {
  if (ImageOverride)
    return *ImageOverride;
  std::string_view image = EmbeddedLuaRuntimeImage();
  if (image.empty())
    return std::nullopt;
  return image;
}

} // namespace

TLuaEntryPoints LuaApi;

std::string_view EmbeddedLuaRuntimeImage() {
#ifdef _WIN32
  return platform::ProgramDataResource("LUALIB");
#else
  return std::string_view(redevuvo_lua_runtime_begin,
                          size_t(redevuvo_lua_runtime_end - redevuvo_lua_runtime_begin));
#endif
}

bool LuaRuntimeLoaded() {
  return RuntimeHandle != nullptr && BindingComplete;
}

void LoadLuaRuntime() {
  FreeLuaRuntime();
  std::optional<std::string_view> image = RuntimeImage();
  if (!image)
    throw ELuaLibraryNotFound();
  RuntimeHandle = platform::LoadLibraryFromMemory(*image);
  if (RuntimeHandle == nullptr)
    throw ELuaLibraryLoadError();
  BindLuaRuntime();
}

void BindLuaRuntime() {
  BindingComplete = false;
  const TLuaEntryPointSlot *slots = LuaEntryPointSlots();
  for (int i = 0; i < LuaEntryPointCount; ++i) {
    void *address = platform::LibrarySymbol(RuntimeHandle, slots[i].Name);
    if (address == nullptr) {
      FreeLuaRuntime();
      throw ELuaLibraryMethodNotFound(slots[i].Name);
    }
    *slots[i].Slot = address;
  }
  BindingComplete = true;
}

void FreeLuaRuntime() {
  if (RuntimeHandle == nullptr)
    return;
  platform::FreeLibrary(RuntimeHandle);
  RuntimeHandle = nullptr;
  BindingComplete = false;
}

TLuaRuntimeImageOverride::TLuaRuntimeImageOverride(std::optional<std::string_view> image)
    : FPrevious(ImageOverride) {
  FreeLuaRuntime();
  ImageOverride = image;
}

TLuaRuntimeImageOverride::~TLuaRuntimeImageOverride() {
  FreeLuaRuntime();
  ImageOverride = FPrevious;
}
