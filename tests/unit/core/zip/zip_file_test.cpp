#include "core/zip/zip_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_io_test_double.h"
#include "tests/support/process_runner.h"
#include "tests/unit/core/zip/zip_test_archives.h"

namespace {

const std::string EmptyZip = std::string("PK\x05\x06", 4) + std::string(18, '\0');

TText T(const std::string &bytes) {
  return BytesToText(bytes);
}

// An archive file in dir made from hand-built entries.
std::string WriteArchive(const TTempDir &dir, const std::vector<TRawZipEntry> &entries) {
  return dir.Write("test.zip", BuildArchive(entries));
}

bool HasProgram(const char *name) {
  return RunProcess({"/bin/sh", "-c", std::string("command -v ") + name}).ExitCode == 0;
}

} // namespace

TEST(ZipEntryPath, NamesResolveBelowTheTargetOrAreRefused) {
  struct TCase {
    std::u16string Name;
    bool Accepted;
    std::u16string Relative;
  };
  const TCase cases[] = {
      {u"a.txt", true, u"a.txt"},
      {u"a/b.txt", true, u"a/b.txt"},
      {u"a\\b.txt", true, u"a/b.txt"},
      {u"./a//b", true, u"a/b"},
      {u"a/../b", true, u"b"},
      {u"dir/", true, u"dir/"},
      {u"dir\\sub\\", true, u"dir/sub/"},
      {u"./", true, u""},
      {u"C:/x", true, u"C:/x"},
      {u"..", false, u""},
      {u"../x", false, u""},
      {u"..\\x", false, u""},
      {u"a/../../x", false, u""},
      {u"/etc/passwd", false, u""},
      {u"\\x", false, u""},
      {std::u16string(u"a\0b", 3), false, u""},
      {u"", false, u""},
  };
  for (const TCase &c : cases) {
    TText relative = u"unchanged";
    EXPECT_EQ(ZipEntryRelativePath(c.Name, relative), c.Accepted) << TextToBytes(c.Name);
    if (c.Accepted) {
      EXPECT_EQ(relative, c.Relative) << TextToBytes(c.Name);
    }
  }
}

TEST(ZipFile, CreatedArchiveIsAnEmptyZipAtOnce) {
  TTempDir dir;
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("new.zip")), TZipMode::Write));
  EXPECT_EQ(ReadFileBytes(dir.File("new.zip")), EmptyZip);
  zip.Close();
  EXPECT_EQ(ReadFileBytes(dir.File("new.zip")), EmptyZip);
  EXPECT_EQ(zip.Mode(), TZipMode::Closed);
}

TEST(ZipFile, CreatingInAMissingDirectoryFails) {
  TTempDir dir;
  TZipFile zip;
  EXPECT_FALSE(zip.Open(T(dir.File("missing/new.zip")), TZipMode::Write));
  EXPECT_EQ(zip.Mode(), TZipMode::Closed);
}

TEST(ZipFile, AddedFilesReachTheFileOnClose) {
  TTempDir dir;
  std::string source = dir.Write("source.txt", "content of the source");
  // 2021-03-04 05:06:08 local time.
  std::tm local{};
  local.tm_year = 121;
  local.tm_mon = 2;
  local.tm_mday = 4;
  local.tm_hour = 5;
  local.tm_min = 6;
  local.tm_sec = 8;
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);

  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  ASSERT_TRUE(zip.Add(T(source), u"", false));
  ASSERT_TRUE(zip.Add(T(source), u"dir\\x.txt", true));
  EXPECT_EQ(zip.FileCount(), 2u);
  EXPECT_EQ(ReadFileBytes(dir.File("a.zip")), EmptyZip); // pending until closed
  zip.Close();

  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Read));
  ASSERT_EQ(zip.FileCount(), 2u);
  EXPECT_EQ(zip.FileName(0), u"source.txt");
  EXPECT_EQ(zip.FileName(1), u"dir\\x.txt");
  const std::uint32_t packed = (41u << 9 | 3u << 5 | 4u) << 16 | (5u << 11 | 6u << 5 | 4u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(zip.FileInfo(i).FModifiedDateTime, packed);
    EXPECT_EQ(zip.FileInfo(i).FFlag, ZipFlagUtf8);
    EXPECT_EQ(zip.FileInfo(i).FUncompressedSize, 21u);
  }
  EXPECT_EQ(zip.FileInfo(0).FCompressionMethod, ZipMethodDeflate);
  EXPECT_EQ(zip.FileInfo(1).FCompressionMethod, ZipMethodStored);
  ASSERT_TRUE(zip.ExtractAll(T(dir.File("out"))));
  EXPECT_EQ(ReadFileBytes(dir.File("out/source.txt")), "content of the source");
  EXPECT_EQ(ReadFileBytes(dir.File("out/dir/x.txt")), "content of the source");
}

