#include "core/files/file_list.h"

#include <algorithm>
#include <string>

#include "core/paths/path_text.h"

std::unique_ptr<TFileListItem> MakeFileListItem(TTextView directory, const TFileFindData &data) {
  auto item = std::make_unique<TFileListItem>();
  item->FilePath = TText(directory);
  item->FileName = data.FName;
  item->ShortFileName = data.FShortName;
  item->IsDir = (data.FAttributes & FileAttributeDirectory) != 0;
  item->CreationTime = FileTimeToDateTime(data.FCreationTime);
  item->LastAccessTime = FileTimeToDateTime(data.FLastAccessTime);
  item->LastWriteTime = FileTimeToDateTime(data.FLastWriteTime);
  item->FileSize = item->IsDir ? 0 : data.FSize;
  item->FileAttributes = data.FAttributes;
  return item;
}

std::size_t TFileList::Add(std::unique_ptr<TFileListItem> item) {
  FItems.push_back(std::move(item));
  return FItems.size() - 1;
}

PFileListItem TFileList::AddFindData(TTextView directory, const TFileFindData &data) {
  FItems.push_back(MakeFileListItem(directory, data));
  return FItems.back().get();
}

void TFileList::Delete(std::size_t index) {
  ItemAt(index);
  FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(index));
}

void TFileList::Sort(
    const std::function<bool(const TFileListItem &, const TFileListItem &)> &less) {
  std::sort(FItems.begin(), FItems.end(),
            [&](const std::unique_ptr<TFileListItem> &a, const std::unique_ptr<TFileListItem> &b) {
              return less(*a, *b);
            });
}

const TFileListItem &TFileList::ItemAt(std::size_t index) const {
  if (index >= FItems.size())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return *FItems[index];
}

PFileListItem TFileList::GetItem(std::size_t index) const {
  ItemAt(index);
  return FItems[index].get();
}

TText TFileList::GetFullName(std::size_t index) const {
  const TFileListItem &item = ItemAt(index);
  return JoinDirName(item.FilePath, item.FileName);
}

TText TFileList::GetFilePath(std::size_t index) const {
  return ItemAt(index).FilePath;
}
TText TFileList::GetFileName(std::size_t index) const {
  return ItemAt(index).FileName;
}
TText TFileList::GetShortFileName(std::size_t index) const {
  return ItemAt(index).ShortFileName;
}
DateTime TFileList::GetCreationTime(std::size_t index) const {
  return ItemAt(index).CreationTime;
}
DateTime TFileList::GetLastAccessTime(std::size_t index) const {
  return ItemAt(index).LastAccessTime;
}
DateTime TFileList::GetLastWriteTime(std::size_t index) const {
  return ItemAt(index).LastWriteTime;
}
std::int64_t TFileList::GetFileSize(std::size_t index) const {
  return ItemAt(index).FileSize;
}
std::uint32_t TFileList::GetFileAttributes(std::size_t index) const {
  return ItemAt(index).FileAttributes;
}
bool TFileList::GetIsDir(std::size_t index) const {
  return ItemAt(index).IsDir;
}
