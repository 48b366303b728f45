#include "platform/spawn.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/process.h"

extern char **environ;

namespace platform {

namespace {

// The spawn settings, released on every path.
class TSpawnSetup {
public:
  TSpawnSetup() {
    FActionsOk = posix_spawn_file_actions_init(&FActions) == 0;
    FAttributesOk = posix_spawnattr_init(&FAttributes) == 0;
  }
  ~TSpawnSetup() {
    if (FActionsOk)
      posix_spawn_file_actions_destroy(&FActions);
    if (FAttributesOk)
      posix_spawnattr_destroy(&FAttributes);
  }
  TSpawnSetup(const TSpawnSetup &) = delete;
  TSpawnSetup &operator=(const TSpawnSetup &) = delete;

  bool Prepare(const std::string &directory) {
    if (!FActionsOk || !FAttributesOk)
      return false;
    if (!directory.empty() &&
        posix_spawn_file_actions_addchdir_np(&FActions, directory.c_str()) != 0)
      return false;
    if (posix_spawn_file_actions_adddup2(&FActions, STDERR_FILENO, STDOUT_FILENO) != 0)
      return false;
    // This process ignores SIGPIPE; the started program must not inherit that.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    return posix_spawnattr_setsigdefault(&FAttributes, &all) == 0 &&
           posix_spawnattr_setsigmask(&FAttributes, &none) == 0 &&
           posix_spawnattr_setflags(&FAttributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK) ==
               0;
  }

  const posix_spawn_file_actions_t *Actions() const { return &FActions; }
  const posix_spawnattr_t *Attributes() const { return &FAttributes; }

private:
  posix_spawn_file_actions_t FActions;
  posix_spawnattr_t FAttributes;
  bool FActionsOk = false;
  bool FAttributesOk = false;
};

// Programs started here that have not been reaped yet (0 = a free slot). A
// SIGCHLD handler reaps them the moment they end, and only them: the children of
// io.popen or os.execute are left to their own waits.
constexpr size_t MaxUnfinishedPrograms = 1024;
std::atomic<pid_t> UnfinishedPrograms[MaxUnfinishedPrograms];
static_assert(std::atomic<pid_t>::is_always_lock_free);

struct sigaction PreviousChildAction;

// Safe in a signal handler: waitpid and atomics only, errno kept.
void ReapFinishedPrograms() noexcept {
  int savedErrno = errno;
  for (std::atomic<pid_t> &slot : UnfinishedPrograms) {
    pid_t pid = slot.load();
    if (pid <= 0)
      continue;
    pid_t result = waitpid(pid, nullptr, WNOHANG);
    if (result == pid || (result < 0 && errno == ECHILD))
      slot.compare_exchange_strong(pid, 0);
  }
  errno = savedErrno;
}

void OnChildEnded(int signal, siginfo_t *info, void *context) {
  ReapFinishedPrograms();
  if (PreviousChildAction.sa_flags & SA_SIGINFO) {
    if (PreviousChildAction.sa_sigaction != nullptr)
      PreviousChildAction.sa_sigaction(signal, info, context);
  } else if (PreviousChildAction.sa_handler != SIG_DFL &&
             PreviousChildAction.sa_handler != SIG_IGN) {
    PreviousChildAction.sa_handler(signal);
  }
}

enum class TReaping { ByHandler, BySystem, Unavailable };

// Installs the handler once. Where SIGCHLD is already ignored the system reaps
// every child itself and nothing needs to be kept.
TReaping PrepareReaping() {
  static const TReaping reaping = [] {
    struct sigaction action = {};
    action.sa_sigaction = OnChildEnded;
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&action.sa_mask);
    struct sigaction current;
    if (sigaction(SIGCHLD, nullptr, &current) != 0)
      return TReaping::Unavailable;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN)
      return TReaping::BySystem;
    PreviousChildAction = current;
    return sigaction(SIGCHLD, &action, nullptr) == 0 ? TReaping::ByHandler : TReaping::Unavailable;
  }();
  return reaping;
}

// Holds SIGCHLD back while a started program is being recorded, so the handler
// cannot miss one that ends at once.
class TChildSignalBlock {
public:
  TChildSignalBlock() {
    sigset_t child;
    sigemptyset(&child);
    sigaddset(&child, SIGCHLD);
    sigprocmask(SIG_BLOCK, &child, &FSaved);
  }
  ~TChildSignalBlock() { sigprocmask(SIG_SETMASK, &FSaved, nullptr); }
  TChildSignalBlock(const TChildSignalBlock &) = delete;
  TChildSignalBlock &operator=(const TChildSignalBlock &) = delete;

private:
  sigset_t FSaved;
};

} // namespace

bool SpawnDetached(const std::string &program, const std::vector<std::string> &arguments,
                   const std::string &directory, int *processId) {
  if (program.empty())
    return false;
  // With a working directory the program's own relative path would be looked up
  // after the change; it is meant relative to this process's directory.
  std::string path = program;
  if (path[0] != '/' && !directory.empty()) {
    std::string current = CurrentDirectory();
    if (current.empty())
      return false;
    path = current + "/" + path;
  }
  // The start reports a directory it cannot enter too, but not where the C library
  // cannot share memory with the new process (as under valgrind); asking first
  // gives the same answer everywhere.
  struct stat status;
  if (!directory.empty() && (stat(directory.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
                             access(directory.c_str(), X_OK) != 0))
    return false;
  TSpawnSetup setup;
  if (!setup.Prepare(directory))
    return false;
  std::vector<char *> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(const_cast<char *>(program.c_str()));
  for (const std::string &argument : arguments)
    argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);

  TReaping reaping = PrepareReaping();
  if (reaping == TReaping::Unavailable)
    return false;
  TChildSignalBlock block;
  std::atomic<pid_t> *slot = nullptr;
  if (reaping == TReaping::ByHandler) {
    // Another handler may have taken SIGCHLD since; then this sweep is the reaping.
    ReapFinishedPrograms();
    for (std::atomic<pid_t> &candidate : UnfinishedPrograms)
      if (candidate.load() == 0) {
        slot = &candidate;
        break;
      }
    // Never more programs than can be reaped.
    if (slot == nullptr)
      return false;
  }
  // posix_spawn returns once the program has been executed or has failed to be.
  pid_t started = 0;
  if (posix_spawn(&started, path.c_str(), setup.Actions(), setup.Attributes(), argv.data(),
                  environ) != 0)
    return false;
  if (slot != nullptr)
    slot->store(started);
  if (processId != nullptr)
    *processId = started;
  return true;
}

bool IsExecutableFile(const std::string &path) {
  struct stat status;
  return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

std::string FindExecutableOnPath(const std::string &name) {
  if (name.empty() || name.find('/') != std::string::npos)
    return {};
  std::string directories = GetEnvironmentVariable("PATH").value_or("/bin:/usr/bin");
  size_t start = 0;
  while (start <= directories.size()) {
    size_t end = directories.find(':', start);
    if (end == std::string::npos)
      end = directories.size();
    if (end > start) {
      std::string candidate = directories.substr(start, end - start);
      if (candidate.back() != '/')
        candidate += '/';
      candidate += name;
      if (IsExecutableFile(candidate))
        return candidate;
    }
    start = end + 1;
  }
  return {};
}

std::optional<bool> SystemShellExecute(std::u16string_view, std::u16string_view,
                                       std::u16string_view, std::u16string_view, int) {
  return std::nullopt;
}

} // namespace platform
