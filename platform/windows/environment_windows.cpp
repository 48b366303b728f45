#include "platform/environment.h"

#include "platform/windows/win32_text.h"

#include <windows.h>

namespace platform {

std::optional<std::u16string> EnvironmentVariable(std::u16string_view name) {
  if (name.empty() || name.find_first_of(std::u16string_view(u"=\0", 2)) != std::u16string_view::npos)
    return std::nullopt;
  const std::wstring wideName = win32::ToWide(name);
  std::wstring value(64, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), DWORD(value.size()));
    if (n == 0)
      return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                      : std::optional<std::u16string>(u"");
    if (n < value.size()) {
      value.resize(n);
      return win32::FromWide(value);
    }
    value.resize(n);
  }
}

std::u16string ExpandEnvironment(std::u16string_view s) {
  const std::wstring source = win32::ToWide(s);
  std::wstring result(source.size() + 64, L'\0');
  for (;;) {
    const DWORD n = ExpandEnvironmentStringsW(source.c_str(), result.data(), DWORD(result.size()));
    if (n == 0)
      return std::u16string(s);
    // The count includes the terminating NUL.
    if (n <= result.size()) {
      result.resize(n - 1);
      return win32::FromWide(result);
    }
    result.resize(n);
  }
}

} // namespace platform
