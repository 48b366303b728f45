#include "platform/file_io.h"
#include "platform/file_io_test_double.h"
#include "tests/support/bounded_child.h"
#include "tests/support/process_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::FileSystem;
using platform::TFailingFileSystem;
using platform::TFileSystem;
using platform::TFileSystemOverride;
using platform::TRealFileSystem;

namespace {

constexpr int ChildSkipped = 77;
constexpr uid_t NobodyId = 65534;

struct stat StatOf(const std::string &path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

mode_t ModeOf(const std::string &path) {
  return StatOf(path).st_mode & 07777;
}

// Names in a directory, sorted: a left-over temporary file shows up here.
std::vector<std::string> Entries(const std::string &directory) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Runs `body` in a forked child and returns its exit code (-1 if it did not exit,
// or did not end within the bounded child's limit).
int RunInChild(const std::function<int()> &body) {
  int code = RunInBoundedChild(body);
  return code >= 0 && code < 1000 ? code : -1;
}

// Runs `body` as an ordinary user, so that directory and file permissions bind
// even when the tests run as root.
int RunUnprivileged(const std::function<int()> &body) {
  return RunInChild([&] {
    if (geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(NobodyId) != 0 || setuid(NobodyId) != 0))
      return ChildSkipped;
    return body();
  });
}

std::string AllByteValues(size_t length) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i)
    bytes[i] = char((i * 7 + i / 256) & 0xFF);
  return bytes;
}

} // namespace

TEST(FileIo, ReadWholeFileReturnsExactBytes) {
  TTempDir dir;
  std::string content("line\r\nzero\0byte\xFF", 16);
  std::string path = dir.Write("in.txt", content);
  std::string data = "previous";
  ASSERT_TRUE(TRealFileSystem().ReadWholeFile(path, data));
  EXPECT_EQ(data, content);
}

TEST(FileIo, ReadWholeFileOfEmptyFileGivesEmptyData) {
  TTempDir dir;
  std::string data = "previous";
  ASSERT_TRUE(TRealFileSystem().ReadWholeFile(dir.Write("empty", ""), data));
  EXPECT_EQ(data, "");
}

TEST(FileIo, ReadWholeFileFailsForDirectoryAndMissingFile) {
  TTempDir dir;
  for (const std::string &path : {dir.Path(), dir.File("missing.txt"), std::string()}) {
    std::string data = "unchanged";
    EXPECT_FALSE(TRealFileSystem().ReadWholeFile(path, data)) << path;
    EXPECT_EQ(data, "unchanged") << path;
  }
}

TEST(FileIo, WriteCreatesNewFileWithUmaskMode) {
  TTempDir dir;
  mode_t saved = umask(027);
  bool written = TRealFileSystem().WriteFileAtomic(dir.File("new.txt"), "fresh");
  umask(saved);
  ASSERT_TRUE(written);
  EXPECT_EQ(ReadFileBytes(dir.File("new.txt")), "fresh");
  EXPECT_EQ(ModeOf(dir.File("new.txt")), mode_t(0640));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"new.txt"});
}

TEST(FileIo, ReplaceKeepsModeBitsAndLeavesNoTemporaryFile) {
  TTempDir dir;
  std::string path = dir.Write("out.txt", "old content that is longer");
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  ino_t before = StatOf(path).st_ino;
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(path, "new"));
  EXPECT_EQ(ReadFileBytes(path), "new");
  EXPECT_EQ(ModeOf(path), mode_t(0604));
  EXPECT_NE(StatOf(path).st_ino, before); // replaced by rename, not rewritten in place
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"});
}

TEST(FileIo, EmptyContentWritesEmptyFile) {
  TTempDir dir;
  std::string path = dir.Write("out.txt", "something");
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(path, ""));
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(StatOf(path).st_size, 0);
}