TEST(ZipFile, NonAsciiNamesAreStoredAsUtf8) {
  TTempDir dir;
  std::string source = dir.Write("s", "x");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  ASSERT_TRUE(zip.Add(T(source), u"\u00e4\u20ac.txt", false));
  zip.Close();
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(ReadFileBytes(dir.File("a.zip"))));
  EXPECT_EQ(archive.Info(0).FName, "\xC3\xA4\xE2\x82\xAC.txt");
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Read));
  EXPECT_EQ(zip.IndexOf(u"\u00e4\u20ac.txt"), 0);
}

TEST(ZipFile, AddOfAMissingFileOrWithNulInTheNameFails) {
  TTempDir dir;
  std::string source = dir.Write("s", "x");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  EXPECT_FALSE(zip.Add(T(dir.File("missing")), u"", false));
  EXPECT_FALSE(zip.Add(T(dir.Path()), u"", false));
  EXPECT_FALSE(zip.Add(T(source), std::u16string(u"a\0b", 3), false));
  EXPECT_EQ(zip.FileCount(), 0u);
}

TEST(ZipFile, ReadWriteKeepsTheOldEntriesAndAppends) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("old.txt", "old")});
  std::string source = dir.Write("new.txt", "new");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  ASSERT_TRUE(zip.Add(T(source), u"old.txt", false));
  zip.SetComment("note");
  zip.Close();
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  ASSERT_EQ(zip.FileCount(), 2u);
  EXPECT_EQ(zip.IndexOf(u"old.txt"), 0);
  EXPECT_EQ(zip.Comment(), "note");
  ASSERT_TRUE(zip.Extract(1, T(dir.File("out")), true));
  EXPECT_EQ(ReadFileBytes(dir.File("out/old.txt")), "new");
  ASSERT_TRUE(zip.Extract(0, T(dir.File("out")), true));
  EXPECT_EQ(ReadFileBytes(dir.File("out/old.txt")), "old");
}

TEST(ZipFile, UnchangedArchiveIsNotRewritten) {
  TTempDir dir;
  std::string image = BuildArchive({StoredEntry("a", "a")}) + "trailing";
  std::string path = dir.Write("a.zip", image);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  zip.Close();
  EXPECT_EQ(ReadFileBytes(path), image);
}

TEST(ZipFile, ReadOnlyModeRefusesChangesToTheFile) {
  TTempDir dir;
  std::string image = BuildArchive({StoredEntry("a", "a")});
  std::string path = dir.Write("a.zip", image);
  std::string source = dir.Write("s", "x");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_FALSE(zip.Add(T(source), u"", false));
  EXPECT_THROW(zip.SetFileComment(0, u"c"), EZipReadOnly);
  zip.SetComment("in memory only");
  EXPECT_EQ(zip.Comment(), "in memory only");
  zip.Close();
  EXPECT_EQ(ReadFileBytes(path), image);
}

TEST(ZipFile, WriteOnlyModeRefusesExtraction) {
  TTempDir dir;
  std::string source = dir.Write("s", "x");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  ASSERT_TRUE(zip.Add(T(source), u"", false));
  EXPECT_FALSE(zip.Extract(0, T(dir.File("out")), true));
  EXPECT_FALSE(zip.ExtractAll(T(dir.File("out"))));
  EXPECT_FALSE(FileExists(dir.File("out/s")));
}

