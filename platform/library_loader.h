// Maps a shared-object image held in memory and looks up its exports, so the
// program can carry a library inside itself instead of loading it from disk.
#pragma once

#include <string_view>

namespace platform {

// Maps the image with its symbols global (later modules resolve against it).
// Returns nullptr when the image cannot be mapped; nothing is reported besides that.
void *LoadLibraryFromMemory(std::string_view image);

// The address of an exported symbol, or nullptr.
void *LibrarySymbol(void *library, const char *name);

void FreeLibrary(void *library);

} // namespace platform
