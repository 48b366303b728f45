#include "platform/system_calls.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace platform {
namespace {

TFaultPlan *ActivePlan = nullptr;

constexpr const char *CallNames[] = {
    "open",         "read",   "write",  "fallocate", "ftruncate", "fdatasync",
    "close",        "fchmod", "fchown", "listxattr", "getxattr",  "fsetxattr",
    "fremovexattr", "rename", "linkat", "unlink",    "flock",     "mkdirat"};
static_assert(sizeof(CallNames) / sizeof(CallNames[0]) == std::size_t(TCall::Count));

// True (errno set) when the plan fails this call; a shortened transfer only
// lowers `size`.
bool Faulted(TCall call, std::size_t *size = nullptr) {
  if (__builtin_expect(ActivePlan == nullptr, 1))
    return false;
  const TFaultPlan::TFault *fault = ActivePlan->Next(call);
  if (fault == nullptr)
    return false;
  if (fault->Effect == TFaultPlan::TEffect::Short) {
    if (size != nullptr && *size > 1)
      *size /= 2;
    return false;
  }
  errno = fault->Error;
  return true;
}

// Repeats a call that an interruption left undone.
template <typename TFunction> auto Retried(TFunction function) {
  for (;;) {
    auto result = function();
    if (result != -1 || errno != EINTR)
      return result;
  }
}

} // namespace

const char *CallName(TCall call) {
  return CallNames[int(call)];
}

const TFaultPlan::TFault *TFaultPlan::Next(TCall call) {
  int nth = ++FCounts[int(call)];
  for (const TFault &fault : FFaults) {
    if (fault.Call == call && fault.Nth == nth) {
      ++FInjected;
      return &fault;
    }
  }
  if (FAllShort[int(call)]) {
    ++FInjected;
    FShortFault = {call, nth, TEffect::Short, 0};
    return &FShortFault;
  }
  return nullptr;
}

TFaultPlanScope::TFaultPlanScope(TFaultPlan &plan) : FPrevious(ActivePlan) {
  ActivePlan = &plan;
}

TFaultPlanScope::~TFaultPlanScope() {
  ActivePlan = FPrevious;
}

namespace sys {

int Open(const char *path, int flags, mode_t mode) {
  return Retried([&] { return Faulted(TCall::Open) ? -1 : open(path, flags, mode); });
}

int OpenAt(int directory, const char *path, int flags, mode_t mode) {
  return Retried([&] { return Faulted(TCall::Open) ? -1 : openat(directory, path, flags, mode); });
}

ssize_t Read(int fd, void *buffer, std::size_t size) {
  return Retried([&]() -> ssize_t {
    std::size_t limit = size;
    return Faulted(TCall::Read, &limit) ? -1 : read(fd, buffer, limit);
  });
}

ssize_t Write(int fd, const void *buffer, std::size_t size) {
  return Retried([&]() -> ssize_t {
    std::size_t limit = size;
    return Faulted(TCall::Write, &limit) ? -1 : write(fd, buffer, limit);
  });
}

int Fallocate(int fd, int mode, off_t offset, off_t length) {
  return Retried(
      [&] { return Faulted(TCall::Fallocate) ? -1 : fallocate(fd, mode, offset, length); });
}

int Ftruncate(int fd, off_t length) {
  return Retried([&] { return Faulted(TCall::Ftruncate) ? -1 : ftruncate(fd, length); });
}

int Fdatasync(int fd) {
  return Retried([&] { return Faulted(TCall::Sync) ? -1 : fdatasync(fd); });
}

int Close(int fd) {
  if (Faulted(TCall::Close)) {
    // The descriptor is released even when close fails, as Linux does.
    int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  return close(fd);
}

int Fchmod(int fd, mode_t mode) {
  return Retried([&] { return Faulted(TCall::Fchmod) ? -1 : fchmod(fd, mode); });
}

int Fchown(int fd, uid_t owner, gid_t group) {
  return Retried([&] { return Faulted(TCall::Fchown) ? -1 : fchown(fd, owner, group); });
}

ssize_t ListXattr(const char *path, char *list, std::size_t size) {
  return Retried([&] { return Faulted(TCall::ListXattr) ? -1 : listxattr(path, list, size); });
}

ssize_t GetXattr(const char *path, const char *name, void *value, std::size_t size) {
  return Retried([&] { return Faulted(TCall::GetXattr) ? -1 : getxattr(path, name, value, size); });
}

int Fsetxattr(int fd, const char *name, const void *value, std::size_t size, int flags) {
  return Retried(
      [&] { return Faulted(TCall::SetXattr) ? -1 : fsetxattr(fd, name, value, size, flags); });
}

int Fremovexattr(int fd, const char *name) {
  return Retried([&] { return Faulted(TCall::RemoveXattr) ? -1 : fremovexattr(fd, name); });
}

int Rename(const char *from, const char *to) {
  return Retried([&] { return Faulted(TCall::Rename) ? -1 : rename(from, to); });
}

int RenameAt(int fromDirectory, const char *from, int toDirectory, const char *to) {
  return Retried(
      [&] { return Faulted(TCall::Rename) ? -1 : renameat(fromDirectory, from, toDirectory, to); });
}

int RenameAt2(int fromDirectory, const char *from, int toDirectory, const char *to,
              unsigned flags) {
  return Retried([&] {
    return Faulted(TCall::Rename) ? -1 : renameat2(fromDirectory, from, toDirectory, to, flags);
  });
}

int LinkAt(int fromDirectory, const char *from, int toDirectory, const char *to, int flags) {
  return Retried([&] {
    return Faulted(TCall::Link) ? -1 : linkat(fromDirectory, from, toDirectory, to, flags);
  });
}

int Unlink(const char *path) {
  return Retried([&] { return Faulted(TCall::Unlink) ? -1 : unlink(path); });
}

int UnlinkAt(int directory, const char *path, int flags) {
  return Retried([&] { return Faulted(TCall::Unlink) ? -1 : unlinkat(directory, path, flags); });
}

int Flock(int fd, int operation) {
  return Retried([&] { return Faulted(TCall::Flock) ? -1 : flock(fd, operation); });
}

int MkdirAt(int directory, const char *path, mode_t mode) {
  return Retried([&] { return Faulted(TCall::Mkdir) ? -1 : mkdirat(directory, path, mode); });
}

} // namespace sys
} // namespace platform
