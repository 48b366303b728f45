#include "platform/console.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/large_buffer.h"

namespace platform {
namespace {

// The first block of a read of unknown length, and the least any later one holds.
constexpr size_t MinimumBlock = 65536;

// The bytes from the descriptor's position to the end of a regular file; 0 for
// anything else.
size_t RemainingFileBytes(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    return 0;
  off_t position = lseek(fd, 0, SEEK_CUR);
  return position >= 0 && position < info.st_size ? size_t(info.st_size - position) : 0;
}

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
  // A regular file (input redirected from a file) is read into one buffer of its
  // size. Anything else is read into blocks of a sixteenth of what came so far: a
  // large pipe is not copied on every regrowth, and joining the blocks once at
  // the end, each freed as soon as it is copied, needs little more memory than
  // the text itself.
  std::vector<std::string> blocks;
  std::string block;
  size_t used = 0, total = 0;
  ReserveLargeText(block, std::max(RemainingFileBytes(fd) + 1, MinimumBlock));
  block.resize(block.capacity());
  for (;;) {
    if (used == block.size()) {
      block.resize(used);
      blocks.push_back(std::move(block));
      block = std::string();
      ReserveLargeText(block, std::max(total / 16, MinimumBlock));
      block.resize(block.capacity());
      used = 0;
    }
    ssize_t n = read(fd, block.data() + used, block.size() - used);
    if (n > 0) {
      used += size_t(n);
      total += size_t(n);
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
  block.resize(used);
  if (blocks.empty()) {
    data = std::move(block);
    return TStdinReadResult::Ok;
  }
  blocks.push_back(std::move(block));
  std::string result;
  ReserveLargeText(result, total);
  for (std::string &part : blocks) {
    result += part;
    std::string().swap(part); // assigning an empty string would keep the memory
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
