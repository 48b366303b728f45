// File-system helpers on real temporary trees.
#include "core/files/file_helpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "core/paths/path_expand.h"
#include "platform/code_page.h"
#include "platform/file_status.h"
#include "tests/support/bounded_child.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory tree per test, removed afterwards (permissions restored first).
class FileHelpers : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device random;
    FRoot = fs::temp_directory_path() / ("redevuvo_fs_" + std::to_string(random()));
    fs::create_directories(FRoot);
  }

  void TearDown() override {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(FRoot, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
      if (!it->is_symlink(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(FRoot, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(FRoot, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
      if (!it->is_symlink(ignored) && it->is_directory(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(FRoot, ignored);
  }

  fs::path Native(const std::string &relative) const { return FRoot / relative; }
  TText Path(const std::string &relative) const {
    return BytesToText(relative.empty() ? FRoot.string() : (FRoot / relative).string());
  }

  void WriteFile(const std::string &relative, const std::string &content = "hello") const {
    std::ofstream(Native(relative), std::ios::binary) << content;
  }

  void MakeReadOnly(const std::string &relative) const {
    fs::permissions(Native(relative),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }

  // An ordinary tree: a file, a dot-file, a directory, a hidden directory, links.
  void BuildTree() const {
    WriteFile("file.txt");
    WriteFile(".hidden");
    fs::create_directory(Native("dir"));
    fs::create_directory(Native(".hiddendir"));
    fs::create_symlink(Native("file.txt"), Native("link_to_file"));
    fs::create_symlink(Native("dir"), Native("link_to_dir"));
    fs::create_symlink(Native("missing"), Native("dangling"));
    fs::create_symlink(Native("loop_b"), Native("loop_a"));
    fs::create_symlink(Native("loop_a"), Native("loop_b"));
  }

  fs::path FRoot;
};

struct TExistenceCase {
  std::string name;
  bool isFile, isDirectory, isDirectoryPath, exists, isLink;
  std::uint32_t attributes;
};

TEST_F(FileHelpers, ExistenceTestsFollowLinksAndAttributesDescribeTheName) {
  BuildTree();
  const TExistenceCase cases[] = {
      {"file.txt", true, false, false, true, false, 0},
      {".hidden", true, false, false, true, false, FileAttributeHidden},
      {"dir", false, true, true, true, false, FileAttributeDirectory},
      {"dir/", false, true, true, true, false, FileAttributeDirectory},
      {".hiddendir", false, true, true, true, false, FileAttributeDirectory | FileAttributeHidden},
      {".hiddendir/", false, true, true, true, false, FileAttributeDirectory | FileAttributeHidden},
      {"link_to_file", true, false, false, true, true, FileAttributeLink},
      {"link_to_dir", false, true, true, true, true, FileAttributeLink | FileAttributeDirectory},
      {"dangling", false, false, false, false, true, FileAttributeLink},
      {"loop_a", false, false, false, false, true, FileAttributeLink},
      {"missing", false, false, false, false, false, InvalidFileAttributes},
      {"file.txt/x", false, false, false, false, false, InvalidFileAttributes},
      {"dir/.", false, true, true, true, false, FileAttributeDirectory},
      {"dir/..", false, true, true, true, false, FileAttributeDirectory},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TText path = Path(c.name);
    EXPECT_EQ(IsExistingFile(path), c.isFile);
    EXPECT_EQ(IsExistingDirectory(path), c.isDirectory);
    EXPECT_EQ(IsDirectoryPath(path), c.isDirectoryPath);
    EXPECT_EQ(PathExists(path), c.exists);
    EXPECT_EQ(IsLinkPath(path), c.isLink);
    EXPECT_EQ(FileAttributesByName(path), c.attributes);
  }
}

TEST_F(FileHelpers, UnusableNamesAreNeitherFileNorDirectory) {
  WriteFile("a");
  TText withNul = Path("a") + TText(1, u'\0') + u"b";
  for (const TText &path : {TText(), withNul}) {
    EXPECT_FALSE(IsExistingFile(path));
    EXPECT_FALSE(IsExistingDirectory(path));
    EXPECT_FALSE(IsDirectoryPath(path));
    EXPECT_FALSE(PathExists(path));
    EXPECT_FALSE(IsLinkPath(path));
    EXPECT_EQ(FileAttributesByName(path), InvalidFileAttributes);
    EXPECT_TRUE(IsReadOnlyFile(path));
    EXPECT_EQ(FileSizeByName(path), -1);
  }
  EXPECT_FALSE(NativeFileName(withNul).has_value());
  EXPECT_EQ(NativeFileName(u"/tmp/\u00e4"), std::optional<TBytes>("/tmp/\xC3\xA4"));
  EXPECT_EQ(HostFileName("/tmp/\xC3\xA4"), u"/tmp/\u00e4");
}

TEST_F(FileHelpers, ReadOnlyAttributeMeansNoWriteBitAtAll) {
  WriteFile("ro");
  MakeReadOnly("ro");
  WriteFile("owner_only");
  fs::permissions(Native("owner_only"), fs::perms::owner_write | fs::perms::owner_read,
                  fs::perm_options::replace);
  fs::create_directory(Native("rodir"));
  MakeReadOnly("rodir");
  EXPECT_EQ(FileAttributesByName(Path("ro")), FileAttributeReadOnly);
  EXPECT_EQ(FileAttributesByName(Path("owner_only")), 0u);
  EXPECT_EQ(FileAttributesByName(Path("rodir")), FileAttributeDirectory | FileAttributeReadOnly);
  fs::create_symlink(Native("ro"), Native("link_to_ro"));
  EXPECT_EQ(FileAttributesByName(Path("link_to_ro")), FileAttributeLink | FileAttributeReadOnly);
}

TEST_F(FileHelpers, ReadOnlyFileTest) {
  WriteFile("rw");
  WriteFile("ro");
  MakeReadOnly("ro");
  fs::create_directory(Native("dir"));
  fs::create_symlink(Native("ro"), Native("link_to_ro"));
  EXPECT_FALSE(IsReadOnlyFile(Path("rw")));
  EXPECT_FALSE(IsReadOnlyFile(Path("rw"), true));
  // Holds for root as well, who could open the file for writing.
  EXPECT_TRUE(IsReadOnlyFile(Path("ro")));
  EXPECT_TRUE(IsReadOnlyFile(Path("ro"), true));
  EXPECT_TRUE(IsReadOnlyFile(Path("link_to_ro")));
  EXPECT_TRUE(IsReadOnlyFile(Path("missing")));
  EXPECT_TRUE(IsReadOnlyFile(Path("dir")));
  // The test neither creates nor truncates.
  EXPECT_FALSE(fs::exists(Native("missing")));
  EXPECT_EQ(fs::file_size(Native("rw")), 5u);
}

TEST_F(FileHelpers, ReadOnlyFileTestDoesNotBlockOnAFifo) {
  ASSERT_EQ(mkfifo(Native("fifo").c_str(), 0666), 0);
  // No reader: cannot be written now. The child's exit code is the test's result.
  int readOnly = RunInBoundedChild([&] { return int(IsReadOnlyFile(Path("fifo"))); });
  EXPECT_EQ(readOnly, 1) << (readOnly == ChildTimedOut ? "the test blocked" : "");
}

TEST_F(FileHelpers, ReadOnlyDirectoryTestProbesAndCleansUp) {
  fs::create_directory(Native("rw"));
  fs::create_directory(Native("ro"));
  MakeReadOnly("ro");
  EXPECT_FALSE(IsReadOnlyDirectory(Path("rw")));
  EXPECT_TRUE(fs::is_empty(Native("rw"))); // the probe file is gone again
  EXPECT_FALSE(IsReadOnlyDirectory(Path("rw") + u"/"));
  EXPECT_TRUE(IsReadOnlyDirectory(Path("ro"))); // also for root
  EXPECT_TRUE(IsReadOnlyDirectory(Path("missing")));
  WriteFile("file");
  EXPECT_TRUE(IsReadOnlyDirectory(Path("file")));
}

TEST_F(FileHelpers, ReadOnlyDirectoryProbeSkipsTakenNames) {
  fs::create_directory(Native("d"));
  WriteFile("d/ROtmp0.tmp");
  fs::create_directory(Native("d/ROtmp1.tmp"));
  EXPECT_FALSE(IsReadOnlyDirectory(Path("d")));
  EXPECT_EQ(fs::file_size(Native("d/ROtmp0.tmp")), 5u);
  EXPECT_TRUE(fs::is_directory(Native("d/ROtmp1.tmp")));
  EXPECT_FALSE(fs::exists(Native("d/ROtmp2.tmp")));
}

TEST_F(FileHelpers, UniqueFileNameTakesFirstFreeNumber) {
  EXPECT_EQ(UniqueFileName(Path(""), u"ROtmp%d.tmp"), u"ROtmp0.tmp");
  WriteFile("ROtmp0.tmp");
  EXPECT_EQ(UniqueFileName(Path(""), u"ROtmp%d.tmp"), u"ROtmp1.tmp");
  EXPECT_EQ(UniqueFileName(Path("") + u"/", u"ROtmp%d.tmp"), u"ROtmp1.tmp");
  // Any entry takes a name: a directory, a dangling link.
  fs::create_directory(Native("ROtmp1.tmp"));
  fs::create_symlink(Native("nowhere"), Native("ROtmp2.tmp"));
  EXPECT_EQ(UniqueFileName(Path(""), u"ROtmp%d.tmp"), u"ROtmp3.tmp");
  // Without a placeholder the pattern is the only candidate.
  EXPECT_EQ(UniqueFileName(Path(""), u"fixed.tmp"), u"fixed.tmp");
  WriteFile("fixed.tmp");
  EXPECT_EQ(UniqueFileName(Path(""), u"fixed.tmp"), u"");
}

TEST_F(FileHelpers, FileSizeOfFilesOnly) {
  BuildTree();
  WriteFile("empty", "");
  EXPECT_EQ(FileSizeByName(Path("file.txt")), 5);
  EXPECT_EQ(FileSizeByName(Path("empty")), 0);
  EXPECT_EQ(FileSizeByName(Path("link_to_file")), 5);
  EXPECT_EQ(FileSizeByName(Path("dir")), -1);
  EXPECT_EQ(FileSizeByName(Path("link_to_dir")), -1);
  EXPECT_EQ(FileSizeByName(Path("dangling")), -1);
  EXPECT_EQ(FileSizeByName(Path("missing")), -1);
}

TEST_F(FileHelpers, DirectoryEmptyCountsHiddenEntries) {
  fs::create_directory(Native("empty"));
  fs::create_directory(Native("hidden_only"));
  WriteFile("hidden_only/.x");
  fs::create_directory(Native("dir_only"));
  fs::create_directory(Native("dir_only/sub"));
  fs::create_directory(Native("link_only"));
  fs::create_symlink(Native("nowhere"), Native("link_only/l"));
  fs::create_symlink(Native("empty"), Native("link_to_empty"));
  WriteFile("file");
  EXPECT_TRUE(IsDirectoryEmpty(Path("empty")));
  EXPECT_TRUE(IsDirectoryEmpty(Path("link_to_empty")));
  EXPECT_FALSE(IsDirectoryEmpty(Path("hidden_only")));
  EXPECT_FALSE(IsDirectoryEmpty(Path("dir_only")));
  EXPECT_FALSE(IsDirectoryEmpty(Path("link_only")));
  EXPECT_FALSE(IsDirectoryEmpty(Path("file")));
  EXPECT_FALSE(IsDirectoryEmpty(Path("missing")));
}

TEST_F(FileHelpers, UnreadableDirectoryStillExistsAndIsNotReportedEmpty) {
  fs::create_directory(Native("locked"));
  WriteFile("locked/f");
  fs::permissions(Native("locked"), fs::perms::none, fs::perm_options::replace);
  EXPECT_TRUE(IsExistingDirectory(Path("locked")));
  EXPECT_TRUE(IsDirectoryPath(Path("locked")));
  EXPECT_EQ(FileAttributesByName(Path("locked")), FileAttributeDirectory | FileAttributeReadOnly);
  EXPECT_FALSE(IsDirectoryEmpty(Path("locked")));
  EXPECT_TRUE(IsReadOnlyDirectory(Path("locked")));
  // Its content is visible only to whom the system lets search it (root does).
  bool searchable = access(Native("locked").c_str(), X_OK) == 0;
  EXPECT_EQ(IsExistingFile(Path("locked/f")), searchable);
}

TEST_F(FileHelpers, CreateDirectoryPathCreatesMissingParentsFirst) {
  EXPECT_TRUE(CreateDirectoryPath(Path("x/y")));
  EXPECT_TRUE(fs::is_directory(Native("x")));
  EXPECT_TRUE(fs::is_directory(Native("x/y")));
  EXPECT_TRUE(CreateDirectoryPath(Path("a/b/c/")));
  EXPECT_TRUE(fs::is_directory(Native("a/b/c")));
  EXPECT_TRUE(CreateDirectoryPath(Path("p//q")));
  EXPECT_TRUE(fs::is_directory(Native("p/q")));
  EXPECT_TRUE(CreateDirectoryPath(Path("a/b/../d")));
  EXPECT_TRUE(fs::is_directory(Native("a/d")));
}

TEST_F(FileHelpers, CreateDirectoryPathOfExistingDirectorySucceedsWithoutChange) {
  fs::create_directory(Native("d"));
  WriteFile("d/keep");
  EXPECT_TRUE(CreateDirectoryPath(Path("d")));
  EXPECT_TRUE(CreateDirectoryPath(Path("d/")));
  EXPECT_TRUE(fs::exists(Native("d/keep")));
  EXPECT_TRUE(CreateDirectoryPath(u"/"));
  fs::create_symlink(Native("d"), Native("link_to_d"));
  EXPECT_TRUE(CreateDirectoryPath(Path("link_to_d")));
  EXPECT_TRUE(fs::is_symlink(Native("link_to_d")));
}

TEST_F(FileHelpers, CreateDirectoryPathFailsWhereItCannotCreate) {
  WriteFile("file");
  EXPECT_FALSE(CreateDirectoryPath(Path("file")));
  EXPECT_FALSE(CreateDirectoryPath(Path("file/sub")));
  EXPECT_FALSE(CreateDirectoryPath(u""));
  fs::create_symlink(Native("nowhere"), Native("dangling"));
  EXPECT_FALSE(CreateDirectoryPath(Path("dangling")));
  EXPECT_FALSE(CreateDirectoryPath(Path("x") + TText(1, u'\0') + u"y"));
  EXPECT_FALSE(fs::exists(Native("x")));
}

TEST_F(FileHelpers, CreateDirectoryPathResolvesRelativeNamesAgainstCurrentDirectory) {
  TText saved = CurrentDirectory();
  ASSERT_TRUE(ChangeCurrentDirectory(Path("")));
  bool created = CreateDirectoryPath(u"rel/sub");
  ASSERT_TRUE(ChangeCurrentDirectory(saved));
  EXPECT_TRUE(created);
  EXPECT_TRUE(fs::is_directory(Native("rel/sub")));
}

TEST_F(FileHelpers, CurrentDirectoryAndPathExpand) {
  TText saved = CurrentDirectory();
  fs::create_directory(Native("d"));
  ASSERT_TRUE(ChangeCurrentDirectory(Path("d")));
  TText current = CurrentDirectory();
  TText expanded = PathExpand(u"x/../y");
  TText dot = PathExpand(u".");
  TText parent = PathExpand(u"..");
  ASSERT_TRUE(ChangeCurrentDirectory(saved));
  EXPECT_EQ(current, Path("d"));
  EXPECT_EQ(expanded, Path("d/y"));
  EXPECT_EQ(dot, Path("d"));
  EXPECT_EQ(parent, Path(""));
  EXPECT_EQ(PathExpand(u""), u"");
  EXPECT_EQ(PathExpand(u"/usr/./bin/"), u"/usr/bin/");
  EXPECT_FALSE(ChangeCurrentDirectory(Path("missing")));
  EXPECT_EQ(CurrentDirectory(), saved);
}

TEST_F(FileHelpers, PathExpandDoesNotResolveLinks) {
  fs::create_directory(Native("real"));
  fs::create_symlink(Native("real"), Native("link"));
  EXPECT_EQ(PathExpand(Path("link/x/..")), Path("link"));
}

TEST_F(FileHelpers, RemoveFileOrLinkRemovesTheNameNotTheTarget) {
  BuildTree();
  EXPECT_TRUE(RemoveFileOrLink(Path("link_to_dir")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Native("link_to_dir"))));
  EXPECT_TRUE(fs::is_directory(Native("dir")));
  EXPECT_TRUE(RemoveFileOrLink(Path("dangling")));
  EXPECT_TRUE(RemoveFileOrLink(Path("file.txt")));
  EXPECT_FALSE(fs::exists(Native("file.txt")));
  EXPECT_FALSE(RemoveFileOrLink(Path("dir")));
  EXPECT_TRUE(fs::is_directory(Native("dir")));
  EXPECT_FALSE(RemoveFileOrLink(Path("missing")));
}

TEST_F(FileHelpers, RemoveEmptyDirectoryOnly) {
  fs::create_directory(Native("empty"));
  fs::create_directory(Native("full"));
  WriteFile("full/.x");
  EXPECT_TRUE(RemoveEmptyDirectory(Path("empty")));
  EXPECT_FALSE(fs::exists(Native("empty")));
  EXPECT_FALSE(RemoveEmptyDirectory(Path("full")));
  EXPECT_TRUE(fs::exists(Native("full/.x")));
  EXPECT_FALSE(RemoveEmptyDirectory(Path("missing")));
}

TEST(ShortFileName, IsAlwaysEmpty) {
  EXPECT_EQ(ShortFileName(u"/tmp"), u"");
  EXPECT_EQ(ShortFileName(u"/a very long name.text"), u"");
}

// Restores an environment variable when it goes out of scope.
class TEnvironmentGuard {
public:
  explicit TEnvironmentGuard(const char *name) : FName(name) {
    const char *value = std::getenv(name);
    FHadValue = value != nullptr;
    if (FHadValue)
      FValue = value;
  }
  ~TEnvironmentGuard() {
    if (FHadValue)
      setenv(FName, FValue.c_str(), 1);
    else
      unsetenv(FName);
    tzset();
  }

private:
  const char *FName;
  bool FHadValue = false;
  std::string FValue;
};

TEST(TempDirectory, ComesFromTmpdirLessOneTrailingSeparator) {
  TEnvironmentGuard guard("TMPDIR");
  struct {
    const char *value;
    TText expected;
  } cases[] = {
      {nullptr, u"/tmp"},        {"", u"/tmp"},    {"/var/tmp/", u"/var/tmp"},
      {"/var/tmp", u"/var/tmp"}, {"/x//", u"/x/"}, {"/", u"/"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(unset)");
    if (c.value)
      setenv("TMPDIR", c.value, 1);
    else
      unsetenv("TMPDIR");
    EXPECT_EQ(TempDirectory(), c.expected);
  }
}

// Central European time: +1 in winter, +2 in summer, without needing a zone database.
class LocalTimes : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  TEnvironmentGuard FGuard{"TZ"};
};

// Seconds since 1970 of a UTC date and time.
std::int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  return timegm(&parts);
}

TEST_F(LocalTimes, FileTimeUsesTheOffsetInForceAtThatTime) {
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2020, 1, 15, 12, 0, 0)),
            EncodeDateTime(2020, 1, 15, 13, 0, 0));
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2020, 7, 1, 12, 0, 0)),
            EncodeDateTime(2020, 7, 1, 14, 0, 0));
}

