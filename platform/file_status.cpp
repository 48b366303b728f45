#include "platform/file_status.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/system_calls.h"

namespace platform {
namespace {

void FromStat(const struct stat &st, TFileStatus &status) {
  status.FMode = st.st_mode;
  status.FSize = st.st_size;
  status.FDevice = st.st_dev;
  status.FInode = st.st_ino;
  status.FLastWriteTime = st.st_mtim.tv_sec;
  status.FLastAccessTime = st.st_atim.tv_sec;
  status.FCreationTime = st.st_mtim.tv_sec;
  status.FHasBirthTime = false;
}

int StatWith(const std::string &name, bool followLinks, TFileStatus &status) {
  struct statx stx {};
  int flags = AT_STATX_SYNC_AS_STAT | (followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
  if (statx(AT_FDCWD, name.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &stx) == 0) {
    status.FMode = stx.stx_mode;
    status.FSize = static_cast<std::int64_t>(stx.stx_size);
    status.FDevice = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    status.FInode = stx.stx_ino;
    status.FLastWriteTime = stx.stx_mtime.tv_sec;
    status.FLastAccessTime = stx.stx_atime.tv_sec;
    status.FHasBirthTime = (stx.stx_mask & STATX_BTIME) != 0;
    status.FCreationTime = status.FHasBirthTime ? stx.stx_btime.tv_sec : stx.stx_mtime.tv_sec;
    return 0;
  }
  int error = errno;
  // Kernels or sandboxes without statx: the plain calls still give everything but
  // the birth time.
  if (error != ENOSYS && error != EPERM)
    return error;
  struct stat st {};
  if ((followLinks ? stat(name.c_str(), &st) : lstat(name.c_str(), &st)) != 0)
    return errno;
  FromStat(st, status);
  return 0;
}

struct TDirCloser {
  void operator()(DIR *dir) const { closedir(dir); }
};

} // namespace

bool TFileStatus::IsDirectory() const {
  return S_ISDIR(FMode);
}
bool TFileStatus::IsRegularFile() const {
  return S_ISREG(FMode);
}
bool TFileStatus::IsLink() const {
  return S_ISLNK(FMode);
}
bool TFileStatus::HasWriteBit() const {
  return (FMode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

int StatPath(const std::string &name, TFileStatus &status) {
  return StatWith(name, true, status);
}

int LinkStatPath(const std::string &name, TFileStatus &status) {
  return StatWith(name, false, status);
}

bool IsNameNotFoundError(int error) {
  return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP ||
         error == EINVAL;
}

int TryOpenForWriting(const std::string &name) {
  int fd = open(name.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno;
  close(fd);
  return 0;
}

int CreateNewFile(const std::string &name) {
  int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0)
    return errno;
  close(fd);
  return 0;
}

int MakeDirectory(const std::string &name) {
  return mkdir(name.c_str(), 0777) == 0 ? 0 : errno;
}

int RemoveDirectory(const std::string &name) {
  return rmdir(name.c_str()) == 0 ? 0 : errno;
}

int RemoveName(const std::string &name) {
  return sys::Unlink(name.c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string &from, const std::string &to) {
  if (sys::RenameAt2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return 0;
  int error = errno;
  if (error != EINVAL && error != ENOSYS && error != EPERM)
    return error;
  // File systems without the no-replace flag: check, then rename. Only a concurrent
  // creator of the target can slip in between.
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0)
    return EEXIST;
  return sys::Rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int ReadDirectoryEmpty(const std::string &name, bool &empty) {
  std::unique_ptr<DIR, TDirCloser> dir(opendir(name.c_str()));
  if (!dir)
    return errno;
  empty = true;
  errno = 0;
  while (const dirent *entry = readdir(dir.get())) {
    std::string_view entryName = entry->d_name;
    if (entryName != "." && entryName != "..") {
      empty = false;
      return 0;
    }
  }
  return errno;
}

int ChangeWorkingDirectory(const std::string &name) {
  return chdir(name.c_str()) == 0 ? 0 : errno;
}

int ResolvePath(const std::string &name, std::string &resolved) {
  std::unique_ptr<char, decltype(&std::free)> path(realpath(name.c_str(), nullptr), &std::free);
  if (!path)
    return errno;
  resolved = path.get();
  return 0;
}

bool LocalTimeOf(std::int64_t unixSeconds, TLocalTime &local) {
  time_t t = static_cast<time_t>(unixSeconds);
  struct tm parts {};
  if (localtime_r(&t, &parts) == nullptr)
    return false;
  local.FYear = parts.tm_year + 1900;
  local.FMonth = parts.tm_mon + 1;
  local.FDay = parts.tm_mday;
  local.FHour = parts.tm_hour;
  local.FMinute = parts.tm_min;
  local.FSecond = parts.tm_sec;
  return true;
}

} // namespace platform
