#include "platform/file_status.h"

#include "platform/windows/win32_handle.h"
#include "platform/windows/win32_text.h"

#include <cerrno>
#include <windows.h>
// Our own functions of these names, not the Win32 macros.
#undef RemoveDirectory

namespace platform {
namespace {

// The mode word keeps the POSIX layout the rest of the program reads: the type bits
// and, unless the read-only attribute is set, the write bits.
constexpr std::uint32_t TypeMask = 0170000;
constexpr std::uint32_t DirectoryType = 0040000;
constexpr std::uint32_t RegularType = 0100000;
constexpr std::uint32_t LinkType = 0120000;
constexpr std::uint32_t ReadBits = 0444;
constexpr std::uint32_t WriteBits = 0222;

// 100-nanosecond intervals since 1601 to seconds since 1970.
std::int64_t UnixSeconds(const FILETIME &time) {
  const std::uint64_t ticks = (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return std::int64_t(ticks / 10000000u) - 11644473600LL;
}

int StatWith(const std::string &name, bool followLinks, TFileStatus &status) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide || wide->empty())
    return ENOENT;
  // Opening for no access reads the attributes of any file, even one another
  // process holds open; directories need the backup-semantics flag.
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  win32::THandle file{CreateFileW(wide->c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr)};
  BY_HANDLE_FILE_INFORMATION info{};
  if (file.Handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file.Handle, &info)) {
    // Devices such as NUL have no file information but are there.
    if (file.Handle != INVALID_HANDLE_VALUE && GetFileType(file.Handle) == FILE_TYPE_CHAR) {
      status = TFileStatus{};
      status.FMode = 0020000 | ReadBits | WriteBits;
      return 0;
    }
    return win32::LastErrorAsErrno();
  }
  const DWORD attributes = info.dwFileAttributes;
  std::uint32_t type = RegularType;
  if (!followLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    type = LinkType;
  else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    type = DirectoryType;
  status.FMode = type | ReadBits | ((attributes & FILE_ATTRIBUTE_READONLY) ? 0 : WriteBits);
  status.FSize = std::int64_t((std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  status.FDevice = info.dwVolumeSerialNumber;
  status.FInode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status.FLastWriteTime = UnixSeconds(info.ftLastWriteTime);
  status.FLastAccessTime = UnixSeconds(info.ftLastAccessTime);
  status.FCreationTime = UnixSeconds(info.ftCreationTime);
  status.FHasBirthTime = true;
  return 0;
}

int Result(BOOL ok) {
  return ok ? 0 : win32::LastErrorAsErrno();
}

} // namespace

bool TFileStatus::IsDirectory() const {
  return (FMode & TypeMask) == DirectoryType;
}
bool TFileStatus::IsRegularFile() const {
  return (FMode & TypeMask) == RegularType;
}
bool TFileStatus::IsLink() const {
  return (FMode & TypeMask) == LinkType;
}
bool TFileStatus::HasWriteBit() const {
  return (FMode & WriteBits) != 0;
}

int StatPath(const std::string &name, TFileStatus &status) {
  return StatWith(name, true, status);
}

int LinkStatPath(const std::string &name, TFileStatus &status) {
  return StatWith(name, false, status);
}

bool IsNameNotFoundError(int error) {
  return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == EINVAL;
}

int TryOpenForWriting(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide)
    return ENOENT;
  HANDLE file = CreateFileW(wide->c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return win32::LastErrorAsErrno();
  CloseHandle(file);
  return 0;
}

int CreateNewFile(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide)
    return EINVAL;
  HANDLE file = CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return win32::LastErrorAsErrno();
  CloseHandle(file);
  return 0;
}

int MakeDirectory(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  return wide ? Result(CreateDirectoryW(wide->c_str(), nullptr)) : EINVAL;
}

int RemoveDirectory(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  return wide ? Result(RemoveDirectoryW(wide->c_str())) : ENOENT;
}

int RemoveName(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide)
    return ENOENT;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return EISDIR;
  return Result(DeleteFileW(wide->c_str()));
}

int RenameNoReplace(const std::string &from, const std::string &to) {
  const std::optional<std::wstring> wideFrom = win32::WideName(from);
  const std::optional<std::wstring> wideTo = win32::WideName(to);
  if (!wideFrom || !wideTo)
    return ENOENT;
  // Without MOVEFILE_REPLACE_EXISTING an existing target fails, and without
  // MOVEFILE_COPY_ALLOWED a move to another volume fails with EXDEV.
  return Result(MoveFileExW(wideFrom->c_str(), wideTo->c_str(), 0));
}

int ReadDirectoryEmpty(const std::string &name, bool &empty) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide)
    return ENOENT;
  empty = true;
  return win32::ForEachDirectoryEntry(*wide, [&](const WIN32_FIND_DATAW &) {
    empty = false;
    return false;
  });
}

int ChangeWorkingDirectory(const std::string &name) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  return wide ? Result(SetCurrentDirectoryW(wide->c_str())) : ENOENT;
}

int ResolvePath(const std::string &name, std::string &resolved) {
  const std::optional<std::wstring> wide = win32::WideName(name);
  if (!wide || wide->empty())
    return ENOENT;
  win32::THandle file{CreateFileW(wide->c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (file.Handle == INVALID_HANDLE_VALUE)
    return win32::LastErrorAsErrno();
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(file.Handle, buffer.data(), DWORD(buffer.size()),
                                              FILE_NAME_NORMALIZED);
    if (n == 0)
      return win32::LastErrorAsErrno();
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n);
  }
  // The system answers in its long-path form: "\\?\C:\x" or "\\?\UNC\server\share\x".
  if (buffer.starts_with(L"\\\\?\\UNC\\"))
    buffer = L"\\\\" + buffer.substr(8);
  else if (buffer.starts_with(L"\\\\?\\"))
    buffer = buffer.substr(4);
  std::optional<std::string> narrow = win32::NarrowName(buffer);
  if (!narrow)
    return EILSEQ;
  resolved = std::move(*narrow);
  return 0;
}

bool LocalTimeOf(std::int64_t unixSeconds, TLocalTime &local) {
  const std::int64_t ticks = (unixSeconds + 11644473600LL) * 10000000LL;
  if (unixSeconds < -11644473600LL || ticks < 0)
    return false;
  FILETIME utc{DWORD(std::uint64_t(ticks) & 0xFFFFFFFFu), DWORD(std::uint64_t(ticks) >> 32)};
  SYSTEMTIME universal{}, time{};
  // The offset in force at that instant, summer time included, not today's.
  if (!FileTimeToSystemTime(&utc, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &time))
    return false;
  local.FYear = time.wYear;
  local.FMonth = time.wMonth;
  local.FDay = time.wDay;
  local.FHour = time.wHour;
  local.FMinute = time.wMinute;
  local.FSecond = time.wSecond;
  return true;
}

} // namespace platform