TEST(ZipFile, EmptyFileIsAnArchiveOnlyForReadingAndWriting) {
  TTempDir dir;
  std::string path = dir.Write("empty.zip", "");
  TZipFile zip;
  EXPECT_FALSE(zip.Open(T(path), TZipMode::Read));
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  EXPECT_EQ(zip.FileCount(), 0u);
  zip.SetComment("c");
  zip.Close();
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_EQ(zip.Comment(), "c");
}

TEST(ZipFile, FailedOpenLeavesThePreviousArchiveClosed) {
  TTempDir dir;
  std::string good = WriteArchive(dir, {StoredEntry("a", "a")});
  std::string bad = dir.Write("bad.zip", "this is no zip archive at all");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(good), TZipMode::Read));
  EXPECT_FALSE(zip.Open(T(bad), TZipMode::ReadWrite));
  EXPECT_EQ(zip.Mode(), TZipMode::Closed);
  EXPECT_EQ(zip.FileCount(), 0u);
  EXPECT_EQ(ReadFileBytes(bad), "this is no zip archive at all");
}

TEST(ZipFile, ExtractWithoutSubdirsIgnoresStoredDirectories) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("a/b\\c.txt", "deep")});
  ASSERT_EQ(mkdir(dir.File("out").c_str(), 0755), 0);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  ASSERT_TRUE(zip.Extract(0, T(dir.File("out")), false));
  EXPECT_EQ(ReadFileBytes(dir.File("out/c.txt")), "deep");
  EXPECT_FALSE(FileExists(dir.File("out/a")));
}

TEST(ZipFile, DirectoryEntryOnlyCreatesItsDirectory) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("d1/d2/", "")});
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  ASSERT_TRUE(zip.Extract(0, T(dir.File("out")), true));
  struct stat status {};
  ASSERT_EQ(stat(dir.File("out/d1/d2").c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  ASSERT_TRUE(zip.Extract(0, T(dir.File("flat")), false));
  EXPECT_FALSE(FileExists(dir.File("flat")));
}

TEST(ZipFile, EmptyDirectoryMeansTheCurrentOne) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("sub/here.txt", "here")});
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  TZipFile zip;
  bool extracted = zip.Open(T(path), TZipMode::Read) && zip.Extract(0, u"", true);
  ASSERT_EQ(chdir(saved), 0);
  ASSERT_TRUE(extracted);
  EXPECT_EQ(ReadFileBytes(dir.File("sub/here.txt")), "here");
}

TEST(ZipFile, NamesThatLeaveTheTargetAreNeverWritten) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("target").c_str(), 0755), 0);
  const char *names[] = {"../evil1.txt", "..\\evil2.txt", "a/../../evil3.txt",
                         "a\\..\\..\\evil4.txt"};
  std::vector<TRawZipEntry> entries;
  for (const char *name : names)
    entries.push_back(StoredEntry(name, "evil"));
  entries.push_back(StoredEntry(dir.File("evil5.txt"), "evil"));
  std::string path = WriteArchive(dir, entries);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_FALSE(zip.Extract(i, T(dir.File("target")), true)) << i;
    EXPECT_FALSE(zip.Extract(i, T(dir.File("target")), false)) << i;
  }
  EXPECT_FALSE(zip.ExtractAll(T(dir.File("target"))));
  for (int i = 1; i <= 5; ++i)
    EXPECT_FALSE(FileExists(dir.File("evil" + std::to_string(i) + ".txt"))) << i;
  EXPECT_TRUE(
      RunProcess({"/bin/sh", "-c", "test -z \"$(ls -A '" + dir.File("target") + "')\""}).ExitCode ==
      0);
}

TEST(ZipFile, ExtractionStopsAtTheFirstFailureKeepingEarlierFiles) {
  TTempDir dir;
  TRawZipEntry damaged = StoredEntry("2.txt", "two");
  damaged.Crc ^= 1;
  std::string path =
      WriteArchive(dir, {StoredEntry("1.txt", "one"), damaged, StoredEntry("3.txt", "three")});
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_FALSE(zip.ExtractAll(T(dir.File("out"))));
  EXPECT_EQ(ReadFileBytes(dir.File("out/1.txt")), "one");
  EXPECT_FALSE(FileExists(dir.File("out/2.txt")));
  EXPECT_FALSE(FileExists(dir.File("out/3.txt")));
}

