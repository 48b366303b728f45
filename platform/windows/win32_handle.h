// Ownership of Win32 handles: a file or directory handle closed when its owner goes,
// and the walk over a directory's entries with its search handle closed on every way
// out.
#pragma once

#include <functional>
#include <string>
#include <windows.h>

namespace platform::win32 {

struct THandle {
  HANDLE Handle = INVALID_HANDLE_VALUE;

  explicit THandle(HANDLE handle = INVALID_HANDLE_VALUE) : Handle(handle) {}
  ~THandle() { Close(); }
  THandle(const THandle &) = delete;
  THandle &operator=(const THandle &) = delete;

  bool Valid() const { return Handle != INVALID_HANDLE_VALUE; }
  // Closes the handle now; false when the system reports a failure.
  bool Close();
  // Gives the handle up to a new owner.
  HANDLE Release();
};

// Calls visit for every entry of directory but "." and "..", until it returns false.
// 0, or the errno value of a failed search.
int ForEachDirectoryEntry(const std::wstring &directory,
                          const std::function<bool(const WIN32_FIND_DATAW &)> &visit);

} // namespace platform::win32