TEST(FileIo, ReadOnlyTargetIsRefusedAndUntouched) {
  TTempDir dir;
  std::string path = dir.Write("locked.txt", "keep me");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  errno = 0;
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic(path, "overwritten"));
  EXPECT_EQ(errno, EACCES);
  EXPECT_EQ(ReadFileBytes(path), "keep me");
  EXPECT_EQ(ModeOf(path), mode_t(0444));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"locked.txt"});
}

TEST(FileIo, SymbolicLinkChainRewritesFinalFileAndKeepsLinks) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("data").c_str(), 0755), 0);
  std::string file = dir.Write("data/real.txt", "old");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  ino_t before = StatOf(file).st_ino;
  // first -> data/second -> real.txt (relative to data/)
  ASSERT_EQ(symlink("real.txt", dir.File("data/second").c_str()), 0);
  ASSERT_EQ(symlink("data/second", dir.File("first").c_str()), 0);

  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(dir.File("first"), "via link"));
  EXPECT_EQ(ReadFileBytes(file), "via link");
  EXPECT_EQ(ModeOf(file), mode_t(0640));
  EXPECT_NE(StatOf(file).st_ino, before); // the pointed-to file was replaced as a whole
  EXPECT_TRUE(S_ISLNK(StatOf(dir.File("first")).st_mode));
  EXPECT_TRUE(S_ISLNK(StatOf(dir.File("data/second")).st_mode));
  EXPECT_EQ(std::filesystem::read_symlink(dir.File("first")).string(), "data/second");
  EXPECT_EQ(Entries(dir.File("data")), (std::vector<std::string>{"real.txt", "second"}));
}

TEST(FileIo, DanglingLinkCreatesTheFileItNames) {
  TTempDir dir;
  ASSERT_EQ(symlink("target.txt", dir.File("link").c_str()), 0);
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(dir.File("link"), "made"));
  EXPECT_EQ(ReadFileBytes(dir.File("target.txt")), "made");
  EXPECT_TRUE(S_ISLNK(StatOf(dir.File("link")).st_mode));
}

TEST(FileIo, LinkLoopFails) {
  TTempDir dir;
  ASSERT_EQ(symlink("b", dir.File("a").c_str()), 0);
  ASSERT_EQ(symlink("a", dir.File("b").c_str()), 0);
  errno = 0;
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic(dir.File("a"), "x"));
  EXPECT_EQ(errno, ELOOP);
}

TEST(FileIo, NullDeviceIsWrittenDirectly) {
  // As an ordinary user, so that a faulty replacement could never take /dev/null away.
  int code =
      RunUnprivileged([] { return TRealFileSystem().WriteFileAtomic("/dev/null", "x") ? 0 : 1; });
  ASSERT_NE(code, ChildSkipped);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(S_ISCHR(StatOf("/dev/null").st_mode));
}

TEST(FileIo, DeviceNodeIsWrittenDirectlyAndStaysDevice) {
  TTempDir dir;
  std::string device = dir.File("null");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device node here";
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(device, "discarded"));
  struct stat info = StatOf(device);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
  EXPECT_EQ(info.st_rdev, makedev(1, 3));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"null"});
}

TEST(FileIo, FifoIsWrittenDirectlyAndStaysFifo) {
  TTempDir dir;
  std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // In a child: a write that went elsewhere would leave the reader waiting for ever.
  int code = RunInChild([&] {
    std::string received;
    std::thread reader([&] { received = ReadFileBytes(fifo); });
    bool written = TRealFileSystem().WriteFileAtomic(fifo, "through the pipe");
    reader.join();
    return !written ? 1 : received != "through the pipe" ? 2 : 0;
  });
  EXPECT_EQ(code, 0) << "1: not written, 2: not received, -1: blocked";
  EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"pipe"});
}

TEST(FileIo, DirectoryTargetFails) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  errno = 0;
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic(dir.File("sub"), "x"));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub")));
}

