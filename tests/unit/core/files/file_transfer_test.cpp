// Copying and moving files on real temporary trees, across file systems where the
// machine has a second one (/dev/shm).
#include "core/files/file_transfer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/code_page.h"
#include "platform/file_io.h"
#include "platform/file_io_test_double.h"
#include "tests/support/bounded_child.h"
#include "tests/support/extended_attributes.h"
#include "tests/support/process_runner.h"

namespace {

std::string ReadBytes(const std::string &path) {
  return ReadFileBytes(path);
}

mode_t ModeOf(const std::string &path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

bool HasEntry(const std::string &path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// A directory on another file system than the temporary trees, or empty when the
// machine has none to offer.
class TOtherFileSystemDir {
public:
  explicit TOtherFileSystemDir(const std::string &besides) {
    struct stat here {
    }, there{};
    if (stat(besides.c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev)
      return;
    char pattern[] = "/dev/shm/redevuvo_move_XXXXXX";
    if (mkdtemp(pattern) != nullptr)
      FPath = pattern;
  }
  ~TOtherFileSystemDir() {
    if (!FPath.empty())
      (void)!system(("rm -rf '" + FPath + "'").c_str());
  }
  TOtherFileSystemDir(const TOtherFileSystemDir &) = delete;
  TOtherFileSystemDir &operator=(const TOtherFileSystemDir &) = delete;
  const std::string &Path() const { return FPath; }

private:
  std::string FPath;
};

TText T(const std::string &bytes) {
  return BytesToText(bytes);
}

TEST(CopyFilePath, CopiesContentAndPermissionBits) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "content");
  ASSERT_EQ(chmod(source.c_str(), 0751), 0);
  EXPECT_TRUE(CopyFilePath(T(source), T(dir.File("b.txt")), false));
  EXPECT_EQ(ReadBytes(dir.File("b.txt")), "content");
  EXPECT_EQ(ModeOf(dir.File("b.txt")), 0751u);
}

TEST(CopyFilePath, OverwritesAnExistingTargetUnlessAskedNotTo) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "new");
  std::string target = dir.Write("b.txt", "old");
  EXPECT_FALSE(CopyFilePath(T(source), T(target), true));
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_TRUE(CopyFilePath(T(source), T(target), false));
  EXPECT_EQ(ReadBytes(target), "new");
}

TEST(CopyFilePath, FailIfExistsCountsADanglingLinkAsExisting) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "x");
  ASSERT_EQ(symlink(dir.File("missing").c_str(), dir.File("link").c_str()), 0);
  EXPECT_FALSE(CopyFilePath(T(source), T(dir.File("link")), true));
  EXPECT_FALSE(HasEntry(dir.File("missing")));
}

// No write bit at all is the read-only mark; root honours it as well.
TEST(CopyFilePath, NeverOverwritesAReadOnlyTarget) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "new");
  std::string target = dir.Write("b.txt", "old");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  EXPECT_FALSE(CopyFilePath(T(source), T(target), false));
  EXPECT_EQ(ReadBytes(target), "old");
}

TEST(CopyFilePath, RefusesDirectoriesAndMissingSources) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
  EXPECT_FALSE(CopyFilePath(T(dir.File("d")), T(dir.File("x")), false));
  EXPECT_FALSE(CopyFilePath(T(dir.File("missing")), T(dir.File("x")), false));
  EXPECT_FALSE(HasEntry(dir.File("x")));
}

TEST(CopyFilePath, DoesNotOverwriteADirectoryTarget) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "x");
  ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
  EXPECT_FALSE(CopyFilePath(T(source), T(dir.File("d")), false));
}

// Reading a FIFO would wait for a writer that never comes.
TEST(CopyFilePath, RefusesAFifoWithoutBlocking) {
  TTempDir dir;
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0644), 0);
  // The child's exit code is the copy's result: 0 refused, 1 copied.
  int copied = RunInBoundedChild(
      [&] { return int(CopyFilePath(T(dir.File("fifo")), T(dir.File("x")), false)); });
  EXPECT_EQ(copied, 0) << (copied == ChildTimedOut ? "the copy blocked" : "");
}

