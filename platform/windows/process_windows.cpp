#include "platform/process.h"

#include "platform/windows/win32_text.h"

#include <cstdlib>
#include <windows.h>
// Our own function of this name, not the Win32 macro.
#undef GetEnvironmentVariable

namespace platform {

std::string ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n == 0)
      return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return win32::NarrowName(buffer).value_or(std::string());
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> GetEnvironmentVariable(const std::string &name) {
  if (name.empty() || name.find_first_of(std::string("=\0", 2)) != std::string::npos)
    return std::nullopt;
  const std::optional<std::wstring> wideName = win32::WideName(name);
  if (!wideName)
    return std::nullopt;
  std::wstring value(64, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(wideName->c_str(), value.data(), DWORD(value.size()));
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
      return std::nullopt;
    if (n < value.size()) {
      value.resize(n);
      break;
    }
    value.resize(n);
  }
  // Characters the ANSI page lacks turn into its replacement, as the A functions do.
  const int size = WideCharToMultiByte(CP_ACP, 0, value.data(), int(value.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(size_t(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, 0, value.data(), int(value.size()), bytes.data(), size, nullptr,
                        nullptr);
  return bytes;
}

std::string TemporaryDirectory() {
  wchar_t buffer[MAX_PATH + 2];
  const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
  std::optional<std::string> name;
  if (length > 0 && length < MAX_PATH + 2)
    name = win32::NarrowName(std::wstring_view(buffer, length));
  // A directory the ANSI code page cannot name: the current one.
  return name.value_or(".");
}

std::string CurrentDirectory() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0)
    return {};
  std::wstring buffer(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size)
    return {};
  buffer.resize(n);
  return win32::NarrowName(buffer).value_or(std::string());
}

} // namespace platform
