#include "platform/console.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace platform {
namespace {

size_t WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += size_t(n);
  }
  return done;
}

} // namespace

bool WriteStandardError(std::string_view bytes) { return WriteAll(2, bytes) == bytes.size(); }
size_t WriteStandardOutput(std::string_view bytes) { return WriteAll(1, bytes); }
bool IsInteractiveStandardInput() { return isatty(0) == 1; }

TStdinReadResult ReadStandardInput(std::string& data) {
  char buffer[1000];
  for (;;) {
    ssize_t n = read(0, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return TStdinReadResult::Failed;
    if (n == 0)
      return TStdinReadResult::Ok;
    data.append(buffer, size_t(n));
  }
}

void IgnoreBrokenPipe() { signal(SIGPIPE, SIG_IGN); }

} // namespace platform
