#include "platform/file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_attributes.h"
#include "platform/temporary_file.h"

namespace platform {
namespace {

// Linux gives up on a chain of more than 40 links; so do we.
constexpr int MaxLinkDepth = 40;
constexpr int KeepTargetMode = -1;

// Owns an open descriptor; Close reports the failure a late write error shows up as.
class TDescriptor {
public:
  explicit TDescriptor(int fd) : FFd(fd) {}
  ~TDescriptor() {
    if (FFd >= 0)
      close(FFd);
  }
  TDescriptor(const TDescriptor &) = delete;
  TDescriptor &operator=(const TDescriptor &) = delete;
  int Get() const { return FFd; }
  bool IsOpen() const { return FFd >= 0; }
  bool Close() {
    int fd = FFd;
    FFd = -1;
    return close(fd) == 0;
  }

private:
  int FFd;
};

// Keeps errno of the failure across the clean-up that follows it.
class TErrnoKeeper {
public:
  TErrnoKeeper() : FSaved(errno) {}
  ~TErrnoKeeper() { errno = FSaved; }
  TErrnoKeeper(const TErrnoKeeper &) = delete;
  TErrnoKeeper &operator=(const TErrnoKeeper &) = delete;

private:
  int FSaved;
};

std::string DirectoryOf(const std::string &path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  return path.substr(0, slash);
}

bool ReadLink(const std::string &path, std::string &target) {
  std::string buffer(256, '\0');
  for (;;) {
    ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0)
      return false;
    if (size_t(n) < buffer.size()) {
      buffer.resize(size_t(n));
      target = std::move(buffer);
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// The name a write through `path` finally lands on: symbolic links are followed one
// by one (a relative link is taken from the link's own directory), so that the file
// they point to is rewritten and the links stay. A dangling link gives the missing
// name it points to, which is then created.
bool ResolveLinks(const std::string &path, std::string &resolved) {
  std::string current = path;
  for (int depth = 0; depth <= MaxLinkDepth; ++depth) {
    struct stat info;
    if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      resolved = std::move(current);
      return true;
    }
    std::string link;
    if (!ReadLink(current, link))
      return false;
    if (link.empty()) {
      errno = ENOENT;
      return false;
    }
    if (link[0] == '/') {
      current = std::move(link);
    } else {
      current = DirectoryOf(current);
      current += '/';
      current += link;
    }
  }
  errno = ELOOP;
  return false;
}

bool ReadDescriptor(int fd, const struct stat &info, std::string &data) {
  // A regular file's size is known; other readable files are read until they end.
  size_t expected = S_ISREG(info.st_mode) ? size_t(info.st_size) : 0;
  std::string buffer(expected + 1 > 65536 ? expected + 1 : 65536, '\0');
  size_t used = 0;
  for (;;) {
    if (used == buffer.size())
      buffer.resize(buffer.size() * 2);
    ssize_t n = read(fd, buffer.data() + used, buffer.size() - used);
    if (n > 0) {
      used += size_t(n);
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      return false;
    }
  }
  buffer.resize(used);
  data = std::move(buffer);
  return true;
}

bool OpenAndRead(const std::string &path, std::string &data, struct stat &info) {
  TDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0)
    return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return ReadDescriptor(fd.Get(), info, data);
}

TFileSystem *CurrentFileSystem = nullptr;

} // namespace

bool TRealFileSystem::ReadWholeFile(const std::string &path, std::string &data) {
  struct stat info;
  return OpenAndRead(path, data, info);
}

bool TRealFileSystem::WriteFileAtomic(const std::string &path, std::string_view content) {
  return WriteTarget(path, content, KeepTargetMode, nullptr);
}

bool TRealFileSystem::CopyFileReplacing(const std::string &source, const std::string &target) {
  std::string content;
  struct stat info;
  if (!OpenAndRead(source, content, info))
    return false;
  // Permission bits only: set-id bits do not travel with a copy.
  return WriteTarget(target, content, int(info.st_mode & 0777), &source);
}

bool TRealFileSystem::WriteBytes(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n > 0)
      written += size_t(n);
    else if (n == 0)
      errno = EIO;
    if (n <= 0 && errno != EINTR)
      return false;
  }
  return true;
}

int TRealFileSystem::OpenUnnamed(const std::string &directory, mode_t mode) {
  return OpenUnnamedFile(directory, mode);
}

int TRealFileSystem::RenameFile(const std::string &from, const std::string &to) {
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool TRealFileSystem::WriteDirectly(const std::string &path, std::string_view content,
                                    bool truncate) {
  int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (truncate ? O_TRUNC : 0);
  TDescriptor fd(open(path.c_str(), flags));
  if (!fd.IsOpen() || !WriteBytes(fd.Get(), content))
    return false;
  return fd.Close();
}

// `newMode` is the permission set of the result, or KeepTargetMode to keep that of an
// existing target (a new file then gets 0666 less the umask). The extended attributes
// come from `copySource`, else from the existing target.
bool TRealFileSystem::WriteTarget(const std::string &path, std::string_view content, int newMode,
                                  const std::string *copySource) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  std::string target;
  if (!ResolveLinks(path, target))
    return false;

  struct stat existing;
  bool exists = lstat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT)
    return false;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) {
      errno = EISDIR;
      return false;
    }
    // Devices and FIFOs are written in place; replacing them would break them.
    if (!S_ISREG(existing.st_mode))
      return WriteDirectly(target, content, false);
    // No write bit at all is the read-only attribute; root honours it too.
    if ((existing.st_mode & 0222) == 0) {
      errno = EACCES;
      return false;
    }
    // A file we could not open for writing must not be replaced behind its owner's
    // back just because its directory lets us rename.
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return false;
  }

  // The temporary file stays private until it carries its final mode.
  bool ownMode = exists || newMode != KeepTargetMode;
  std::string directory = DirectoryOf(target);
  mode_t createMode = ownMode ? 0600 : 0666;
  TTemporaryFile temporary;
  if (!temporary.Open(directory, createMode, OpenUnnamed(directory, createMode)))
    return false;
  int fd = temporary.Descriptor();

  if (!WriteBytes(fd, content))
    return false;
  if (exists) {
    // Owner first: a change of owner clears set-id bits that the mode then restores.
    // Both are best effort; without them the file stays private, never more open.
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0)
      (void)!fchown(fd, uid_t(-1), existing.st_gid);
  }
  if (ownMode) {
    mode_t mode = newMode != KeepTargetMode ? mode_t(newMode) : existing.st_mode & 07777;
    (void)fchmod(fd, mode);
  }
  const std::string *attributeSource = copySource != nullptr ? copySource
                                       : exists              ? &target
                                                             : nullptr;
  if (attributeSource != nullptr && !CopyFileAttributes(*attributeSource, fd))
    return false;
  if (!temporary.Finish())
    return false;

  int renameError = RenameFile(temporary.Name(), target);
  if (renameError == 0) {
    temporary.Released();
    return true;
  }
  // A bind-mounted file cannot be replaced, only rewritten.
  if (renameError == EBUSY)
    return WriteDirectly(target, content, true);
  errno = renameError;
  return false;
}

TFileSystem &FileSystem() {
  static TRealFileSystem realFileSystem;
  return CurrentFileSystem != nullptr ? *CurrentFileSystem : realFileSystem;
}

TFileSystemOverride::TFileSystemOverride(TFileSystem &fileSystem) : FPrevious(CurrentFileSystem) {
  CurrentFileSystem = &fileSystem;
}

TFileSystemOverride::~TFileSystemOverride() {
  CurrentFileSystem = FPrevious;
}

} // namespace platform
