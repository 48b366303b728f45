#include "platform/windows/win32_text.h"

#include <cerrno>
#include <climits>
#include <windows.h>

namespace platform::win32 {

std::optional<std::wstring> WideName(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos || bytes.size() > INT_MAX / 2)
    return std::nullopt;
  if (bytes.empty())
    return std::wstring();
  const int size = int(bytes.size());
  int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0)
    return std::nullopt;
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  std::optional<std::string> back = NarrowName(wide);
  if (!back || *back != bytes)
    return std::nullopt;
  return wide;
}

std::optional<std::string> NarrowName(std::wstring_view name) {
  if (name.empty())
    return std::string();
  if (name.size() > INT_MAX / 4)
    return std::nullopt;
  const int size = int(name.size());
  // UTF-8 takes neither flags nor a default character; it fails on lone surrogates.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL *usedDefaultPointer = utf8 ? nullptr : &usedDefault;
  int length =
      WideCharToMultiByte(CP_ACP, flags, name.data(), size, nullptr, 0, nullptr, usedDefaultPointer);
  if (length <= 0 || usedDefault)
    return std::nullopt;
  std::string bytes(size_t(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, name.data(), size, bytes.data(), length, nullptr,
                      usedDefaultPointer);
  if (usedDefault)
    return std::nullopt;
  return bytes;
}

std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

std::u16string FromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

int ErrnoFromWin32Error(unsigned long error) {
  switch (error) {
  case ERROR_SUCCESS:
    return 0;
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_DRIVE:
  case ERROR_BAD_NETPATH:
  case ERROR_BAD_NET_NAME:
  case ERROR_NO_MORE_FILES:
    return ENOENT;
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
  case ERROR_WRITE_PROTECT:
  case ERROR_CURRENT_DIRECTORY:
    return EACCES;
  case ERROR_FILE_EXISTS:
  case ERROR_ALREADY_EXISTS:
    return EEXIST;
  case ERROR_DIR_NOT_EMPTY:
    return ENOTEMPTY;
  case ERROR_NOT_SAME_DEVICE:
    return EXDEV;
  case ERROR_FILENAME_EXCED_RANGE:
  case ERROR_BUFFER_OVERFLOW:
    return ENAMETOOLONG;
  case ERROR_INVALID_NAME:
  case ERROR_INVALID_PARAMETER:
  case ERROR_BAD_PATHNAME:
    return EINVAL;
  case ERROR_DIRECTORY:
    return ENOTDIR;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    return ENOSPC;
  case ERROR_BUSY:
  case ERROR_USER_MAPPED_FILE:
    return EBUSY;
  case ERROR_NOT_ENOUGH_MEMORY:
  case ERROR_OUTOFMEMORY:
    return ENOMEM;
  default:
    return EIO;
  }
}

int LastErrorAsErrno() {
  const int error = ErrnoFromWin32Error(GetLastError());
  errno = error;
  return error;
}

} // namespace platform::win32
