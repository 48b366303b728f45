#include "platform/file_io.h"

#include "platform/temporary_file.h"
#include "platform/windows/win32_handle.h"
#include "platform/windows/win32_text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <io.h>
#include <mutex>
#include <windows.h>

namespace platform {
namespace {

// The temporary file in flight, for the console control handler to remove.
std::mutex TemporaryNameMutex;
std::wstring TemporaryNameInFlight;

void SetTemporaryNameInFlight(const std::wstring &name) {
  std::lock_guard<std::mutex> lock(TemporaryNameMutex);
  TemporaryNameInFlight = name;
}

BOOL WINAPI RemoveTemporaryFileOnControl(DWORD) {
  {
    std::lock_guard<std::mutex> lock(TemporaryNameMutex);
    if (!TemporaryNameInFlight.empty())
      DeleteFileW(TemporaryNameInFlight.c_str());
  }
  // The default handler ends the process as it would have.
  return FALSE;
}

bool Fail(int error) {
  errno = error;
  return false;
}

bool FailWithLastError() {
  win32::LastErrorAsErrno();
  return false;
}

std::wstring DirectoryOf(const std::wstring &path) {
  const size_t cut = path.find_last_of(L"\\/:");
  if (cut == std::wstring::npos)
    return L".";
  if (path[cut] == L':' || cut == 0 || (cut == 2 && path[1] == L':'))
    return path.substr(0, cut + 1);
  return path.substr(0, cut);
}

std::wstring JoinName(const std::wstring &directory, const std::wstring &name) {
  if (directory.empty() || directory.back() == L'\\' || directory.back() == L'/' ||
      directory.back() == L':')
    return directory + name;
  return directory + L'\\' + name;
}

// A fresh hidden file beside the target that nobody else may open while it is written.
HANDLE CreateTemporaryBeside(const std::wstring &target, std::wstring &name) {
  static std::atomic<unsigned> counter{0};
  const std::wstring directory = DirectoryOf(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = JoinName(directory, L".redevuvo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(counter++) + L".tmp");
    SetTemporaryNameInFlight(name);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE)
      return file;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
      break;
  }
  SetTemporaryNameInFlight(L"");
  return INVALID_HANDLE_VALUE;
}

bool WriteAllToHandle(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = DWORD(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
      return FailWithLastError();
    if (written == 0)
      return Fail(EIO);
    bytes.remove_prefix(written);
  }
  return true;
}

bool ReadAllFromHandle(HANDLE file, std::string &data) {
  std::string result;
  char chunk[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, chunk, sizeof chunk, &n, nullptr))
      return GetLastError() == ERROR_BROKEN_PIPE ? (data = std::move(result), true)
                                                 : FailWithLastError();
    if (n == 0)
      break;
    result.append(chunk, n);
  }
  data = std::move(result);
  return true;
}

// What stands at a target name: nothing, a disk file, a directory, or something
// that is written where it stands (a device such as NUL or CON, a pipe).
enum class TTargetKind { Missing, File, Directory, Device, Unreachable };

TTargetKind KindOfTarget(const std::wstring &path, DWORD &attributes) {
  attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TTargetKind::Directory : TTargetKind::File;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    // Device names have no attributes but open all the same.
    HANDLE device = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE)
      return error == ERROR_FILE_NOT_FOUND ? TTargetKind::Missing : TTargetKind::Unreachable;
    const DWORD type = GetFileType(device);
    CloseHandle(device);
    return type == FILE_TYPE_DISK ? TTargetKind::Missing : TTargetKind::Device;
  }
  return TTargetKind::Unreachable;
}

bool WriteDirectly(const std::wstring &path, std::string_view content) {
  win32::THandle device{CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr)};
  if (device.Handle == INVALID_HANDLE_VALUE)
    return FailWithLastError();
  if (!WriteAllToHandle(device.Handle, content))
    return false;
  return device.Close() || FailWithLastError();
}

enum class TExisting { Keep, Replace };

} // namespace

bool TRealFileSystem::ReadWholeFile(const std::string &path, std::string &data) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty())
    return Fail(ENOENT);
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Fail(EISDIR);
  win32::THandle file{CreateFileW(wide->c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
  if (file.Handle == INVALID_HANDLE_VALUE)
    return FailWithLastError();
  return ReadAllFromHandle(file.Handle, data);
}

bool TRealFileSystem::WriteBytes(int fd, std::string_view bytes) {
  return WriteAllToHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), bytes);
}