TEST(FileIo, MissingDirectoryOrEmptyNameFails) {
  TTempDir dir;
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic(dir.File("no/such/file.txt"), "x"));
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic("", "x"));
  EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST(FileIo, FullDiskMidwayKeepsOldContentAndRemovesTemporaryFile) {
  TTempDir dir;
  std::string path = dir.Write("big.txt", "old content");
  ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
  // A file size limit makes the kernel cut the write short, as a full disk would.
  int code = RunInChild([&] {
    rlimit limit{4096, 4096};
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
      return ChildSkipped;
    return TRealFileSystem().WriteFileAtomic(path, std::string(100000, 'n')) ? 1 : 0;
  });
  ASSERT_NE(code, ChildSkipped);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFileBytes(path), "old content");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"big.txt"});
}

TEST(FileIo, FailureMidwayFromDoubleKeepsOldContent) {
  TTempDir dir;
  std::string path = dir.Write("out.txt", "old content");
  TFailingFileSystem fs;
  fs.FailMidway = true;
  errno = 0;
  EXPECT_FALSE(fs.WriteFileAtomic(path, "new content that never fully arrives"));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(ReadFileBytes(path), "old content");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.txt"});
}

TEST(FileIo, UnwritableDirectoryFailsAndChangesNothing) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("ro").c_str(), 0777), 0);
  std::string path = dir.Write("ro/out.txt", "old");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir.File("ro").c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  int code = RunUnprivileged([&] {
    bool replaced = TRealFileSystem().WriteFileAtomic(path, "new");
    bool created = TRealFileSystem().WriteFileAtomic(dir.File("ro/other.txt"), "new");
    return replaced || created ? 1 : 0;
  });
  ASSERT_NE(code, ChildSkipped);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(Entries(dir.File("ro")), std::vector<std::string>{"out.txt"});
}

TEST(FileIo, FileWithoutWriteAccessIsNotReplacedThroughWritableDirectory) {
  if (geteuid() != 0)
    GTEST_SKIP() << "needs a file owned by another user";
  TTempDir dir;
  std::string path = dir.Write("theirs.txt", "owner's text");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
  int code = RunUnprivileged([&] { return TRealFileSystem().WriteFileAtomic(path, "x") ? 1 : 0; });
  ASSERT_NE(code, ChildSkipped);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFileBytes(path), "owner's text");
  EXPECT_EQ(StatOf(path).st_uid, uid_t(0));
}

TEST(FileIo, ReplaceCarriesOwnerWherePermitted) {
  if (geteuid() != 0)
    GTEST_SKIP() << "only root may give a file away";
  TTempDir dir;
  std::string path = dir.Write("owned.txt", "old");
  ASSERT_EQ(chown(path.c_str(), NobodyId, NobodyId), 0);
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(path, "new"));
  struct stat info = StatOf(path);
  EXPECT_EQ(info.st_uid, NobodyId);
  EXPECT_EQ(info.st_gid, NobodyId);
  EXPECT_EQ(info.st_mode & 07777, mode_t(0640));
}

TEST(FileIo, RefusedRenameWritesIntoTargetDirectly) {
  TTempDir dir;
  std::string path = dir.Write("mounted.txt", "old content, longer than the new");
  ino_t before = StatOf(path).st_ino;
  TFailingFileSystem fs;
  fs.RenameBusy = true;
  ASSERT_TRUE(fs.WriteFileAtomic(path, "new"));
  EXPECT_EQ(ReadFileBytes(path), "new");
  EXPECT_EQ(StatOf(path).st_ino, before);
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"mounted.txt"});
}

TEST(FileIo, RefusedRenameRewritesInPlaceOnlyOnceTheSpaceIsReserved) {
  const std::string old = "old content, 28 bytes long.";
  const std::string longer = "new content, longer than the old one";
  struct {
    std::string name, content;
    int reserveError;
    bool written;
  } cases[] = {
      {"shorter needs no reservation", "new", ENOSPC, true},
      {"longer with space", longer, 0, true},
      {"longer on a full disk", longer, ENOSPC, false},
      {"longer without fallocate", longer, EOPNOTSUPP, false},
  };
  for (const auto &c : cases) {
    TTempDir dir;
    std::string path = dir.Write("mounted.txt", old);
    ino_t before = StatOf(path).st_ino;
    TFailingFileSystem fs;
    fs.RenameBusy = true;
    fs.ReserveError = c.reserveError;
    errno = 0;
    EXPECT_EQ(fs.WriteFileAtomic(path, c.content), c.written) << c.name;
    if (!c.written) {
      EXPECT_EQ(errno, c.reserveError) << c.name;
    }
    EXPECT_EQ(ReadFileBytes(path), c.written ? c.content : old) << c.name;
    EXPECT_EQ(StatOf(path).st_ino, before) << c.name;
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"mounted.txt"}) << c.name;
  }
}

