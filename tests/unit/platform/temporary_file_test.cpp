// The temporary file of a replacement never outlives the write: not after a failure,
// not after a terminating signal, and where the file system has unnamed files it has
// no name at all until just before the rename.
#include "platform/file_io.h"
#include "platform/temporary_file.h"
#include "tests/support/process_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class TStage { None, Write, Rename };

std::vector<std::string> Entries(const std::string &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The real disk, with unnamed files switched off on request, a look at the directory
// (or a signal, or a failure) at the moment the bytes are written and the rename is
// asked for.
class TWatchedFileSystem : public platform::TRealFileSystem {
public:
  bool Unnamed = true;
  TStage SignalAt = TStage::None;
  int Signal = 0;
  TStage FailAt = TStage::None;
  std::string Directory;
  std::vector<std::string> AtWrite, AtRename;

protected:
  int OpenUnnamed(const std::string &directory, mode_t mode) override {
    if (Unnamed)
      return TRealFileSystem::OpenUnnamed(directory, mode);
    errno = EOPNOTSUPP;
    return -1;
  }
  bool WriteBytes(int fd, std::string_view bytes) override {
    AtWrite = Entries(Directory);
    if (SignalAt == TStage::Write)
      raise(Signal);
    if (FailAt == TStage::Write) {
      errno = EIO;
      return false;
    }
    return TRealFileSystem::WriteBytes(fd, bytes);
  }
  int RenameFile(const std::string &from, const std::string &to) override {
    AtRename = Entries(Directory);
    if (SignalAt == TStage::Rename)
      raise(Signal);
    return FailAt == TStage::Rename ? EXDEV : TRealFileSystem::RenameFile(from, to);
  }
};

} // namespace

TEST(TemporaryFile, NamedOnlyJustBeforeTheRenameWhereTheFileSystemAllows) {
  for (bool unnamed : {true, false}) {
    TTempDir dir;
    std::string path = dir.Write("out.txt", "old");
    TWatchedFileSystem fs;
    fs.Unnamed = unnamed;
    fs.Directory = dir.Path();
    ASSERT_TRUE(fs.WriteFileAtomic(path, "new")) << unnamed;
    EXPECT_EQ(fs.AtWrite.size(), unnamed ? 1u : 2u) << unnamed;
    ASSERT_EQ(fs.AtRename.size(), 2u) << unnamed;
    EXPECT_EQ(fs.AtRename[0].rfind(".redevuvo-", 0), 0u) << fs.AtRename[0];
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"});
  }
}

TEST(TemporaryFile, FailedWriteOrRenameLeavesNoTemporaryFile) {
  for (bool unnamed : {true, false}) {
    for (TStage stage : {TStage::Write, TStage::Rename}) {
      TTempDir dir;
      std::string path = dir.Write("out.txt", "old");
      TWatchedFileSystem fs;
      fs.Unnamed = unnamed;
      fs.FailAt = stage;
      fs.Directory = dir.Path();
      errno = 0;
      EXPECT_FALSE(fs.WriteFileAtomic(path, "new")) << unnamed;
      EXPECT_EQ(errno, stage == TStage::Write ? EIO : EXDEV);
      EXPECT_EQ(ReadFileBytes(path), "old");
      EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"}) << unnamed;
    }
  }
}

TEST(TemporaryFile, TerminatingSignalDuringTheWriteLeavesNoTemporaryFile) {
  struct {
    bool unnamed;
    TStage stage;
    int signal;
    bool ignoredBefore;
  } cases[] = {
      {false, TStage::Write, SIGTERM, false},
      {false, TStage::Write, SIGINT, false},
      {false, TStage::Write, SIGHUP, false},
      {false, TStage::Write, SIGQUIT, false},
      {false, TStage::Write, SIGUSR1, false},
      {false, TStage::Write, SIGXCPU, false},
      {false, TStage::Rename, SIGTERM, false},
      {true, TStage::Write, SIGTERM, false},
      {true, TStage::Rename, SIGTERM, false},
      {true, TStage::Rename, SIGINT, false},
      {true, TStage::Rename, SIGHUP, false},
      // Ignored before (nohup): the write goes on and completes.
      {false, TStage::Write, SIGHUP, true},
  };
  for (const auto &c : cases) {
    TTempDir dir;
    std::string path = dir.Write("out.txt", "old");
    pid_t pid = fork();
    if (pid == 0) {
      rlimit noCore{0, 0}; // SIGQUIT and SIGXCPU would dump core
      setrlimit(RLIMIT_CORE, &noCore);
      if (c.ignoredBefore)
        signal(c.signal, SIG_IGN);
      platform::RemoveTemporaryFilesOnSignals();
      TWatchedFileSystem fs;
      fs.Unnamed = c.unnamed;
      fs.SignalAt = c.stage;
      fs.Signal = c.signal;
      fs.Directory = dir.Path();
      _exit(fs.WriteFileAtomic(path, "new") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    std::string label = std::to_string(c.signal) + (c.unnamed ? " unnamed" : " named");
    if (c.ignoredBefore) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << label;
      EXPECT_EQ(ReadFileBytes(path), "new") << label;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << label;
      EXPECT_EQ(ReadFileBytes(path), "old") << label;
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"}) << label;
  }
}
