#include "platform/contained_path.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/owned_descriptor.h"
#include "platform/path_parts.h"
#include "platform/system_calls.h"

namespace platform {
namespace {

std::vector<std::string> SplitParts(std::string_view relative) {
  return SplitPathParts(relative, "/");
}

std::string JoinParts(const std::vector<std::string> &parts, std::size_t count) {
  return JoinPathParts(parts, count, '/');
}

// "." and ".." would step sideways or out; the caller has resolved them already.
bool IsPlainPart(const std::string &part) {
  return part != "." && part != "..";
}

bool IsLinkAt(int directory, const std::string &name) {
  struct stat info;
  return fstatat(directory, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// Opens base, then the first `count` parts one below the other, each refused when it
// is a link; missing ones are made first when `create` is set.
TContainedResult OpenChain(const std::string &base, const std::vector<std::string> &parts,
                           std::size_t count, bool create, TOwnedDescriptor &directory,
                           std::string &linkPart) {
  directory.Reset(sys::Open(base.empty() ? "." : base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() < 0)
    return TContainedResult::Failed;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string &part = parts[i];
    if (!IsPlainPart(part)) {
      errno = EINVAL;
      return TContainedResult::Failed;
    }
    // An existing name (a link included) gives EEXIST; the open below tells them apart.
    if (create)
      (void)sys::MkdirAt(directory.Get(), part.c_str(), 0777);
    int next =
        sys::OpenAt(directory.Get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      if (IsLinkAt(directory.Get(), part)) {
        linkPart = JoinParts(parts, i + 1);
        return TContainedResult::LinkRefused;
      }
      return TContainedResult::Failed;
    }
    directory.Reset(next);
  }
  return TContainedResult::Done;
}

// A fresh name in the directory, created exclusively; `mode` is subject to the umask.
int CreateTemporaryAt(int directory, mode_t mode, std::string &name) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned serial = counter.fetch_add(1) ^ salt;
    name = ".redevuvo-" + std::to_string(getpid()) + "-" + std::to_string(serial) + ".tmp";
    int fd = sys::OpenAt(directory, name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = sys::Write(fd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(std::size_t(n));
    } else if (n == 0) {
      errno = EIO;
      return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

} // namespace

TContainedResult CreateDirectoriesBelow(const std::string &base, std::string_view relative,
                                        std::string &linkPart) {
  linkPart.clear();
  std::vector<std::string> parts = SplitParts(relative);
  TOwnedDescriptor directory;
  return OpenChain(base, parts, parts.size(), true, directory, linkPart);
}

TContainedResult WriteFileBelow(const std::string &base, std::string_view relative,
                                std::string_view content, bool createParents,
                                std::string &linkPart) {
  linkPart.clear();
  std::vector<std::string> parts = SplitParts(relative);
  if (parts.empty() || !IsPlainPart(parts.back())) {
    errno = EINVAL;
    return TContainedResult::Failed;
  }
  TOwnedDescriptor directory;
  TContainedResult walked =
      OpenChain(base, parts, parts.size() - 1, createParents, directory, linkPart);
  if (walked != TContainedResult::Done)
    return walked;
  const int at = directory.Get();
  const std::string &name = parts.back();

  struct stat existing;
  bool exists = fstatat(at, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT)
    return TContainedResult::Failed;
  if (exists) {
    if (S_ISLNK(existing.st_mode)) {
      linkPart = JoinParts(parts, parts.size());
      return TContainedResult::LinkRefused;
    }
    if (!S_ISREG(existing.st_mode)) {
      errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
      return TContainedResult::Failed;
    }
    // No write bit at all is the read-only attribute; root honours it too.
    if ((existing.st_mode & 0222) == 0) {
      errno = EACCES;
      return TContainedResult::Failed;
    }
    if (faccessat(at, name.c_str(), W_OK, AT_EACCESS) != 0)
      return TContainedResult::Failed;
  }

  // The temporary file stays private until it carries the old file's mode.
  std::string temporary;
  TOwnedDescriptor file;
  file.Reset(CreateTemporaryAt(at, exists ? 0600 : 0666, temporary));
  if (file.Get() < 0)
    return TContainedResult::Failed;
  bool written = WriteAll(file.Get(), content);
  if (written && exists) {
    // Owner first: a change of owner clears set-id bits that the mode then restores.
    if (sys::Fchown(file.Get(), existing.st_uid, existing.st_gid) != 0)
      (void)!sys::Fchown(file.Get(), uid_t(-1), existing.st_gid);
    written = SetFileMode(file.Get(), existing.st_mode & 07777);
  }
  bool closed = file.Close();
  // A link put at the name meanwhile is replaced by the rename, never written through.
  if (written && closed && sys::RenameAt(at, temporary.c_str(), at, name.c_str()) == 0)
    return TContainedResult::Done;
  int error = errno;
  sys::UnlinkAt(at, temporary.c_str(), 0);
  errno = error;
  return TContainedResult::Failed;
}

} // namespace platform