TEST(FileIo, BindMountedTargetOnAFullDiskStaysAsItWas) {
  TTempDir dir;
  std::string small = dir.File("small");
  ASSERT_EQ(mkdir(small.c_str(), 0755), 0);
  std::string target = dir.Write("target.txt", "target");
  int code = RunInChild([&] {
    // A file system of 64 KiB holds the mounted file; the new text does not fit.
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
      return ChildSkipped;
    std::string source = small + "/source.txt";
    if (!TRealFileSystem().WriteFileAtomic(source, "old text") ||
        mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
      return ChildSkipped;
    if (TRealFileSystem().WriteFileAtomic(target, std::string(1 << 20, 'n')))
      return 1;
    if (errno != ENOSPC)
      return 2;
    return ReadFileBytes(target) == "old text" ? 0 : 3;
  });
  if (code == ChildSkipped)
    GTEST_SKIP() << "mounts not permitted here";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"small", "target.txt"}));
}

TEST(FileIo, NamesOfOwnDescriptorsAreWrittenThroughTheDescriptor) {
  TTempDir dir;
  std::string log = dir.Write("log", "old line\n");
  int fd = open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::string number = std::to_string(fd);
  ASSERT_EQ(symlink(("/proc/self/fd/" + number).c_str(), dir.File("link").c_str()), 0);
  ASSERT_EQ(symlink("link", dir.File("chain").c_str()), 0);
  std::string expected = "old line\n";
  for (const std::string &name :
       {"/dev/fd/" + number, "/proc/self/fd/" + number,
        "/proc/" + std::to_string(getpid()) + "/fd/" + number, "/proc/thread-self/fd/" + number,
        dir.File("link"), dir.File("chain")}) {
    EXPECT_FALSE(platform::IsReplaceableFile(name)) << name;
    EXPECT_TRUE(TRealFileSystem().WriteFileAtomic(name, "appended\n")) << name;
    expected += "appended\n";
  }
  close(fd);
  EXPECT_EQ(ReadFileBytes(log), expected); // appended to, never replaced
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"chain", "link", "log"}));

  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  std::string writeEnd = "/dev/fd/" + std::to_string(pipeEnds[1]);
  EXPECT_TRUE(TRealFileSystem().WriteFileAtomic(writeEnd, "through the pipe"));
  close(pipeEnds[1]);
  char buffer[64];
  ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
  close(pipeEnds[0]);
  EXPECT_EQ(std::string(buffer, size_t(std::max<ssize_t>(n, 0))), "through the pipe");
  // A descriptor that is not open is an error, not a name to create.
  errno = 0;
  EXPECT_FALSE(TRealFileSystem().WriteFileAtomic(writeEnd, "x"));
  EXPECT_EQ(errno, EBADF);
}

