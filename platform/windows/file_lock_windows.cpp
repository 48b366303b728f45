#include "platform/file_lock.h"

#include "platform/windows/win32_handle.h"
#include "platform/windows/win32_text.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {
namespace {

// Byte-range locks are mandatory on Windows: a lock over the content would stop
// this very process from reading the file through another handle. The lock covers
// one byte far beyond any real content, so it only orders the runs that take it.
constexpr DWORD LockOffsetHigh = 0x7FFFFFFF;

} // namespace

TFileLock::~TFileLock() {
  if (FFd >= 0)
    _close(FFd); // closing the handle releases its lock
}

bool TFileLock::Lock(const std::string &path) {
  const std::optional<std::wstring> wide = win32::WideName(path);
  if (!wide || wide->empty()) {
    errno = ENOENT;
    return false;
  }
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return true;
  win32::THandle file{CreateFileW(wide->c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (!file.Valid()) {
    win32::LastErrorAsErrno();
    return false;
  }
  if (GetFileType(file.Handle) != FILE_TYPE_DISK)
    return true;
  OVERLAPPED range{};
  range.OffsetHigh = LockOffsetHigh;
  if (!LockFileEx(file.Handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range)) {
    win32::LastErrorAsErrno();
    return false;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.Handle), _O_RDONLY);
  if (fd < 0) {
    errno = EMFILE;
    return false;
  }
  file.Release(); // the descriptor owns it now
  if (FFd >= 0)
    _close(FFd);
  FFd = fd;
  return true;
}

} // namespace platform
