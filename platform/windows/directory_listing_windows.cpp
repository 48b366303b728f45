#include "platform/directory_listing.h"

#include "platform/windows/win32_handle.h"
#include "platform/windows/win32_text.h"

#include <cerrno>
#include <windows.h>

namespace platform {
namespace {

TDirectoryIdentity IdentityOf(const std::wstring &directory) {
  TDirectoryIdentity identity;
  const win32::THandle handle{
      CreateFileW(directory.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle.Valid() && GetFileInformationByHandle(handle.Handle, &info)) {
    identity.FDevice = info.dwVolumeSerialNumber;
    identity.FInode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
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
  const int error = win32::ForEachDirectoryEntry(*wide, [&](const WIN32_FIND_DATAW &data) {
    // A name the ANSI code page cannot carry exactly could only be handed back as
    // another name: it is left out.
    std::optional<std::string> bytes = win32::NarrowName(data.cFileName);
    if (bytes) {
      const bool hidden =
          (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
      entries.push_back({std::move(*bytes), KindOf(data.dwFileAttributes), hidden});
    }
    return true;
  });
  if (error == 0)
    identity = IdentityOf(*wide);
  return error;
}

} // namespace platform
