#include "core/files/file_list.h"

#include <gtest/gtest.h>

#include <ctime>

#include "core/files/file_helpers.h"

namespace {

// A UTC file time for a local calendar time.
TFileTime LocalFileTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

TFileFindData FindData(const char16_t *name, std::uint32_t attributes, std::int64_t size) {
  TFileFindData data;
  data.FName = name;
  data.FAttributes = attributes;
  data.FSize = size;
  data.FCreationTime = LocalFileTime(2020, 1, 2, 3, 4, 6);
  data.FLastAccessTime = LocalFileTime(2021, 2, 3, 4, 5, 7);
  data.FLastWriteTime = LocalFileTime(2022, 3, 4, 5, 6, 9);
  return data;
}

} // namespace

TEST(FileList, RecordIsBuiltFromTheEntry) {
  const auto item =
      MakeFileListItem(u"/data", FindData(u"report.txt", FileAttributeReadOnly, 1234));
  EXPECT_EQ(item->FilePath, u"/data");
  EXPECT_EQ(item->FileName, u"report.txt");
  EXPECT_EQ(item->ShortFileName, u"");
  EXPECT_EQ(item->CreationTime, EncodeDateTime(2020, 1, 2, 3, 4, 6));
  EXPECT_EQ(item->LastAccessTime, EncodeDateTime(2021, 2, 3, 4, 5, 6));
  EXPECT_EQ(item->LastWriteTime, EncodeDateTime(2022, 3, 4, 5, 6, 8));
  EXPECT_EQ(item->FileSize, 1234);
  EXPECT_EQ(item->FileAttributes, FileAttributeReadOnly);
  EXPECT_FALSE(item->IsDir);
}

TEST(FileList, DirectoryRecordHasSizeZeroWhateverTheEntrySays) {
  const auto item = MakeFileListItem(u"/data", FindData(u"sub", FileAttributeDirectory, 4096));
  EXPECT_TRUE(item->IsDir);
  EXPECT_EQ(item->FileSize, 0);
  EXPECT_EQ(item->FileAttributes, FileAttributeDirectory);
}

TEST(FileList, TimeBefore1980BecomesZero) {
  TFileFindData data = FindData(u"old.txt", 0, 1);
  data.FLastWriteTime = LocalFileTime(1979, 12, 31, 23, 59, 58);
  const auto item = MakeFileListItem(u"/data", data);
  EXPECT_EQ(item->LastWriteTime, 0.0);
  EXPECT_EQ(item->CreationTime, EncodeDateTime(2020, 1, 2, 3, 4, 6));
}

TEST(FileList, FullNameJoinsDirectoryAndName) {
  TFileList list;
  list.AddFindData(u"/dir", FindData(u"name", 0, 0));
  list.AddFindData(u"/", FindData(u"top", 0, 0));
  list.AddFindData(u"rel/sub", FindData(u"f.txt", 0, 0));
  EXPECT_EQ(list.GetFullName(0), u"/dir/name");
  // A record found at the root keeps the root as its path.
  EXPECT_EQ(list.GetFilePath(1), u"/");
  EXPECT_EQ(list.GetFullName(1), u"/top");
  EXPECT_EQ(list.GetFullName(2), u"rel/sub/f.txt");
}

TEST(FileList, GettersReadTheRecordAtTheIndex) {
  TFileList list;
  PFileListItem first = list.AddFindData(u"/a", FindData(u"one", 0, 10));
  PFileListItem second = list.AddFindData(u"/b", FindData(u"two", FileAttributeDirectory, 20));
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.GetItem(0), first);
  EXPECT_EQ(list.GetItem(1), second);
  EXPECT_EQ(list.GetFilePath(1), u"/b");
  EXPECT_EQ(list.GetFileName(1), u"two");
  EXPECT_EQ(list.GetShortFileName(1), u"");
  EXPECT_EQ(list.GetCreationTime(1), EncodeDateTime(2020, 1, 2, 3, 4, 6));
  EXPECT_EQ(list.GetLastAccessTime(1), EncodeDateTime(2021, 2, 3, 4, 5, 6));
  EXPECT_EQ(list.GetLastWriteTime(1), EncodeDateTime(2022, 3, 4, 5, 6, 8));
  EXPECT_EQ(list.GetFileSize(0), 10);
  EXPECT_EQ(list.GetFileSize(1), 0);
  EXPECT_EQ(list.GetFileAttributes(1), FileAttributeDirectory);
  EXPECT_FALSE(list.GetIsDir(0));
  EXPECT_TRUE(list.GetIsDir(1));
}

TEST(FileList, DeletingTheFirstOfTwoMovesTheSecondUp) {
  TFileList list;
  list.AddFindData(u"/d", FindData(u"first", 0, 1));
  PFileListItem second = list.AddFindData(u"/d", FindData(u"second", 0, 2));
  list.Delete(0);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.GetItem(0), second);
  EXPECT_EQ(list.GetFileName(0), u"second");
}

TEST(FileList, IndexOutsideTheListIsAHostFailure) {
  TFileList list;
  EXPECT_THROW(list.GetItem(0), EListError);
  list.AddFindData(u"/d", FindData(u"only", 0, 1));
  EXPECT_THROW(list.GetFileName(1), EListError);
  EXPECT_THROW(list.GetFullName(5), EListError);
  EXPECT_THROW(list.Delete(1), EListError);
  EXPECT_THROW(list.GetIsDir(static_cast<std::size_t>(-1)), EListError);
  EXPECT_EQ(list.Count(), 1u);
  try {
    list.GetFileSize(3);
    FAIL() << "no failure raised";
  } catch (const EListError &error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (3)");
  }
}

TEST(FileList, AddAppendsAndSortOrdersTheItems) {
  TFileList list;
  std::size_t expectedIndex = 0;
  for (const char16_t *name : {u"c", u"a", u"b"}) {
    auto item = std::make_unique<TFileListItem>();
    item->FileName = name;
    EXPECT_EQ(list.Add(std::move(item)), expectedIndex++);
  }
  list.Sort([](const TFileListItem &a, const TFileListItem &b) { return a.FileName < b.FileName; });
  EXPECT_EQ(list.GetFileName(0), u"a");
  EXPECT_EQ(list.GetFileName(1), u"b");
  EXPECT_EQ(list.GetFileName(2), u"c");
}

TEST(FileList, MovedListTakesItsItemsAlong) {
  TFileList list;
  PFileListItem item = list.AddFindData(u"/d", FindData(u"x", 0, 1));
  TFileList other = std::move(list);
  ASSERT_EQ(other.Count(), 1u);
  EXPECT_EQ(other.GetItem(0), item);
}
