#include "platform/file_io.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_attributes.h"
#include "platform/large_buffer.h"
#include "platform/owned_descriptor.h"
#include "platform/system_calls.h"
#include "platform/temporary_file.h"

namespace platform {
namespace {

// Linux gives up on a chain of more than 40 links; so do we.
constexpr int MaxLinkDepth = 40;
constexpr int KeepTargetMode = -1;

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

bool IsDecimal(const std::string &text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

// The descriptor that `path` names when it is one of this process's own open
// descriptors, else -1. Opening such a name would not reach the descriptor as it
// stands (its offset, its append mode, a pipe), and following it as a link leads to
// names like "pipe:[N]" or "file (deleted)" that are no files at all.
int OwnDescriptorOf(const std::string &path) {
  if (path == "/dev/stdin")
    return 0;
  if (path == "/dev/stdout")
    return 1;
  if (path == "/dev/stderr")
    return 2;
  size_t slash = path.find_last_of('/');
  std::string number = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!IsDecimal(number))
    return -1;
  // /dev/fd, /proc/self/fd and /proc/thread-self/fd all lead to the process's entry.
  char *directory = realpath(DirectoryOf(path).c_str(), nullptr);
  if (directory == nullptr)
    return -1;
  std::string real = directory;
  free(directory);
  std::string process = "/proc/" + std::to_string(getpid());
  bool own =
      real == process + "/fd" || (real.rfind(process + "/task/", 0) == 0 && real.size() > 3 &&
                                  real.compare(real.size() - 3, 3, "/fd") == 0);
  return own ? std::stoi(number) : -1;
}

// The name a write through `path` finally lands on: symbolic links are followed one
// by one (a relative link is taken from the link's own directory), so that the file
// they point to is rewritten and the links stay. A dangling link gives the missing
// name it points to, which is then created. A chain that reaches one of the
// process's own descriptors ends there with `descriptor` set (else it is -1).
// Otherwise `info` holds the status of the resolved name and `statError` is 0, or
// the reason that status could not be read, so that the caller need not ask again.
bool ResolveLinks(const std::string &path, std::string &resolved, int &descriptor,
                  struct stat &info, int &statError) {
  std::string current = path;
  descriptor = -1;
  for (int depth = 0; depth <= MaxLinkDepth; ++depth) {
    descriptor = OwnDescriptorOf(current);
    if (descriptor >= 0) {
      resolved = std::move(current);
      return true;
    }
    statError = lstat(current.c_str(), &info) == 0 ? 0 : errno;
    if (statError != 0 || !S_ISLNK(info.st_mode)) {
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
  // A file of known size gets just that (and a byte to see the end without growing):
  // freeing a large buffer per input makes the allocator tidy up its whole heap each
  // time, which a run over many small files pays for.
  std::string buffer;
  ReserveLargeText(buffer, expected > 0 ? expected + 1 : 65536);
  buffer.resize(buffer.capacity());
  size_t used = 0;
  for (;;) {
    if (used == buffer.size())
      buffer.resize(buffer.size() * 2);
    ssize_t n = sys::Read(fd, buffer.data() + used, buffer.size() - used);
    if (n > 0) {
      used += size_t(n);
    } else if (n == 0) {
      break;
    } else {
      return false; // the system-call seam already repeats an interrupted read
    }
  }
  buffer.resize(used);
  data = std::move(buffer);
  return true;
}

bool OpenAndRead(const std::string &path, std::string &data, struct stat &info) {
  TOwnedDescriptor fd(sys::Open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0)
    return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return ReadDescriptor(fd.Get(), info, data);
}

// Like OpenAndRead, for a file that must be a regular one: the open does not wait
// for a FIFO's writer, and anything but a regular file is refused before reading.
bool ReadRegularFile(const std::string &path, std::string &data, struct stat &info) {
  TOwnedDescriptor fd(sys::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0)
    return false;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
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
  return WriteTarget(path, content, KeepTargetMode, TLinkAtTarget::Follow, nullptr);
}

bool TRealFileSystem::CopyFileReplacing(const std::string &source, const std::string &target) {
  std::string content;
  struct stat info;
  if (!OpenAndRead(source, content, info))
    return false;
  // Permission bits only: set-id bits do not travel with a copy.
  return WriteTarget(target, content, int(info.st_mode & 0777), TLinkAtTarget::Follow, &source);
}

bool TRealFileSystem::CopyToBackup(const std::string &source, const std::string &backup) {
  std::string content;
  struct stat info;
  if (!ReadRegularFile(source, content, info))
    return false;
  return WriteTarget(backup, content, int(info.st_mode & 0777), TLinkAtTarget::Replace, &source);
}

bool TRealFileSystem::WriteBytes(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = sys::Write(fd, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += size_t(n);
    } else {
      // The system-call seam already repeats an interrupted write.
      if (n == 0)
        errno = EIO;
      return false;
    }
  }
  return true;
}

int TRealFileSystem::OpenUnnamed(const std::string &directory, mode_t mode) {
  return OpenUnnamedFile(directory, mode);
}

int TRealFileSystem::RenameFile(const std::string &from, const std::string &to) {
  return sys::Rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool TRealFileSystem::ReserveSpace(int fd, size_t length) {
  // Keeping the size means a failed reservation changes nothing a reader of the
  // file could see.
  return sys::Fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(length)) == 0;
}

bool TRealFileSystem::WriteDirectly(const std::string &path, std::string_view content) {
  TOwnedDescriptor fd(sys::Open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (!fd.IsOpen() || !WriteBytes(fd.Get(), content))
    return false;
  return fd.Close();
}

bool TRealFileSystem::WriteFromStart(int fd, std::string_view content) {
  return lseek(fd, 0, SEEK_SET) == 0 && WriteBytes(fd, content) &&
         sys::Ftruncate(fd, off_t(content.size())) == 0 && sys::Fdatasync(fd) == 0;
}

// For a target that cannot be replaced (a bind-mounted file refuses the rename with
// EBUSY). The old text is read and the space for a longer text reserved first, so
// that a full disk (or a file system that cannot reserve) fails before the first
// byte changes; the text is then written over the old one from the start, the file
// cut to its length and synced, so that a late write error shows up while the old
// text can still be put back. A failure puts it back; a process killed during the
// write still leaves old and new text mixed, and the backup (/b) is the way back.
// Only bind-mounted targets come here, so the sync costs ordinary runs nothing.
bool TRealFileSystem::RewriteInPlace(const std::string &path, std::string_view content) {
  constexpr int Flags = O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
  TOwnedDescriptor fd(sys::Open(path.c_str(), O_RDWR | Flags));
  // A file we may write but not read is rewritten without the way back.
  bool canRestore = fd.IsOpen();
  if (!canRestore && errno == EACCES && faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
    fd.Reset(sys::Open(path.c_str(), O_WRONLY | Flags));
  struct stat info;
  if (!fd.IsOpen() || fstat(fd.Get(), &info) != 0)
    return false;
  if (!S_ISREG(info.st_mode)) {
    errno = EBUSY;
    return false;
  }
  std::string old;
  if (canRestore && !ReadDescriptor(fd.Get(), info, old))
    return false;
  size_t oldLength = canRestore ? old.size() : size_t(info.st_size);
  if (content.size() > oldLength && !ReserveSpace(fd.Get(), content.size()))
    return false;
  if (WriteFromStart(fd.Get(), content)) {
    // Synced: whatever close answers, the text is on the disk.
    (void)fd.Close();
    return true;
  }
  int error = errno;
  if (canRestore)
    (void)WriteFromStart(fd.Get(), old);
  errno = error;
  return false;
}

// `newMode` is the permission set of the result, or KeepTargetMode to keep that of an
// existing target (a new file then gets 0666 less the umask). `links` tells whether
// a link at `path` is followed (targets) or replaced (backups). The extended
// attributes come from `copySource`, else from the existing target.
bool TRealFileSystem::WriteTarget(const std::string &path, std::string_view content, int newMode,
                                  TLinkAtTarget links, const std::string *copySource) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  std::string target = path;
  struct stat existing;
  int statError = 0;
  if (links == TLinkAtTarget::Follow) {
    int descriptor = -1;
    if (!ResolveLinks(path, target, descriptor, existing, statError))
      return false;
    if (descriptor >= 0)
      return WriteBytes(descriptor, content);
  } else {
    statError = lstat(target.c_str(), &existing) == 0 ? 0 : errno;
  }
  bool exists = statError == 0;
  if (!exists && statError != ENOENT) {
    errno = statError;
    return false;
  }
  // A backup replaces whatever else stands at its name and takes nothing from it.
  if (exists && links == TLinkAtTarget::Replace && !S_ISREG(existing.st_mode) &&
      !S_ISDIR(existing.st_mode))
    exists = false;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) {
      errno = EISDIR;
      return false;
    }
    // Devices and FIFOs are written in place; replacing them would break them.
    if (!S_ISREG(existing.st_mode))
      return WriteDirectly(target, content);
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
    // The owner is best effort (only root may give a file away); the file then
    // belongs to whoever rewrote it.
    if (sys::Fchown(fd, existing.st_uid, existing.st_gid) != 0)
      (void)!sys::Fchown(fd, uid_t(-1), existing.st_gid);
  }
  if (ownMode) {
    mode_t mode = newMode != KeepTargetMode ? mode_t(newMode) : existing.st_mode & 07777;
    if (!SetFileMode(fd, mode))
      return false;
  }
  const std::string *attributeSource = copySource != nullptr ? copySource
                                       : exists              ? &target
                                                             : nullptr;
  if (attributeSource != nullptr && !CopyFileAttributes(*attributeSource, fd))
    return false;
  // No sync before the rename: it costs several milliseconds a file, which a run
  // over many files would feel, and ext4 already writes the data of a file renamed
  // over another before the rename is committed.
  if (!temporary.Finish())
    return false;

  int renameError = RenameFile(temporary.Name(), target);
  if (renameError == 0) {
    temporary.Released();
    return true;
  }
  // A bind-mounted file cannot be replaced, only rewritten; the unused temporary
  // file goes with `temporary`.
  if (renameError == EBUSY)
    return RewriteInPlace(target, content);
  errno = renameError;
  return false;
}

bool IsReplaceableFile(const std::string &path) {
  std::string target;
  int descriptor = -1;
  struct stat info;
  int statError = 0;
  return ResolveLinks(path, target, descriptor, info, statError) && descriptor < 0 &&
         statError == 0 && S_ISREG(info.st_mode);
}

void IgnoreFileSizeSignal() {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGXFSZ, &action, nullptr);
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
