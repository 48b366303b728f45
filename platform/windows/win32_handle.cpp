#include "platform/windows/win32_handle.h"

#include <memory>
#include <string_view>

#include "platform/windows/win32_text.h"

namespace platform::win32 {
namespace {

struct TCloseFind {
  void operator()(HANDLE find) const { FindClose(find); }
};
using TFindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, TCloseFind>;

// The FindFirstFileW pattern for every entry of a directory; a bare drive ("C:")
// stays that drive's current directory.
std::wstring AllEntriesPattern(std::wstring directory) {
  if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/' &&
      directory.back() != L':')
    directory += L'\\';
  directory += L'*';
  return directory;
}

} // namespace

bool THandle::Close() {
  if (!Valid())
    return true;
  const BOOL ok = CloseHandle(Handle);
  Handle = INVALID_HANDLE_VALUE;
  return ok != 0;
}

HANDLE THandle::Release() {
  HANDLE handle = Handle;
  Handle = INVALID_HANDLE_VALUE;
  return handle;
}

int ForEachDirectoryEntry(const std::wstring &directory,
                          const std::function<bool(const WIN32_FIND_DATAW &)> &visit) {
  WIN32_FIND_DATAW data{};
  HANDLE first = FindFirstFileW(AllEntriesPattern(directory).c_str(), &data);
  if (first == INVALID_HANDLE_VALUE)
    return LastErrorAsErrno();
  TFindHandle find(first);
  do {
    const std::wstring_view name = data.cFileName;
    if (name != L"." && name != L".." && !visit(data))
      return 0;
  } while (FindNextFileW(find.get(), &data));
  const DWORD error = GetLastError();
  return error == ERROR_NO_MORE_FILES ? 0 : ErrnoFromWin32Error(error);
}

} // namespace platform::win32
