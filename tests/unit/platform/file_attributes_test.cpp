// A rewrite or copy carries the extended attributes and the ACL of the file it
// stands in for, and never ends with wider access because one could not be carried.
#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "tests/support/extended_attributes.h"
#include "tests/support/process_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::TRealFileSystem;

namespace {

constexpr int ChildSkipped = 77;
constexpr uint32_t NobodyId = 65534;
const std::string AccessAcl = "system.posix_acl_access";
const std::string DefaultAcl = "system.posix_acl_default";

// Owner rw, nobody rw, owning group r; the mask (rw) is wider than the group.
const std::string NamedUserAcl = AclValue({{1, 6}, {2, 6, NobodyId}, {4, 4}, {0x10, 6}, {0x20, 4}});

mode_t ModeOf(const std::string &path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

std::vector<std::string> Entries(const std::string &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Gives a file the named-user ACL and a user attribute; false where the file system
// has neither.
bool Decorate(const std::string &path, bool withAcl) {
  return SetExtendedAttribute(path, "user.test", "1") &&
         (!withAcl || SetExtendedAttribute(path, AccessAcl, NamedUserAcl));
}

} // namespace

TEST(FileAttributes, RewriteAndCopyCarryTheAttributesOfTheFileTheyStandFor) {
  enum TOperation { Rewrite, CopyToNew, CopyOverDecorated };
  struct {
    const char *name;
    TOperation operation;
    bool sourceAcl;
    bool directoryDefaultAcl; // the new file would inherit an ACL of its own
  } cases[] = {
      {"rewrite", Rewrite, true, false},
      {"copy to a new name", CopyToNew, true, false},
      {"copy over a file with other attributes", CopyOverDecorated, false, false},
      {"rewrite below a default ACL", Rewrite, false, true},
      {"copy below a default ACL", CopyToNew, false, true},
  };
  for (const auto &c : cases) {
    TTempDir dir;
    std::string source = dir.Write("source.txt", "content");
    ASSERT_EQ(chmod(source.c_str(), 0640), 0);
    if (!Decorate(source, c.sourceAcl))
      GTEST_SKIP() << "the temporary directory's file system has no user attributes or ACLs";
    if (c.directoryDefaultAcl) {
      ASSERT_TRUE(SetExtendedAttribute(dir.Path(), DefaultAcl, NamedUserAcl));
    }
    std::map<std::string, std::string> expected = ExtendedAttributes(source);
    mode_t expectedMode = ModeOf(source);

    std::string result = c.operation == Rewrite ? source : dir.File("target.txt");
    bool done = false;
    if (c.operation == Rewrite) {
      done = TRealFileSystem().WriteFileAtomic(source, "rewritten");
    } else {
      if (c.operation == CopyOverDecorated) {
        dir.Write("target.txt", "old");
        ASSERT_TRUE(SetExtendedAttribute(result, "user.other", "2"));
        ASSERT_TRUE(SetExtendedAttribute(result, AccessAcl, NamedUserAcl));
      }
      done = TRealFileSystem().CopyFileReplacing(source, result);
    }
    ASSERT_TRUE(done) << c.name;
    EXPECT_EQ(ExtendedAttributes(result), expected) << c.name;
    EXPECT_EQ(ModeOf(result), expectedMode) << c.name;
    EXPECT_FALSE(OwningGroupMayWrite(result)) << c.name;
  }
}

TEST(FileAttributes, AclTheTargetFileSystemCannotCarryFailsTheCopy) {
  // ramfs keeps neither ACLs nor user attributes: a user attribute is left out, an
  // ACL fails the copy, which then leaves the target as it was and nothing beside it.
  for (bool withAcl : {true, false}) {
    TTempDir dir;
    std::string source = dir.Write("source.txt", "content");
    if (!Decorate(source, withAcl))
      GTEST_SKIP() << "the temporary directory's file system has no user attributes or ACLs";
    std::string ram = dir.File("ram");
    ASSERT_EQ(mkdir(ram.c_str(), 0755), 0);
    pid_t pid = fork();
    if (pid == 0) {
      if (unshare(CLONE_NEWNS) != 0 ||
          mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
          mount("none", ram.c_str(), "ramfs", 0, nullptr) != 0)
        _exit(ChildSkipped);
      std::string target = ram + "/target.txt";
      std::string old;
      if (!TRealFileSystem().WriteFileAtomic(target, "old"))
        _exit(10);
      bool copied = TRealFileSystem().CopyFileReplacing(source, target);
      TRealFileSystem().ReadWholeFile(target, old);
      if (copied != !withAcl)
        _exit(11);
      if (old != (withAcl ? "old" : "content"))
        _exit(12);
      _exit(Entries(ram) == std::vector<std::string>{"target.txt"} ? 0 : 13);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == ChildSkipped)
      GTEST_SKIP() << "mounting a ramfs is not permitted here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "with ACL: " << withAcl;
  }
}
