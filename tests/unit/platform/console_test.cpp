#include "platform/console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
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
  // Sizes around the first block's size and far beyond a pipe's buffer and many
  // blocks; a regular file read from its start and from a position inside it (what
  // is left from there is the input, as a shell's "< file" after a partial read).
  struct TCase {
    size_t Length;
    bool Pipe;
    size_t Skip;
  };
  const TCase cases[] = {{1, true, 0},      {999, true, 0},      {65535, true, 0},
                         {65536, true, 0},  {65537, true, 0},    {3000001, true, 0},
                         {0, false, 0},     {1, false, 0},       {65536, false, 0},
                         {65537, false, 0}, {3000001, false, 0}, {3000001, false, 1000},
                         {10, false, 10},   {10, false, 20}};
  for (const TCase &c : cases) {
    std::string content = Pattern(c.Length);
    std::string expected = c.Skip < c.Length ? content.substr(c.Skip) : std::string();
    std::string data = "previous";
    if (c.Pipe) {
      TPipe pipe;
      std::thread writer([&] {
        write(pipe.Write, content.data(), content.size());
        pipe.CloseWrite();
      });
      EXPECT_EQ(platform::ReadAllFromDescriptor(pipe.Read, data), TStdinReadResult::Ok);
      writer.join();
    } else {
      FILE *file = tmpfile();
      ASSERT_NE(file, nullptr);
      int fd = fileno(file);
      ASSERT_EQ(write(fd, content.data(), content.size()), ssize_t(content.size()));
      ASSERT_EQ(lseek(fd, off_t(c.Skip), SEEK_SET), off_t(c.Skip));
      EXPECT_EQ(platform::ReadAllFromDescriptor(fd, data), TStdinReadResult::Ok);
      fclose(file);
    }
    EXPECT_EQ(data.size(), expected.size()) << c.Length << (c.Pipe ? " pipe" : " file");
    EXPECT_TRUE(data == expected) << c.Length << (c.Pipe ? " pipe" : " file") << " from " << c.Skip;
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
