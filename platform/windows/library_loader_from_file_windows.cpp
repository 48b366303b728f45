// A stand-in for the in-memory loader: the image is written to a temporary file and
// loaded from there with the system loader, which is all the tests need until the
// loader proper is in the tree.
#include "platform/library_loader.h"

#include <map>
#include <string>
#include <windows.h>

namespace platform {
namespace {

// The file behind each loaded image, removed when the image is freed.
std::map<void *, std::wstring> &LoadedFiles() {
  static std::map<void *, std::wstring> files;
  return files;
}

} // namespace

void *LoadLibraryFromMemory(std::string_view image) {
  wchar_t directory[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (image.empty() || GetTempPathW(MAX_PATH + 1, directory) == 0 ||
      GetTempFileNameW(directory, L"lua", 0, name) == 0)
    return nullptr;
  HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, image.data(), DWORD(image.size()), &written, nullptr) &&
                  written == image.size();
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  HMODULE module = ok ? LoadLibraryExW(name, nullptr, 0) : nullptr;
  if (module == nullptr) {
    DeleteFileW(name);
    return nullptr;
  }
  LoadedFiles()[module] = name;
  return module;
}

void *LibrarySymbol(void *library, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void FreeLibrary(void *library) {
  ::FreeLibrary(static_cast<HMODULE>(library));
  auto found = LoadedFiles().find(library);
  if (found != LoadedFiles().end()) {
    DeleteFileW(found->second.c_str());
    LoadedFiles().erase(found);
  }
}

} // namespace platform