TEST(FileIo, BackupReplacesALinkAtItsNameInsteadOfWritingThroughIt) {
  struct {
    std::string name, link;
  } cases[] = {
      {"link to a file", "victim.txt"},
      {"link chain", "second"},
      {"dangling link", "absent.txt"},
  };
  for (const auto &c : cases) {
    TTempDir dir;
    std::string source = dir.Write("a.txt", "original");
    ASSERT_EQ(chmod(source.c_str(), 0640), 0);
    std::string victim = dir.Write("victim.txt", "victim text");
    ASSERT_EQ(symlink("victim.txt", dir.File("second").c_str()), 0);
    std::string backup = dir.File("a.pwl_backup");
    ASSERT_EQ(symlink(c.link.c_str(), backup.c_str()), 0);
    ASSERT_TRUE(TRealFileSystem().CopyToBackup(source, backup)) << c.name;
    EXPECT_EQ(ReadFileBytes(victim), "victim text") << c.name;
    EXPECT_TRUE(S_ISREG(StatOf(backup).st_mode)) << c.name;
    EXPECT_EQ(ReadFileBytes(backup), "original") << c.name;
    EXPECT_EQ(ModeOf(backup), mode_t(0640)) << c.name;
    EXPECT_EQ(Entries(dir.Path()),
              (std::vector<std::string>{"a.pwl_backup", "a.txt", "second", "victim.txt"}))
        << c.name;
  }
}

TEST(FileIo, BackupIsMadeOfRegularFilesOnly) {
  TTempDir dir;
  std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  dir.Write("file.txt", "text");
  ASSERT_EQ(symlink("file.txt", dir.File("link").c_str()), 0);
  ASSERT_EQ(symlink("/dev/stdout", dir.File("out").c_str()), 0);
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  struct {
    std::string path;
    bool replaceable;
  } cases[] = {
      {dir.File("file.txt"), true}, {dir.File("link"), true},     {fifo, false},
      {"/dev/null", false},         {dir.File("missing"), false}, {dir.File("sub"), false},
      {"/dev/stdout", false},       {dir.File("out"), false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(platform::IsReplaceableFile(c.path), c.replaceable) << c.path;
  // Anything else fails at once: a FIFO without a writer would block a plain read.
  int code = RunInChild([&] {
    alarm(30);
    bool fromFifo = TRealFileSystem().CopyToBackup(fifo, dir.File("pipe.pwl_backup"));
    bool fromDevice = TRealFileSystem().CopyToBackup("/dev/null", dir.File("null.pwl_backup"));
    return fromFifo || fromDevice ? 1 : 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Entries(dir.Path()),
            (std::vector<std::string>{"file.txt", "link", "out", "pipe", "sub"}));
}

TEST(FileIo, BindMountedTargetIsWrittenThrough) {
  TTempDir dir;
  std::string source = dir.Write("source.txt", "source");
  std::string target = dir.Write("target.txt", "target");
  int code = RunInChild([&] {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
      return ChildSkipped;
    if (!TRealFileSystem().WriteFileAtomic(target, "through the mount"))
      return 1;
    return ReadFileBytes(target) == "through the mount" ? 0 : 2;
  });
  if (code == ChildSkipped)
    GTEST_SKIP() << "bind mounts not permitted here";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFileBytes(source), "through the mount");
  EXPECT_EQ(ReadFileBytes(target), "target");
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"source.txt", "target.txt"}));
}

TEST(FileIo, LargeContentWithAllByteValuesRoundTrips) {
  TTempDir dir;
  std::string content = AllByteValues(20 * 1024 * 1024 + 3);
  ASSERT_TRUE(TRealFileSystem().WriteFileAtomic(dir.File("large.bin"), content));
  std::string data;
  ASSERT_TRUE(TRealFileSystem().ReadWholeFile(dir.File("large.bin"), data));
  EXPECT_TRUE(data == content);
  EXPECT_EQ(data.size(), content.size());
}

TEST(FileIo, CopyReplacesOlderBackupAndCarriesSourceMode) {
  TTempDir dir;
  std::string source = dir.Write("report.txt", std::string("new\0text", 8));
  std::string backup = dir.Write("report.pwl_backup", "older backup");
  ASSERT_EQ(chmod(source.c_str(), 0640), 0);
  ASSERT_EQ(chmod(backup.c_str(), 0666), 0);
  ASSERT_TRUE(TRealFileSystem().CopyFileReplacing(source, backup));
  EXPECT_EQ(ReadFileBytes(backup), std::string("new\0text", 8));
  EXPECT_EQ(ModeOf(backup), mode_t(0640));
  EXPECT_EQ(ReadFileBytes(source), std::string("new\0text", 8));
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"report.pwl_backup", "report.txt"}));
}