TEST_F(LocalTimes, FileTimeHasTwoSecondResolution) {
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2020, 1, 15, 12, 0, 1)),
            EncodeDateTime(2020, 1, 15, 13, 0, 0));
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2020, 1, 15, 12, 0, 59)),
            EncodeDateTime(2020, 1, 15, 13, 0, 58));
  std::uint16_t date = 0, time = 0;
  ASSERT_TRUE(FileTimeToDosDateTime(UtcSeconds(2024, 5, 17, 11, 45, 59), date, time));
  EXPECT_EQ(date, (44 << 9) | (5 << 5) | 17);
  EXPECT_EQ(time, (13 << 11) | (45 << 5) | 29);
}

TEST_F(LocalTimes, FileTimeOutsideYears1980To2107LocalGivesZero) {
  // 1979-12-31 23:00 UTC is already 1980 in local time; a second earlier is not.
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(1979, 12, 31, 23, 0, 0)),
            EncodeDateTime(1980, 1, 1, 0, 0, 0));
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(1979, 12, 31, 22, 59, 59)), 0.0);
  EXPECT_EQ(FileTimeToDateTime(0), 0.0);
  EXPECT_EQ(FileTimeToDateTime(-1000000000), 0.0);
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2107, 12, 31, 22, 59, 59)),
            EncodeDateTime(2107, 12, 31, 23, 59, 58));
  EXPECT_EQ(FileTimeToDateTime(UtcSeconds(2107, 12, 31, 23, 0, 0)), 0.0);
  std::uint16_t date = 7, time = 9;
  EXPECT_FALSE(FileTimeToDosDateTime(0, date, time));
  EXPECT_EQ(FileTimeToDateTime(INT64_MAX), 0.0);
}

