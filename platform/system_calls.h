// The system calls of the write path (reading inputs, writing targets, backups and
// their temporary files, copying attributes, locking). They go through here so that
// a test can make any one of them fail on command and prove that no failure costs
// a file; without a fault plan each is the plain call plus one flag check.
//
// Calls that an interruption leaves undone (EINTR) are repeated here, so their
// callers never see EINTR. close is not among them: Linux has released the
// descriptor whatever close answers.
#pragma once

#include <cstddef>
#include <sys/types.h>
#include <vector>

namespace platform {

enum class TCall {
  Open, // open and openat
  Read,
  Write,
  Fallocate,
  Ftruncate,
  Sync, // fdatasync
  Close,
  Fchmod,
  Fchown,
  ListXattr,
  GetXattr,
  SetXattr,    // fsetxattr
  RemoveXattr, // fremovexattr
  Rename,      // rename, renameat, renameat2
  Link,        // linkat
  Unlink,      // unlink, unlinkat
  Flock,
  Mkdir, // mkdirat
  Count
};

// The name of a kind of call, for test messages.
const char *CallName(TCall call);

// Faults a test installs: "the Nth call of kind K fails with errno E", or transfers
// only part of its bytes. Calls are counted per kind from 1 while the plan is
// installed; the counts also tell a test how many calls an operation makes.
class TFaultPlan {
public:
  enum class TEffect {
    Fail,  // the call does nothing and fails with the errno
    Short, // a read or write moves at most half its bytes (at least one)
  };
  struct TFault {
    TCall Call;
    int Nth;
    TEffect Effect;
    int Error;
  };

  TFaultPlan() = default;
  TFaultPlan(TCall call, int nth, int error) { Fail(call, nth, error); }
  void Fail(TCall call, int nth, int error) {
    FFaults.push_back({call, nth, TEffect::Fail, error});
  }
  void Shorten(TCall call, int nth) { FFaults.push_back({call, nth, TEffect::Short, 0}); }
  // Every call of the kind from the first on is shortened.
  void ShortenAll(TCall call) { FAllShort[int(call)] = true; }

  // How many calls of the kind were made so far.
  int Count(TCall call) const { return FCounts[int(call)]; }
  // How many faults were injected so far.
  int Injected() const { return FInjected; }

  // Counts the call; the fault to inject, if any.
  const TFault *Next(TCall call);

private:
  std::vector<TFault> FFaults;
  int FCounts[int(TCall::Count)] = {};
  bool FAllShort[int(TCall::Count)] = {};
  TFault FShortFault{};
  int FInjected = 0;
};

// Puts a fault plan in place for its lifetime and then restores the previous one
// (one thread only).
class TFaultPlanScope {
public:
  explicit TFaultPlanScope(TFaultPlan &plan);
  ~TFaultPlanScope();
  TFaultPlanScope(const TFaultPlanScope &) = delete;
  TFaultPlanScope &operator=(const TFaultPlanScope &) = delete;

private:
  TFaultPlan *FPrevious;
};

namespace sys {

int Open(const char *path, int flags, mode_t mode = 0);
int OpenAt(int directory, const char *path, int flags, mode_t mode = 0);
ssize_t Read(int fd, void *buffer, std::size_t size);
ssize_t Write(int fd, const void *buffer, std::size_t size);
int Fallocate(int fd, int mode, off_t offset, off_t length);
int Ftruncate(int fd, off_t length);
int Fdatasync(int fd);
int Close(int fd);
int Fchmod(int fd, mode_t mode);
int Fchown(int fd, uid_t owner, gid_t group);
ssize_t ListXattr(const char *path, char *list, std::size_t size);
ssize_t GetXattr(const char *path, const char *name, void *value, std::size_t size);
int Fsetxattr(int fd, const char *name, const void *value, std::size_t size, int flags);
int Fremovexattr(int fd, const char *name);
int Rename(const char *from, const char *to);
int RenameAt(int fromDirectory, const char *from, int toDirectory, const char *to);
int RenameAt2(int fromDirectory, const char *from, int toDirectory, const char *to, unsigned flags);
int LinkAt(int fromDirectory, const char *from, int toDirectory, const char *to, int flags);
int Unlink(const char *path);
int UnlinkAt(int directory, const char *path, int flags);
int Flock(int fd, int operation);
int MkdirAt(int directory, const char *path, mode_t mode);

} // namespace sys
} // namespace platform