TEST(CopyFilePath, FollowsALinkAsSource) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "linked");
  ASSERT_EQ(symlink(source.c_str(), dir.File("link").c_str()), 0);
  EXPECT_TRUE(CopyFilePath(T(dir.File("link")), T(dir.File("b.txt")), false));
  EXPECT_EQ(ReadBytes(dir.File("b.txt")), "linked");
}

TEST(CopyFilePath, NameWithNulCharacterFails) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "x");
  EXPECT_FALSE(CopyFilePath(T(source), T(dir.File("b")) + u'\0' + u"c", false));
}

TEST(MovePath, RenamesFilesAndDirectories) {
  TTempDir dir;
  dir.Write("a.txt", "x");
  ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
  dir.Write("d/inner", "y");
  EXPECT_TRUE(MovePath(T(dir.File("a.txt")), T(dir.File("b.txt"))));
  EXPECT_TRUE(MovePath(T(dir.File("d")), T(dir.File("e"))));
  EXPECT_FALSE(HasEntry(dir.File("a.txt")));
  EXPECT_EQ(ReadBytes(dir.File("b.txt")), "x");
  EXPECT_EQ(ReadBytes(dir.File("e/inner")), "y");
}

TEST(MovePath, NeverReplacesAnExistingTarget) {
  TTempDir dir;
  dir.Write("a.txt", "new");
  dir.Write("b.txt", "old");
  EXPECT_FALSE(MovePath(T(dir.File("a.txt")), T(dir.File("b.txt"))));
  EXPECT_EQ(ReadBytes(dir.File("a.txt")), "new");
  EXPECT_EQ(ReadBytes(dir.File("b.txt")), "old");
}

TEST(MovePath, MovesALinkItselfNotItsTarget) {
  TTempDir dir;
  dir.Write("a.txt", "x");
  ASSERT_EQ(symlink("a.txt", dir.File("link").c_str()), 0);
  EXPECT_TRUE(MovePath(T(dir.File("link")), T(dir.File("moved"))));
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("moved").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadBytes(dir.File("a.txt")), "x");
}

TEST(MovePath, EmptyNamesFail) {
  TTempDir dir;
  dir.Write("a.txt", "x");
  EXPECT_FALSE(MovePath(u"", T(dir.File("b"))));
  EXPECT_FALSE(MovePath(T(dir.File("a.txt")), u""));
  EXPECT_TRUE(HasEntry(dir.File("a.txt")));
}

TEST(MovePath, CopiesAFileAcrossFileSystemsAndRemovesTheSource) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  if (other.Path().empty())
    GTEST_SKIP() << "no second file system";
  std::string source = dir.Write("a.txt", "travels");
  ASSERT_EQ(chmod(source.c_str(), 0440), 0);
  const std::string target = other.Path() + "/b.txt";
  EXPECT_TRUE(MovePath(T(source), T(target)));
  EXPECT_FALSE(HasEntry(source));
  EXPECT_EQ(ReadBytes(target), "travels");
  EXPECT_EQ(ModeOf(target), 0440u);
  // No temporary name stays behind.
  EXPECT_EQ(system(("test $(ls -A '" + other.Path() + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(MovePath, CopyAndMoveAcrossFileSystemsCarryTheAclAndExtendedAttributes) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  // Owner rw, nobody rw, owning group r, mask rw.
  const std::string acl = AclValue({{1, 6}, {2, 6, 65534}, {4, 4}, {0x10, 6}, {0x20, 4}});
  for (bool move : {false, true}) {
    std::string source = dir.Write(move ? "moved.txt" : "copied.txt", "carried");
    if (!SetExtendedAttribute(source, "user.test", "1") ||
        !SetExtendedAttribute(source, "system.posix_acl_access", acl))
      GTEST_SKIP() << "the temporary directory's file system has no user attributes or ACLs";
    std::map<std::string, std::string> expected = ExtendedAttributes(source);
    mode_t mode = ModeOf(source);
    // A move crosses to the other file system where there is one; a copy stays.
    std::string target = dir.File(move ? "moved-here.txt" : "copy.txt");
    if (move && !other.Path().empty())
      target = other.Path() + "/moved.txt";
    EXPECT_TRUE(move ? MovePath(T(source), T(target)) : CopyFilePath(T(source), T(target), true));
    EXPECT_EQ(ReadBytes(target), "carried");
    EXPECT_EQ(ExtendedAttributes(target), expected) << target;
    EXPECT_EQ(ModeOf(target), mode) << target;
    EXPECT_FALSE(OwningGroupMayWrite(target)) << target;
  }
}

TEST(MovePath, AcrossFileSystemsNeverReplacesAnExistingTarget) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  if (other.Path().empty())
    GTEST_SKIP() << "no second file system";
  std::string source = dir.Write("a.txt", "new");
  const std::string target = other.Path() + "/b.txt";
  ASSERT_EQ(symlink("missing", target.c_str()), 0);
  EXPECT_FALSE(MovePath(T(source), T(target)));
  EXPECT_EQ(ReadBytes(source), "new");
  EXPECT_FALSE(HasEntry(other.Path() + "/missing"));
}

TEST(MovePath, DirectoriesAndLinksDoNotCrossFileSystems) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  if (other.Path().empty())
    GTEST_SKIP() << "no second file system";
  ASSERT_EQ(mkdir(dir.File("d").c_str(), 0755), 0);
  dir.Write("a.txt", "x");
  ASSERT_EQ(symlink("a.txt", dir.File("link").c_str()), 0);
  EXPECT_FALSE(MovePath(T(dir.File("d")), T(other.Path() + "/d")));
  EXPECT_FALSE(MovePath(T(dir.File("link")), T(other.Path() + "/link")));
  EXPECT_TRUE(HasEntry(dir.File("d")));
  EXPECT_TRUE(HasEntry(dir.File("link")));
  EXPECT_FALSE(HasEntry(other.Path() + "/d"));
  EXPECT_FALSE(HasEntry(other.Path() + "/link"));
}