class FileTimes : public FileHelpers {
protected:
  void SetUp() override {
    FileHelpers::SetUp();
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  void SetTimes(const std::string &relative, std::int64_t access, std::int64_t write) {
    timespec times[2] = {{static_cast<time_t>(access), 0}, {static_cast<time_t>(write), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, Native(relative).c_str(), times, 0), 0);
  }
  TEnvironmentGuard FGuard{"TZ"};
};

TEST_F(FileTimes, TimesByNameAreLocalWithTwoSecondResolution) {
  WriteFile("f");
  SetTimes("f", UtcSeconds(2021, 2, 3, 4, 5, 7), UtcSeconds(2021, 8, 9, 10, 11, 13));
  EXPECT_EQ(FileTimeByName(Path("f"), 3), EncodeDateTime(2021, 8, 9, 12, 11, 12));
  EXPECT_EQ(FileTimeByName(Path("f"), 2), EncodeDateTime(2021, 2, 3, 5, 5, 6));
  EXPECT_EQ(FileTimeByName(Path("f"), 0), 0.0);
  EXPECT_EQ(FileTimeByName(Path("f"), 4), 0.0);
  EXPECT_EQ(FileTimeByName(Path("missing"), 3), 0.0);

  platform::TFileStatus status;
  ASSERT_EQ(platform::StatPath(Native("f"), status), 0);
  DateTime created = FileTimeByName(Path("f"), 1);
  if (status.FHasBirthTime) {
    EXPECT_EQ(created, FileTimeToDateTime(status.FCreationTime));
  } else {
    EXPECT_EQ(created, FileTimeByName(Path("f"), 3)); // no birth time: the last write
  }
}

TEST_F(FileTimes, TimeBefore1980IsZero) {
  WriteFile("old");
  SetTimes("old", UtcSeconds(1975, 1, 1, 0, 0, 0), UtcSeconds(1979, 6, 1, 0, 0, 0));
  EXPECT_EQ(FileTimeByName(Path("old"), 3), 0.0);
  EXPECT_EQ(FileTimeByName(Path("old"), 2), 0.0);
}

TEST_F(FileTimes, TimesOfALinkAreThoseOfItsTarget) {
  WriteFile("f");
  SetTimes("f", UtcSeconds(2021, 1, 1, 0, 0, 0), UtcSeconds(2022, 1, 1, 0, 0, 0));
  fs::create_symlink(Native("f"), Native("l"));
  fs::create_symlink(Native("nowhere"), Native("dangling"));
  EXPECT_EQ(FileTimeByName(Path("l"), 3), EncodeDateTime(2022, 1, 1, 1, 0, 0));
  EXPECT_EQ(FileTimeByName(Path("dangling"), 3), 0.0);
}

} // namespace