TEST(ZipFile, ReadOnlyTargetIsNotOverwritten) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("t.txt", "new")});
  std::string target = dir.Write("t.txt", "old");
  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_FALSE(zip.Extract(0, T(dir.Path()), true));
  EXPECT_EQ(ReadFileBytes(target), "old");
}

TEST(ZipFile, LinkAtTheTargetIsNotFollowed) {
  TTempDir dir;
  TTempDir outside;
  std::string victim = outside.Write("victim.txt", "safe");
  std::string path = WriteArchive(dir, {StoredEntry("t.txt", "overwritten")});
  ASSERT_EQ(mkdir(dir.File("out").c_str(), 0755), 0);
  ASSERT_EQ(symlink(victim.c_str(), dir.File("out/t.txt").c_str()), 0);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_FALSE(zip.Extract(0, T(dir.File("out")), true));
  EXPECT_EQ(ReadFileBytes(victim), "safe");
}

TEST(ZipFile, FailedWriteOnCloseKeepsTheOldArchive) {
  TTempDir dir;
  std::string image = BuildArchive({StoredEntry("a", "a")});
  std::string path = dir.Write("a.zip", image);
  std::string source = dir.Write("s", "x");
  platform::TFailingFileSystem failing;
  platform::TFileSystemOverride override(failing);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  ASSERT_TRUE(zip.Add(T(source), u"", false));
  failing.FailMidway = true;
  EXPECT_FALSE(zip.Close());
  EXPECT_EQ(zip.Mode(), TZipMode::Closed);
  EXPECT_EQ(ReadFileBytes(path), image);
  // Nothing left to write, or nothing open: a close that loses nothing.
  failing.FailMidway = false;
  EXPECT_TRUE(zip.Close());
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  failing.FailMidway = true;
  EXPECT_TRUE(zip.Close());
  ASSERT_TRUE(zip.Open(T(path), TZipMode::ReadWrite));
  ASSERT_TRUE(zip.Add(T(source), u"", false));
  failing.FailMidway = false;
  EXPECT_TRUE(zip.Close());
  TZipArchive written;
  ASSERT_TRUE(written.Load(ReadFileBytes(path)));
  EXPECT_EQ(written.Count(), 2u);
}

TEST(ZipFile, LinksBelowTheTargetAreNeverFollowed) {
  struct TCase {
    const char *Entry;
    bool ExtractAll;
    const char *Link;    // below out/, pointing at the outside directory
    const char *Refused; // the link named in the refusal, below out/
  } cases[] = {
      {"s/pwned.txt", false, "s", "s"},       {"s/deeper/pwned.txt", false, "s", "s"},
      {"a/s/pwned.txt", false, "a/s", "a/s"}, {"s/sub/", false, "s", "s"},
      {"s\\pwned.txt", true, "s", "s"},       {"pwned.txt", false, "pwned.txt", "pwned.txt"},
  };
  for (const TCase &c : cases) {
    TTempDir dir;
    TTempDir outside;
    std::string path = WriteArchive(dir, {StoredEntry(c.Entry, "content")});
    std::string link = dir.File("out/") + c.Link;
    ASSERT_EQ(RunProcess({"/bin/mkdir", "-p", link.substr(0, link.rfind('/'))}).ExitCode, 0);
    ASSERT_EQ(symlink(outside.Path().c_str(), link.c_str()), 0);
    TZipFile zip;
    ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
    EXPECT_FALSE(c.ExtractAll ? zip.ExtractAll(T(dir.File("out")))
                              : zip.Extract(0, T(dir.File("out")), true))
        << c.Entry;
    EXPECT_EQ(TextToBytes(zip.RefusedLink()), dir.File("out/") + c.Refused) << c.Entry;
    TProcessResult listing = RunProcess({"/bin/ls", "-A", outside.Path()});
    EXPECT_EQ(listing.Stdout, "") << c.Entry;
  }
}

