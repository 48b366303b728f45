#include "platform/spawn.h"
#include "tests/support/process_runner.h"
#include "tests/unit/platform/argument_recorder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::FindExecutableOnPath;
using platform::IsExecutableFile;
using platform::SpawnDetached;

extern char **environ;

namespace {

// Waits until the process is gone, which for a child of this process means reaped:
// a zombie still exists for kill(pid, 0).
bool EndsAndIsReaped(int pid) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (kill(pid, 0) == 0 || errno != ESRCH) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class TDirectoryChange {
public:
  explicit TDirectoryChange(const std::string &path) : FSaved(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~TDirectoryChange() { std::filesystem::current_path(FSaved); }
  TDirectoryChange(const TDirectoryChange &) = delete;
  TDirectoryChange &operator=(const TDirectoryChange &) = delete;

private:
  std::filesystem::path FSaved;
};

// Sets PATH for one test and puts the old value back.
class TPathChange {
public:
  explicit TPathChange(const char *value) {
    const char *old = std::getenv("PATH");
    if (old != nullptr)
      FSaved = old;
    FWasSet = old != nullptr;
    if (value != nullptr)
      setenv("PATH", value, 1);
    else
      unsetenv("PATH");
  }
  ~TPathChange() {
    if (FWasSet)
      setenv("PATH", FSaved.c_str(), 1);
    else
      unsetenv("PATH");
  }
  TPathChange(const TPathChange &) = delete;
  TPathChange &operator=(const TPathChange &) = delete;

private:
  std::string FSaved;
  bool FWasSet = false;
};

// Points one descriptor at a file for one test and restores it.
class TDescriptorRedirect {
public:
  TDescriptorRedirect(int fd, const std::string &path) : FFd(fd), FSaved(dup(fd)) {
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, fd);
    close(file);
  }
  ~TDescriptorRedirect() {
    dup2(FSaved, FFd);
    close(FSaved);
  }
  TDescriptorRedirect(const TDescriptorRedirect &) = delete;
  TDescriptorRedirect &operator=(const TDescriptorRedirect &) = delete;

private:
  int FFd;
  int FSaved;
};

} // namespace

TEST(Spawn, FinishedProgramIsReapedWithoutAnyWait) {
  int pid = 0;
  ASSERT_TRUE(SpawnDetached("/bin/true", {}, "", &pid));
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(EndsAndIsReaped(pid));
}

TEST(Spawn, ReturnsWhileTheProgramRunsAndReapsItLater) {
  int pid = 0;
  ASSERT_TRUE(SpawnDetached("/bin/sleep", {"60"}, "", &pid));
  EXPECT_EQ(kill(pid, 0), 0) << "still running, so the start did not wait for it";
  kill(pid, SIGTERM);
  EXPECT_TRUE(EndsAndIsReaped(pid));
}

TEST(Spawn, OtherChildrenAreLeftToTheirOwnWait) {
  // A child started elsewhere (as io.popen or os.execute do) ends while programs
  // started here are being reaped; its exit status must still be there for its wait.
  char shell[] = "/bin/sh", option[] = "-c", command[] = "sleep 0.2; exit 7";
  char *argv[] = {shell, option, command, nullptr};
  pid_t other = 0;
  ASSERT_EQ(posix_spawn(&other, "/bin/sh", nullptr, nullptr, argv, environ), 0);
  int started = 0;
  ASSERT_TRUE(SpawnDetached("/bin/sleep", {"0.4"}, "", &started));
  int status = 0;
  pid_t waited;
  do
    waited = waitpid(other, &status, 0);
  while (waited < 0 && errno == EINTR);
  EXPECT_EQ(waited, other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
  EXPECT_TRUE(EndsAndIsReaped(started));
}

TEST(Spawn, ArgumentsArriveSeparatelyInTheWorkingDirectory) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("work"));
  WriteArgumentRecorder(dir.File("record.sh"), dir.File("record"));
  ASSERT_TRUE(
      SpawnDetached(dir.File("record.sh"), {"a b", "", "c'd\"e", "$HOME"}, dir.File("work")));
  EXPECT_EQ(WaitForFile(dir.File("record")),
            PhysicalPath(dir.File("work")) + "\n4\n[a b]\n[]\n[c'd\"e]\n[$HOME]\n");
}

TEST(Spawn, RelativeProgramIsFoundFromTheCurrentDirectoryNotTheWorkingOne) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("work"));
  WriteArgumentRecorder(dir.File("record.sh"), dir.File("record"));
  TDirectoryChange change(dir.Path());
  ASSERT_TRUE(SpawnDetached("./record.sh", {"x"}, "work"));
  EXPECT_EQ(WaitForFile(dir.File("record")), PhysicalPath(dir.File("work")) + "\n1\n[x]\n");
}

