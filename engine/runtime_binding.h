// The process-wide binding of the Lua runtime: the runtime image carried inside
// the executable is mapped on first need and its entry points are bound by name
// into the table that all engine code calls through (engine/lua_api.h).
#pragma once

#include <optional>
#include <string_view>

// True while a mapped runtime is present.
bool LuaRuntimeLoaded();

// Releases a mapped runtime, maps the image and binds it. Raises
// ELuaLibraryNotFound, ELuaLibraryLoadError or ELuaLibraryMethodNotFound.
void LoadLuaRuntime();

// Binds every required entry point from the mapped runtime, in list order.
void BindLuaRuntime();

// Releases the mapped runtime, if any. The entry-point table keeps its values.
void FreeLuaRuntime();

// The image the build carries: the embedded shared object on Linux, the RCDATA
// resource "LUALIB" on Windows (empty when the build carries none).
std::string_view EmbeddedLuaRuntimeImage();

// Lets tests hand the loader another image (nullopt: no image at all) for the
// lifetime of the object. The runtime is released on both ends.
class TLuaRuntimeImageOverride {
public:
  explicit TLuaRuntimeImageOverride(std::optional<std::string_view> image);
  ~TLuaRuntimeImageOverride();
  TLuaRuntimeImageOverride(const TLuaRuntimeImageOverride &) = delete;
  TLuaRuntimeImageOverride &operator=(const TLuaRuntimeImageOverride &) = delete;

private:
  std::optional<std::optional<std::string_view>> FPrevious;
};
