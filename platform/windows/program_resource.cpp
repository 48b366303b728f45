#include "platform/windows/program_resource.h"

#include <string>
#include <windows.h>

namespace platform {

std::string_view ProgramDataResource(std::string_view name) {
  std::wstring wideName(name.begin(), name.end());
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(program, wideName.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
  if (resource == nullptr)
    return {};
  HGLOBAL loaded = LoadResource(program, resource);
  DWORD size = SizeofResource(program, resource);
  const void *data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr)
    return {};
  return {static_cast<const char *>(data), size};
}

} // namespace platform
