// An advisory lock on the file an in-place run rewrites, held from reading it to
// the rename that replaces it, so that concurrent runs on one file take turns
// instead of each rewriting the text it read before another run's rewrite.
#pragma once

#include <string>

namespace platform {

class TFileLock {
public:
  TFileLock() = default;
  ~TFileLock();
  TFileLock(const TFileLock &) = delete;
  TFileLock &operator=(const TFileLock &) = delete;

  // Locks the regular file that path names (links followed), waiting while another
  // process holds it. A rename replaces the file behind a name, so after the wait
  // the name is checked again and the new file locked in its place. Anything that
  // is not a regular file is not locked and gives true; false (errno set) when
  // the file cannot be opened or locked.
  bool Lock(const std::string &path);

  // Whether a lock is held.
  bool Held() const { return FFd >= 0; }

private:
  int FFd = -1;
};

} // namespace platform