TEST(MovePath, AFailedCopyAcrossFileSystemsKeepsTheSourceAndLeavesNothing) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  if (other.Path().empty())
    GTEST_SKIP() << "no second file system";
  std::string source = dir.Write("a.txt", "stays");
  platform::TFailingFileSystem failing;
  failing.FailMidway = true;
  platform::TFileSystemOverride use(failing);
  EXPECT_FALSE(MovePath(T(source), T(other.Path() + "/b.txt")));
  EXPECT_EQ(ReadBytes(source), "stays");
  EXPECT_EQ(system(("test -z \"$(ls -A '" + other.Path() + "')\"").c_str()), 0);
}

// A directory whose entries cannot be removed: without write permission for anyone
// but root, immutable (where the file system and our privileges allow it) for root.
class TLockedDirectory {
public:
  explicit TLockedDirectory(const std::string &path) : FPath(path) {
    chmod(path.c_str(), 0555);
    if (geteuid() == 0)
      (void)!system(("chattr +i '" + path + "' 2>/dev/null").c_str());
  }
  ~TLockedDirectory() { Unlock(); }
  TLockedDirectory(const TLockedDirectory &) = delete;
  TLockedDirectory &operator=(const TLockedDirectory &) = delete;
  // True when creating (and so removing) an entry there really is refused.
  bool Holds() const {
    std::string probe = FPath + "/probe";
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
      return true;
    close(fd);
    unlink(probe.c_str());
    return false;
  }
  void Unlock() {
    if (geteuid() == 0)
      (void)!system(("chattr -i '" + FPath + "' 2>/dev/null").c_str());
    chmod(FPath.c_str(), 0755);
  }

private:
  std::string FPath;
};

TEST(MovePath, ASourceThatCannotBeRemovedUndoesTheCopy) {
  TTempDir dir;
  TOtherFileSystemDir other(dir.Path());
  if (other.Path().empty())
    GTEST_SKIP() << "no second file system";
  ASSERT_EQ(mkdir(dir.File("locked").c_str(), 0755), 0);
  std::string source = dir.Write("locked/a.txt", "stays");
  TLockedDirectory locked(dir.File("locked"));
  if (!locked.Holds())
    GTEST_SKIP() << "cannot lock a directory here";
  EXPECT_FALSE(MovePath(T(source), T(other.Path() + "/b.txt")));
  locked.Unlock();
  EXPECT_EQ(ReadBytes(source), "stays");
  EXPECT_FALSE(HasEntry(other.Path() + "/b.txt"));
}

} // namespace