int TRealFileSystem::RenameFile(const std::string &from, const std::string &to) {
  const std::optional<std::wstring> wideFrom = win32::WideName(from);
  const std::optional<std::wstring> wideTo = win32::WideName(to);
  if (!wideFrom || !wideTo)
    return ENOENT;
  return MoveFileExW(wideFrom->c_str(), wideTo->c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : win32::LastErrorAsErrno();
}

// Windows has no unnamed files: the temporary file is named from the start.
int TRealFileSystem::OpenUnnamed(const std::string &, mode_t) {
  errno = EOPNOTSUPP;
  return -1;
}

bool TRealFileSystem::ReserveSpace(int, std::size_t) {
  return true;
}

namespace {

// Writes content to a temporary file beside `target` and puts it in the target's
// place. An existing file is replaced with ReplaceFileW, which keeps its attributes,
// ACL, creation time and alternate streams; a new one is moved into place. A
// read-only file is never replaced (EACCES), unless `existing` says to replace
// whatever stands there (backups). On failure the old file is whole and the
// temporary file removed.
bool ReplaceWithContent(const std::wstring &target, std::string_view content, TExisting existing,
                        DWORD newAttributes) {
  DWORD attributes = 0;
  const TTargetKind kind = KindOfTarget(target, attributes);
  switch (kind) {
  case TTargetKind::Directory:
    return Fail(EISDIR);
  case TTargetKind::Unreachable:
    return FailWithLastError();
  case TTargetKind::Device:
    return WriteDirectly(target, content);
  case TTargetKind::File:
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      if (existing == TExisting::Keep)
        return Fail(EACCES);
      if (!SetFileAttributesW(target.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        return FailWithLastError();
    }
    break;
  case TTargetKind::Missing:
    break;
  }
  std::wstring temporaryName;
  win32::THandle temporary{CreateTemporaryBeside(target, temporaryName)};
  if (temporary.Handle == INVALID_HANDLE_VALUE)
    return FailWithLastError();
  auto discard = [&](int error) {
    temporary.Close();
    DeleteFileW(temporaryName.c_str());
    SetTemporaryNameInFlight(L"");
    errno = error;
    return false;
  };
  if (!WriteAllToHandle(temporary.Handle, content))
    return discard(errno);
  // The content is on the disk before the name points at it.
  if (!FlushFileBuffers(temporary.Handle))
    return discard(win32::LastErrorAsErrno());
  if (!temporary.Close())
    return discard(win32::LastErrorAsErrno());
  bool replaced = false;
  if (kind == TTargetKind::File && existing == TExisting::Keep) {
    replaced = ReplaceFileW(target.c_str(), temporaryName.c_str(), nullptr,
                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    // ReplaceFileW leaves the replacement where it was when it fails before
    // touching the target; where the file system cannot replace (some network
    // shares), a plain move with the attributes copied over is the fallback.
    if (!replaced && GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
      return discard(win32::LastErrorAsErrno());
    if (!replaced)
      SetFileAttributesW(temporaryName.c_str(), attributes);
  } else if (kind == TTargetKind::Missing && newAttributes != 0) {
    SetFileAttributesW(temporaryName.c_str(), newAttributes);
  }
  if (!replaced && !MoveFileExW(temporaryName.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return discard(win32::LastErrorAsErrno());
  SetTemporaryNameInFlight(L"");
  // The replacement was hidden while it was only a temporary file.
  const DWORD finalAttributes = GetFileAttributesW(target.c_str());
  if (finalAttributes != INVALID_FILE_ATTRIBUTES && kind == TTargetKind::Missing &&
      newAttributes == 0)
    SetFileAttributesW(target.c_str(), finalAttributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
  return true;
}

} // namespace

bool TRealFileSystem::WriteFileAtomic(const std::string &path, std::string_view content) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty())
    return Fail(ENOENT);
  return ReplaceWithContent(*wide, content, TExisting::Keep, 0);
}

bool TRealFileSystem::CopyFileReplacing(const std::string &source, const std::string &target) {
  const std::optional<std::wstring> wideSource = win32::WideName(source);
  const std::optional<std::wstring> wideTarget = win32::WideName(target);
  if (!wideSource || !wideTarget || wideTarget->empty())
    return Fail(ENOENT);
  std::string content;
  if (!ReadWholeFile(source, content))
    return false;
  const DWORD attributes = GetFileAttributesW(wideSource->c_str());
  // A copy carries the source's attributes, as CopyFileW does.
  const DWORD carried = attributes == INVALID_FILE_ATTRIBUTES
                            ? 0
                            : attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return ReplaceWithContent(*wideTarget, content, TExisting::Keep,
                            carried == 0 ? FILE_ATTRIBUTE_NORMAL : carried);
}

bool TRealFileSystem::CopyToBackup(const std::string &source, const std::string &backup) {
  const std::optional<std::wstring> wideSource = win32::WideName(source);
  const std::optional<std::wstring> wideBackup = win32::WideName(backup);
  if (!wideSource || !wideBackup || wideBackup->empty())
    return Fail(ENOENT);
  const DWORD attributes = GetFileAttributesW(wideSource->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return FailWithLastError();
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return Fail(EISDIR);
  std::string content;
  if (!ReadWholeFile(source, content))
    return false;
  return ReplaceWithContent(*wideBackup, content, TExisting::Replace, FILE_ATTRIBUTE_NORMAL);
}

bool IsReplaceableFile(const std::string &path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty())
    return false;
  DWORD attributes = 0;
  return KindOfTarget(*wide, attributes) == TTargetKind::File;
}

// Windows has no file size signal: a limit shows up as a failed write anyway.
void IgnoreFileSizeSignal() {}

void RemoveTemporaryFilesOnSignals() {
  SetConsoleCtrlHandler(RemoveTemporaryFileOnControl, TRUE);
}

namespace {
TRealFileSystem RealFileSystem;
TFileSystem *CurrentFileSystem = &RealFileSystem;
} // namespace

TFileSystem &FileSystem() {
  return *CurrentFileSystem;
}

TFileSystemOverride::TFileSystemOverride(TFileSystem &fileSystem) : FPrevious(CurrentFileSystem) {
  CurrentFileSystem = &fileSystem;
}

TFileSystemOverride::~TFileSystemOverride() {
  CurrentFileSystem = FPrevious;
}

} // namespace platform
