#include "platform/console.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr size_t StdinChunkSize = 1000;

// A descriptor inherited in non-blocking mode answers EAGAIN instead of waiting;
// wait for it here so that such a caller does not see a spurious failure.
bool WaitForDescriptor(int fd, short events) {
  pollfd entry{fd, events, 0};
  for (;;) {
    int ready = poll(&entry, 1, -1);
    if (ready > 0)
      return true;
    if (ready < 0 && errno != EINTR)
      return false;
  }
}

} // namespace

size_t WriteToDescriptor(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += size_t(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitForDescriptor(fd, POLLOUT))
        break;
    } else {
      break;
    }
  }
  return written;
}

TStdinReadResult ReadAllFromDescriptor(int fd, std::string &data) {
  std::string result;
  char chunk[StdinChunkSize];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n > 0) {
      result.append(chunk, size_t(n));
    } else if (n == 0) {
      break;
    } else if (errno == EINTR) {
      continue;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitForDescriptor(fd, POLLIN))
        return TStdinReadResult::Failed;
    } else {
      return TStdinReadResult::Failed;
    }
  }
  data = std::move(result);
  return TStdinReadResult::Ok;
}

bool WriteStandardError(std::string_view bytes) {
  return WriteToDescriptor(STDERR_FILENO, bytes) == bytes.size();
}

size_t WriteStandardOutput(std::string_view bytes) {
  return WriteToDescriptor(STDOUT_FILENO, bytes);
}

bool IsInteractiveStandardInput() {
  return isatty(STDIN_FILENO) == 1;
}

TStdinReadResult ReadStandardInput(std::string &data) {
  return ReadAllFromDescriptor(STDIN_FILENO, data);
}

void IgnoreBrokenPipe() {
  struct sigaction action {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGPIPE, &action, nullptr);
}

const char *const ConsoleLineEnd = "\n";

std::u16string ToOemText(std::u16string_view s) {
  return std::u16string(s);
}

} // namespace platform