TEST(ZipFile, TheTargetDirectoryItselfMayBeALink) {
  TTempDir dir;
  std::string path = WriteArchive(dir, {StoredEntry("sub/t.txt", "content")});
  ASSERT_EQ(mkdir(dir.File("real").c_str(), 0755), 0);
  ASSERT_EQ(symlink("real", dir.File("target").c_str()), 0);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(path), TZipMode::Read));
  EXPECT_TRUE(zip.Extract(0, T(dir.File("target")), true));
  EXPECT_TRUE(zip.RefusedLink().empty());
  EXPECT_EQ(ReadFileBytes(dir.File("real/sub/t.txt")), "content");
}

TEST(ZipFile, FileCommentsAreEncodedLikeNamesAndCut) {
  TTempDir dir;
  std::string source = dir.Write("s", "x");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  ASSERT_TRUE(zip.Add(T(source), u"", false));
  zip.SetFileComment(0, u"\u00e4");
  EXPECT_EQ(zip.FileInfo(0).FComment, "\xC3\xA4");
  zip.SetFileComment(0, TText(70000, u'x'));
  EXPECT_EQ(zip.FileInfo(0).FComment.size(), 65535u);
  // Two bytes each in UTF-8: whole characters within 65535 bytes.
  zip.SetFileComment(0, TText(40000, u'\u00e4'));
  EXPECT_EQ(zip.FileComment(0), TText(32767, u'\u00e4'));
}

TEST(ZipFile, ArchivesOfTheZipToolAreRead) {
  if (!HasProgram("zip"))
    GTEST_SKIP() << "zip is not installed";
  TTempDir dir;
  dir.Write("one.txt", std::string(5000, 'o'));
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
  dir.Write("sub/two.txt", "two");
  TProcessOptions options;
  options.WorkingDirectory = dir.Path();
  ASSERT_EQ(RunProcess({"/bin/sh", "-c", "zip -q -r tool.zip one.txt sub"}, options).ExitCode, 0);
  // Written to a pipe, entries carry their sizes in data descriptors.
  ASSERT_EQ(RunProcess({"/bin/sh", "-c", "zip -q - one.txt | cat > piped.zip"}, options).ExitCode,
            0);
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("tool.zip")), TZipMode::Read));
  EXPECT_EQ(zip.IndexOf(u"sub/"), 1);
  ASSERT_TRUE(zip.ExtractAll(T(dir.File("out"))));
  EXPECT_EQ(ReadFileBytes(dir.File("out/one.txt")), std::string(5000, 'o'));
  EXPECT_EQ(ReadFileBytes(dir.File("out/sub/two.txt")), "two");
  ASSERT_TRUE(zip.Open(T(dir.File("piped.zip")), TZipMode::ReadWrite));
  ASSERT_TRUE(zip.Extract(0, T(dir.File("piped")), true));
  EXPECT_EQ(ReadFileBytes(dir.File("piped/one.txt")), std::string(5000, 'o'));
  ASSERT_TRUE(zip.Add(T(dir.File("sub/two.txt")), u"", true));
  zip.Close();
  if (HasProgram("unzip")) {
    EXPECT_EQ(RunProcess({"/bin/sh", "-c", "unzip -tq " + dir.File("piped.zip")}).ExitCode, 0);
  }
}

TEST(ZipFile, ArchivesWrittenHereAreReadByTheUnzipTool) {
  if (!HasProgram("unzip"))
    GTEST_SKIP() << "unzip is not installed";
  TTempDir dir;
  std::string source = dir.Write("s.txt", std::string(3000, 's') + "end");
  TZipFile zip;
  ASSERT_TRUE(zip.Open(T(dir.File("a.zip")), TZipMode::Write));
  ASSERT_TRUE(zip.Add(T(source), u"d/deflated.txt", false));
  ASSERT_TRUE(zip.Add(T(source), u"stored.txt", true));
  zip.SetComment("archive comment");
  zip.SetFileComment(0, u"entry comment");
  zip.Close();
  EXPECT_EQ(RunProcess({"/bin/sh", "-c", "unzip -tq " + dir.File("a.zip")}).ExitCode, 0);
  TProcessResult piped =
      RunProcess({"/bin/sh", "-c", "unzip -p " + dir.File("a.zip") + " d/deflated.txt"});
  EXPECT_EQ(piped.Stdout, std::string(3000, 's') + "end");
}
