#include "platform/console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/bounded_child.h"

using platform::TStdinReadResult;

namespace {

struct TPipe {
  int Read = -1;
  int Write = -1;
  TPipe() {
    int fds[2];
    if (pipe(fds) == 0) {
      Read = fds[0];
      Write = fds[1];
    }
  }
  ~TPipe() {
    CloseRead();
    CloseWrite();
  }
  void CloseRead() {
    if (Read >= 0)
      close(Read);
    Read = -1;
  }
  void CloseWrite() {
    if (Write >= 0)
      close(Write);
    Write = -1;
  }
};

// Runs `body` in a forked child; the exit code, 1000 + signal when it was killed,
// or ChildTimedOut when it blocked.
int RunInChild(const std::function<int()> &body) {
  return RunInBoundedChild(body);
}

std::string Pattern(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i)
    bytes[i] = char((i * 31 + i / 1000) & 0xFF);
  return bytes;
}

std::string DrainDescriptor(int fd) {
  std::string all;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0)
    all.append(buffer, size_t(n));
  return all;
}

} // namespace

TEST(Console, ReadAllFromDescriptorCollectsEveryChunk) {
  // Sizes around the 1000-byte read size and far beyond a pipe's buffer.
  for (size_t length : {size_t(1), size_t(999), size_t(1000), size_t(1001), size_t(3000001)}) {
    TPipe pipe;
    std::string content = Pattern(length);
    std::thread writer([&] {
      write(pipe.Write, content.data(), content.size());
      pipe.CloseWrite();
    });
    std::string data = "previous";
    EXPECT_EQ(platform::ReadAllFromDescriptor(pipe.Read, data), TStdinReadResult::Ok);
    writer.join();
    EXPECT_EQ(data.size(), length);
    EXPECT_TRUE(data == content) << length;
  }
}

TEST(Console, ReadAllFromDescriptorOfEmptyInputGivesNoBytes) {
  TPipe pipe;
  pipe.CloseWrite();
  std::string data = "previous";
  EXPECT_EQ(platform::ReadAllFromDescriptor(pipe.Read, data), TStdinReadResult::Ok);
  EXPECT_EQ(data, "");
}

TEST(Console, ReadErrorFailsAndKeepsData) {
  int directory = open("/", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  std::string data = "previous";
  EXPECT_EQ(platform::ReadAllFromDescriptor(directory, data), TStdinReadResult::Failed);
  EXPECT_EQ(data, "previous");
  close(directory);
  EXPECT_EQ(platform::ReadAllFromDescriptor(-1, data), TStdinReadResult::Failed);
  EXPECT_EQ(data, "previous");
}

TEST(Console, NonBlockingInputWaitsForLateData) {
  TPipe pipe;
  ASSERT_EQ(fcntl(pipe.Read, F_SETFL, O_NONBLOCK), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    write(pipe.Write, "late", 4);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    write(pipe.Write, " data", 5);
    pipe.CloseWrite();
  });
  std::string data;
  EXPECT_EQ(platform::ReadAllFromDescriptor(pipe.Read, data), TStdinReadResult::Ok);
  writer.join();
  EXPECT_EQ(data, "late data");
}

TEST(Console, ReadStandardInputReadsRedirectedData) {
  std::string content = Pattern(25000);
  TPipe pipe;
  ASSERT_EQ(write(pipe.Write, content.data(), content.size()), ssize_t(content.size()));
  pipe.CloseWrite(); // the child sees the end of the data only when no writer is left
  int code = RunInChild([&] {
    dup2(pipe.Read, STDIN_FILENO);
    std::string data;
    if (platform::IsInteractiveStandardInput())
      return 3;
    if (platform::ReadStandardInput(data) != TStdinReadResult::Ok)
      return 2;
    return data == content ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
}

TEST(Console, TerminalIsInteractiveStandardInput) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  int code = RunInChild([&] {
    dup2(slave, STDIN_FILENO);
    return platform::IsInteractiveStandardInput() ? 0 : 1;
  });
  close(master);
  close(slave);
  EXPECT_EQ(code, 0);
}

TEST(Console, WriteToDescriptorWritesEverythingThroughSmallPipe) {
  std::string content = Pattern(2000000);
  TPipe pipe;
  std::string received;
  std::thread reader([&] { received = DrainDescriptor(pipe.Read); });
  EXPECT_EQ(platform::WriteToDescriptor(pipe.Write, content), content.size());
  pipe.CloseWrite();
  reader.join();
  EXPECT_TRUE(received == content);
}

TEST(Console, WriteToNonBlockingDescriptorWaitsForSlowReader) {
  std::string content = Pattern(300000);
  TPipe pipe;
  ASSERT_EQ(fcntl(pipe.Write, F_SETFL, O_NONBLOCK), 0);
  std::string received;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    received = DrainDescriptor(pipe.Read);
  });
  EXPECT_EQ(platform::WriteToDescriptor(pipe.Write, content), content.size());
  pipe.CloseWrite();
  reader.join();
  EXPECT_TRUE(received == content);
}

TEST(Console, WriteToBadDescriptorWritesNothing) {
  EXPECT_EQ(platform::WriteToDescriptor(-1, "abc"), 0u);
  EXPECT_EQ(platform::WriteToDescriptor(-1, ""), 0u);
}

TEST(Console, StandardOutputAndErrorReachTheirDescriptors) {
  TPipe out, err;
  int code = RunInChild([&] {
    dup2(out.Write, STDOUT_FILENO);
    dup2(err.Write, STDERR_FILENO);
    size_t n = platform::WriteStandardOutput(std::string("text\0out", 8));
    bool ok = platform::WriteStandardError("message\n");
    return n == 8 && ok ? 0 : 1;
  });
  out.CloseWrite();
  err.CloseWrite();
  EXPECT_EQ(code, 0);
  EXPECT_EQ(DrainDescriptor(out.Read), std::string("text\0out", 8));
  EXPECT_EQ(DrainDescriptor(err.Read), "message\n");
}

TEST(Console, ClosedStandardOutputIsFailedWriteOnceBrokenPipeIgnored) {
  auto writeToClosedPipe = [](bool ignore) {
    TPipe pipe;
    pipe.CloseRead();
    return RunInChild([&] {
      signal(SIGPIPE, SIG_DFL);
      if (ignore)
        platform::IgnoreBrokenPipe();
      dup2(pipe.Write, STDOUT_FILENO);
      return platform::WriteStandardOutput("lost") == 0 ? 0 : 1;
    });
  };
  EXPECT_EQ(writeToClosedPipe(true), 0);
  EXPECT_EQ(writeToClosedPipe(false), 1000 + SIGPIPE);
}

TEST(Console, ToOemTextLeavesTextUnchanged) {
  EXPECT_EQ(platform::ToOemText(u""), u"");
  EXPECT_EQ(platform::ToOemText(u"Fehler: Datei \"Grüße.txt\""), u"Fehler: Datei \"Grüße.txt\"");
}
