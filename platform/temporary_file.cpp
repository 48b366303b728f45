#include "platform/temporary_file.h"

#include <functional>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system_calls.h"

namespace platform {
namespace {

constexpr int NameAttempts = 100;
// The signals that end the process by default and come from outside it (kill, the
// terminal, a CPU time limit); a crash is no time to touch the disk.
constexpr int CleanedSignals[] = {SIGTERM, SIGINT,  SIGHUP,  SIGQUIT,
                                  SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU};

// The one named temporary file in flight, for the signal handler: a fixed buffer
// and a flag, since the handler may neither allocate nor take locks. The program
// writes one file at a time.
char InFlightName[PATH_MAX];
volatile sig_atomic_t InFlight = 0;

void MarkInFlight(const std::string &name) {
  InFlight = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  // A longer name cannot be created, so there is nothing to remove.
  if (name.size() >= sizeof(InFlightName))
    return;
  std::memcpy(InFlightName, name.c_str(), name.size() + 1);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  InFlight = 1;
}

void ClearInFlight() {
  InFlight = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
}

extern "C" void RemoveInFlightAndEnd(int signalNumber) {
  int saved = errno;
  if (InFlight)
    unlink(InFlightName);
  // SA_RESETHAND has put the default action back: the signal raised again ends the
  // process as if it had never been caught.
  raise(signalNumber);
  errno = saved;
}

// A fresh name in the target's directory, so that the rename stays within one file
// system; the process id keeps concurrent runs apart.
std::string NextName(const std::string &directory) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  unsigned serial = counter.fetch_add(1) ^ salt;
  return directory + "/.redevuvo-" + std::to_string(getpid()) + "-" + std::to_string(serial) +
         ".tmp";
}

// An unnamed file is named through its /proc link; without /proc it never could be.
// Once a link was there, /proc is mounted for the process, and asking again for
// every file would only cost a call each.
bool CanBeNamed(int fd) {
  static bool procMounted = false;
  if (procMounted)
    return true;
  struct stat info;
  procMounted = lstat(("/proc/self/fd/" + std::to_string(fd)).c_str(), &info) == 0;
  return procMounted;
}

} // namespace

int OpenUnnamedFile(const std::string &directory, mode_t mode) {
  return sys::Open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

TTemporaryFile::~TTemporaryFile() {
  Discard();
}

bool TTemporaryFile::Open(const std::string &directory, mode_t mode, int unnamedFd) {
  FDirectory = directory;
  if (unnamedFd >= 0) {
    if (CanBeNamed(unnamedFd)) {
      FFd = unnamedFd;
      return true;
    }
    sys::Close(unnamedFd);
  } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    return false;
  }
  return CreateNamed(mode);
}

bool TTemporaryFile::CreateNamed(mode_t mode) {
  return TakeFreeName([this, mode](const std::string &name) {
    FFd = sys::Open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    return FFd >= 0;
  });
}

bool TTemporaryFile::LinkUnnamed() {
  std::string link = "/proc/self/fd/" + std::to_string(FFd);
  return TakeFreeName([&link](const std::string &name) {
    return sys::LinkAt(AT_FDCWD, link.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
}

bool TTemporaryFile::TakeFreeName(const std::function<bool(const std::string &)> &create) {
  for (int attempt = 0; attempt < NameAttempts; ++attempt) {
    // Marked before it exists, so that no moment is left in which a signal would
    // leave it behind.
    FName = NextName(FDirectory);
    MarkInFlight(FName);
    if (create(FName))
      return true;
    if (errno != EEXIST)
      break;
  }
  int saved = errno;
  FName.clear();
  ClearInFlight();
  errno = saved;
  return false;
}

bool TTemporaryFile::Finish() {
  if (FName.empty() && !LinkUnnamed())
    return false;
  int fd = FFd;
  FFd = -1;
  return sys::Close(fd) == 0;
}

void TTemporaryFile::Released() {
  FName.clear();
  ClearInFlight();
}

void TTemporaryFile::Discard() {
  int saved = errno;
  if (FFd >= 0)
    sys::Close(FFd);
  FFd = -1;
  if (!FName.empty())
    sys::Unlink(FName.c_str());
  FName.clear();
  ClearInFlight();
  errno = saved;
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = RemoveInFlightAndEnd;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  // One removal at a time: the others wait until the first has ended the process.
  for (int signalNumber : CleanedSignals)
    sigaddset(&action.sa_mask, signalNumber);
  for (int signalNumber : CleanedSignals) {
    struct sigaction previous {};
    if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
      sigaction(signalNumber, &action, nullptr);
  }
}

} // namespace platform