TEST(Spawn, ProgramThatCannotStartGivesFalse) {
  TTempDir dir;
  std::string text = dir.Write("text.txt", "no program\n");
  chmod(text.c_str(), 0644);
  std::string noShebang = dir.Write("plain.sh", "true\n");
  chmod(noShebang.c_str(), 0755);
  const struct {
    std::string Program;
    std::string Directory;
  } cases[] = {
      {"", ""},
      {dir.File("missing"), ""},
      {text, ""},
      {dir.Path(), ""},
      {"/bin/true", dir.File("no-such-directory")},
      // No interpreter line: the system cannot execute it and no shell steps in.
      {noShebang, ""},
  };
  for (const auto &c : cases) {
    EXPECT_FALSE(SpawnDetached(c.Program, {}, c.Directory)) << c.Program << " in " << c.Directory;
  }
}

TEST(Spawn, StartedProgramWritesToStandardErrorAndGetsDefaultSignals) {
  TTempDir dir;
  // The blocked and ignored sets of the started shell, as hexadecimal masks. Read
  // with builtins only: while the shell waits for a child it blocks signals itself.
  std::string script =
      dir.Write("report.sh", "#!/bin/sh\n"
                             "echo out\n"
                             "while read -r key value; do\n"
                             "  case $key in SigBlk:|SigIgn:) echo \"$value\" >&2;; esac\n"
                             "done < /proc/$$/status\n");
  chmod(script.c_str(), 0755);
  {
    // As in the program: SIGPIPE ignored; and a blocked signal for good measure.
    TDescriptorRedirect out(STDOUT_FILENO, dir.File("stdout"));
    TDescriptorRedirect err(STDERR_FILENO, dir.File("stderr"));
    auto oldPipe = signal(SIGPIPE, SIG_IGN);
    sigset_t blocked, saved;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, &saved);
    bool started = SpawnDetached(script, {}, "");
    sigprocmask(SIG_SETMASK, &saved, nullptr);
    signal(SIGPIPE, oldPipe);
    ASSERT_TRUE(started);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::string output;
  while ((output = ReadFileBytes(dir.File("stderr"))).size() < 38 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(output.size(), 38u) << output;
  EXPECT_EQ(output.substr(0, 4), "out\n");
  // The C library keeps its own signals above 31 as it likes; the standard ones
  // must all be at their default and unblocked.
  unsigned long long blockedMask = std::stoull(output.substr(4, 16), nullptr, 16);
  unsigned long long ignoredMask = std::stoull(output.substr(21, 16), nullptr, 16);
  EXPECT_EQ(blockedMask & 0x7FFFFFFFull, 0u) << output;
  EXPECT_EQ(ignoredMask & 0x7FFFFFFFull, 0u) << output;
  EXPECT_EQ(ReadFileBytes(dir.File("stdout")), "");
}

TEST(Spawn, ExecutableFileIsARegularFileWithExecutePermission) {
  TTempDir dir;
  std::string text = dir.Write("text", "x");
  chmod(text.c_str(), 0644);
  std::string program = dir.Write("program", "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  std::filesystem::create_symlink(program, dir.File("link"));
  EXPECT_TRUE(IsExecutableFile(program));
  EXPECT_TRUE(IsExecutableFile(dir.File("link")));
  EXPECT_FALSE(IsExecutableFile(text));
  EXPECT_FALSE(IsExecutableFile(dir.Path()));
  EXPECT_FALSE(IsExecutableFile(dir.File("missing")));
  EXPECT_FALSE(IsExecutableFile(""));
}

TEST(Spawn, PathLookupTakesTheFirstExecutableOfThatName) {
  TTempDir dir;
  for (const char *sub : {"a", "b", "c"})
    std::filesystem::create_directory(dir.File(sub));
  std::string notExecutable = dir.Write("a/tool", "x");
  chmod(notExecutable.c_str(), 0644);
  std::string first = dir.Write("b/tool", "#!/bin/sh\n");
  chmod(first.c_str(), 0755);
  std::string second = dir.Write("c/tool", "#!/bin/sh\n");
  chmod(second.c_str(), 0755);
  std::filesystem::create_directory(dir.File("c/dir"));

  std::string path = dir.File("a") + "::" + dir.File("b") + "/:" + dir.File("c");
  TPathChange change(path.c_str());
  EXPECT_EQ(FindExecutableOnPath("tool"), dir.File("b") + "/tool");
  EXPECT_EQ(FindExecutableOnPath("dir"), "");
  EXPECT_EQ(FindExecutableOnPath("missing"), "");
  EXPECT_EQ(FindExecutableOnPath("b/tool"), "");
  EXPECT_EQ(FindExecutableOnPath(""), "");
}

TEST(Spawn, PathLookupWithoutPathUsesTheSystemDirectories) {
  TPathChange change(nullptr);
  EXPECT_EQ(FindExecutableOnPath("sh"), "/bin/sh");
}
