// The records of a detailed file search: one per directory entry found, owned by the
// list that holds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "core/files/file_helpers.h"
#include "core/text/text.h"
#include "core/time/date_time.h"

struct TFileListItem {
  TText FilePath;      // the directory searched, without trailing separator (a root stays whole)
  TText FileName;      // the entry's name
  TText ShortFileName; // the alternate 8.3 name; file systems here keep none
  DateTime CreationTime = 0.0;
  DateTime LastAccessTime = 0.0;
  DateTime LastWriteTime = 0.0;
  std::int64_t FileSize = 0; // 0 for a directory
  std::uint32_t FileAttributes = 0;
  bool IsDir = false;
};

using PFileListItem = TFileListItem *;

// What a directory search reports about one entry, before it becomes a record.
struct TFileFindData {
  TText FName;
  TText FShortName;
  std::uint32_t FAttributes = 0;
  TFileTime FCreationTime = 0;
  TFileTime FLastAccessTime = 0;
  TFileTime FLastWriteTime = 0;
  std::int64_t FSize = 0;
};

// An index outside the list: a programming error of the caller, raised as a host failure.
class EListError : public std::out_of_range {
public:
  using std::out_of_range::out_of_range;
};

class TFileList {
public:
  TFileList() = default;
  TFileList(TFileList &&) noexcept = default;
  TFileList &operator=(TFileList &&) noexcept = default;
  // Items are never shared between lists.
  TFileList(const TFileList &) = delete;
  TFileList &operator=(const TFileList &) = delete;

  std::size_t Count() const { return FItems.size(); }

  // Appends an item and returns its index; the list owns it from now on.
  std::size_t Add(std::unique_ptr<TFileListItem> item);
  // Builds the record of an entry found in directory and appends it.
  PFileListItem AddFindData(TTextView directory, const TFileFindData &data);
  // Frees the item at index; later items move up by one.
  void Delete(std::size_t index);
  // Orders the items by a strict weak ordering.
  void Sort(const std::function<bool(const TFileListItem &, const TFileListItem &)> &less);

  PFileListItem GetItem(std::size_t index) const;
  // JoinDirName(FilePath, FileName).
  TText GetFullName(std::size_t index) const;
  TText GetFilePath(std::size_t index) const;
  TText GetFileName(std::size_t index) const;
  TText GetShortFileName(std::size_t index) const;
  DateTime GetCreationTime(std::size_t index) const;
  DateTime GetLastAccessTime(std::size_t index) const;
  DateTime GetLastWriteTime(std::size_t index) const;
  std::int64_t GetFileSize(std::size_t index) const;
  std::uint32_t GetFileAttributes(std::size_t index) const;
  bool GetIsDir(std::size_t index) const;

private:
  const TFileListItem &ItemAt(std::size_t index) const;

  std::vector<std::unique_ptr<TFileListItem>> FItems;
};

// The record of an entry found in directory (times as local DateTime values of two-second
// resolution, 0.0 outside 1980 to 2107; size 0 for a directory).
std::unique_ptr<TFileListItem> MakeFileListItem(TTextView directory, const TFileFindData &data);