TEST(FileIo, CopyToNewTargetCarriesModeRegardlessOfUmask) {
  TTempDir dir;
  std::string source = dir.Write("tool.sh", "#!/bin/sh\n");
  ASSERT_EQ(chmod(source.c_str(), 0754), 0);
  mode_t saved = umask(077);
  bool copied = TRealFileSystem().CopyFileReplacing(source, dir.File("tool.copy"));
  umask(saved);
  ASSERT_TRUE(copied);
  EXPECT_EQ(ReadFileBytes(dir.File("tool.copy")), "#!/bin/sh\n");
  EXPECT_EQ(ModeOf(dir.File("tool.copy")), mode_t(0754));
}

TEST(FileIo, CopyRefusesReadOnlyTarget) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", "new");
  std::string target = dir.Write("a.pwl_backup", "old");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  EXPECT_FALSE(TRealFileSystem().CopyFileReplacing(source, target));
  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a.pwl_backup", "a.txt"}));
}

TEST(FileIo, CopyFromMissingOrDirectorySourceFailsAndKeepsTarget) {
  TTempDir dir;
  std::string target = dir.Write("t.txt", "old");
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  for (const std::string &source : {dir.File("missing"), dir.File("sub")}) {
    EXPECT_FALSE(TRealFileSystem().CopyFileReplacing(source, target)) << source;
    EXPECT_EQ(ReadFileBytes(target), "old") << source;
  }
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"sub", "t.txt"}));
}

TEST(FileIo, CopyFailingMidwayKeepsOldBackup) {
  TTempDir dir;
  std::string source = dir.Write("a.txt", std::string(10000, 'n'));
  std::string target = dir.Write("a.pwl_backup", "old backup");
  TFailingFileSystem fs;
  fs.FailMidway = true;
  EXPECT_FALSE(fs.CopyFileReplacing(source, target));
  EXPECT_EQ(ReadFileBytes(target), "old backup");
  EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"a.pwl_backup", "a.txt"}));
}

TEST(FileIo, CopyOntoItselfKeepsContent) {
  TTempDir dir;
  std::string path = dir.Write("same.txt", "content");
  ASSERT_TRUE(TRealFileSystem().CopyFileReplacing(path, path));
  EXPECT_EQ(ReadFileBytes(path), "content");
}

TEST(FileIo, FailingDoubleRecordsRequestsAndTouchesNothing) {
  TTempDir dir;
  std::string path = dir.Write("f.txt", "old");
  TFailingFileSystem fs;
  fs.FailRead = fs.FailWrite = fs.FailCopy = true;
  std::string data = "unchanged";
  EXPECT_FALSE(fs.ReadWholeFile(path, data));
  EXPECT_FALSE(fs.WriteFileAtomic(path, "new"));
  EXPECT_FALSE(fs.CopyFileReplacing(path, dir.File("copy")));
  EXPECT_EQ(data, "unchanged");
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(fs.ReadPaths, std::vector<std::string>{path});
  EXPECT_EQ(fs.WrittenPaths, std::vector<std::string>{path});
  ASSERT_EQ(fs.Copies.size(), 1u);
  EXPECT_EQ(fs.Copies[0].second, dir.File("copy"));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"f.txt"});
}

TEST(FileIo, OverrideReplacesFileSystemForItsLifetime) {
  TFileSystem *real = &FileSystem();
  TFailingFileSystem outer, inner;
  {
    TFileSystemOverride first(outer);
    EXPECT_EQ(&FileSystem(), &outer);
    {
      TFileSystemOverride second(inner);
      EXPECT_EQ(&FileSystem(), &inner);
    }
    EXPECT_EQ(&FileSystem(), &outer);
  }
  EXPECT_EQ(&FileSystem(), real);
  EXPECT_NE(dynamic_cast<TRealFileSystem *>(real), nullptr);
}
