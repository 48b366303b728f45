#include "platform/directory_listing.h"

#include "platform/windows/win32_text.h"

#include <cerrno>
#include <windows.h>

namespace platform {
namespace {

TDirectoryIdentity IdentityOf(const std::wstring &directory) {
  TDirectoryIdentity identity;
  HANDLE handle = CreateFileW(directory.c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return identity;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(handle, &info)) {
    identity.FDevice = info.dwVolumeSerialNumber;
    identity.FInode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
  CloseHandle(handle);
  return identity;
}

TEntryKind KindOf(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return TEntryKind::Link;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return TEntryKind::Directory;
  return TEntryKind::File;
}

} // namespace

int ListDirectory(const std::string &directory, std::vector<TDirectoryEntry> &entries,
                  TDirectoryIdentity &identity) {
  entries.clear();
  const std::optional<std::wstring> wide = win32::WideName(directory.empty() ? "." : directory);
  if (!wide)
    return ENOENT;
  const std::wstring pattern = win32::AllEntriesPattern(*wide);
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return win32::LastErrorAsErrno();
  identity = IdentityOf(*wide);
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    // A name the ANSI code page cannot carry exactly could only be handed back as
    // another name: it is left out.
    std::optional<std::string> bytes = win32::NarrowName(name);
    if (!bytes)
      continue;
    const bool hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entries.push_back({std::move(*bytes), KindOf(data.dwFileAttributes), hidden});
  } while (FindNextFileW(find, &data));
  const DWORD error = GetLastError();
  FindClose(find);
  return error == ERROR_NO_MORE_FILES ? 0 : win32::ErrnoFromWin32Error(error);
}

} // namespace platform
