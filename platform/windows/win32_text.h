// Names and texts between this program's byte strings (the ANSI code page) and the
// UTF-16 the W functions of Windows take, and Win32 errors as errno values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// The UTF-16 form of a file name given in ANSI code page bytes; nothing when the
// name holds a NUL or does not come back as the same bytes (best-fit mapping could
// otherwise name a different existing file).
std::optional<std::wstring> WideName(std::string_view bytes);

// The ANSI code page bytes of a name the system reported; nothing when the page
// cannot carry it exactly (no best-fit substitutes).
std::optional<std::string> NarrowName(std::wstring_view name);

// UTF-16 of host text (wchar_t is 16-bit on Windows) and back.
std::wstring ToWide(std::u16string_view text);
std::u16string FromWide(std::wstring_view text);

// The errno value that stands for a Win32 error code, EIO for one without a match.
int ErrnoFromWin32Error(unsigned long error);
// Sets errno from GetLastError() and returns it.
int LastErrorAsErrno();

} // namespace platform::win32
