#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool SameFile(const struct stat &a, const struct stat &b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int LockWaiting(int fd) {
  int result;
  do
    result = flock(fd, LOCK_EX);
  while (result != 0 && errno == EINTR);
  return result;
}

} // namespace

TFileLock::~TFileLock() {
  if (FFd >= 0)
    close(FFd); // releases the lock
}

bool TFileLock::Lock(const std::string &path) {
  // Each pass either locks the file the name still names, or sees the name now
  // naming another file; a run of renames that long is not a concurrent edit.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // Non-blocking open: a FIFO must not wait for a writer here.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
      return false;
    struct stat locked;
    if (fstat(fd, &locked) != 0) {
      int error = errno;
      close(fd);
      errno = error;
      return false;
    }
    if (!S_ISREG(locked.st_mode)) {
      close(fd);
      return true;
    }
    if (LockWaiting(fd) != 0) {
      int error = errno;
      close(fd);
      errno = error;
      return false;
    }
    struct stat named;
    if (stat(path.c_str(), &named) == 0 && SameFile(named, locked)) {
      if (FFd >= 0)
        close(FFd);
      FFd = fd;
      return true;
    }
    close(fd);
  }
  errno = EAGAIN;
  return false;
}

} // namespace platform
