// The temporary file a replacement is written to before it is renamed over its
// target. Where the file system allows, it has no name until just before that
// rename, so that nothing is left behind however the process ends; elsewhere it is
// named from the start and a terminating signal removes it on the way out.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

namespace platform {

// An unnamed file in `directory` (O_TMPFILE) that can be given a name later; -1 with
// errno when that fails.
int OpenUnnamedFile(const std::string &directory, mode_t mode);

class TTemporaryFile {
public:
  TTemporaryFile() = default;
  // Closes the file and removes the name it still has; errno is kept.
  ~TTemporaryFile();
  TTemporaryFile(const TTemporaryFile &) = delete;
  TTemporaryFile &operator=(const TTemporaryFile &) = delete;

  // Takes `unnamedFd` (an OpenUnnamedFile result) when it is open; when the file
  // system has no unnamed files (-1 with EOPNOTSUPP, EISDIR or EINVAL), creates a
  // fresh name in `directory` instead. `mode` is subject to the umask.
  bool Open(const std::string &directory, mode_t mode, int unnamedFd);
  int Descriptor() const { return FFd; }

  // Gives the file a fresh name beside where it was opened (when it has none yet)
  // and closes it; false when either fails, a late write error included.
  bool Finish();
  // The file's name once finished (or from the start when it has one).
  const std::string &Name() const { return FName; }
  // The name was renamed over the target: it is no longer ours to remove.
  void Released();

private:
  bool CreateNamed(mode_t mode);
  bool LinkUnnamed();
  // Tries fresh names beside the target until `create` makes one (it fails with
  // EEXIST for a name that is taken); the name is marked for the signal handler first.
  bool TakeFreeName(const std::function<bool(const std::string &)> &create);
  void Discard();

  std::string FDirectory;
  std::string FName;
  int FFd = -1;
};

// From here on SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM and SIGXCPU
// remove the named temporary file in flight before they end the process as they
// would have. A signal the process ignores (nohup) stays ignored.
void RemoveTemporaryFilesOnSignals();

} // namespace platform
