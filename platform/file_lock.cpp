#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system_calls.h"

namespace platform {

namespace {

bool SameFile(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// An interrupted wait is taken up again by the call itself.
int LockWaiting(int fd) {
  return sys::Flock(fd, LOCK_EX);
}

} // namespace

TFileLock::~TFileLock() {
  if (FFd >= 0)
    sys::Close(FFd); // releases the lock
}

bool TFileLock::Lock(const std::string &path) {
  // Each pass either locks the file the name still names, or sees the name now
  // naming another file; a run of renames that long is not a concurrent edit.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // Non-blocking open: a FIFO must not wait for a writer here.
    int fd = sys::Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
      return false;
    struct stat locked;
    if (fstat(fd, &locked) != 0) {
      int error = errno;
      sys::Close(fd);
      errno = error;
      return false;
    }
    if (!S_ISREG(locked.st_mode)) {
      sys::Close(fd);
      return true;
    }
    if (LockWaiting(fd) != 0) {
      int error = errno;
      sys::Close(fd);
      errno = error;
      return false;
    }
    struct stat named;
    if (stat(path.c_str(), &named) == 0 && SameFile(named, locked)) {
      if (FFd >= 0)
        sys::Close(FFd);
      FFd = fd;
      return true;
    }
    sys::Close(fd);
  }
  errno = EAGAIN;
  return false;
}

} // namespace platform
