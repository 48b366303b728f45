#include "core/zip/zip_file.h"

#include <algorithm>
#include <optional>

#include "core/files/file_helpers.h"
#include "core/paths/file_names.h"
#include "core/paths/path_text.h"
#include "platform/code_page.h"
#include "platform/contained_path.h"
#include "platform/file_io.h"
#include "platform/file_status.h"

namespace {

// 1980-01-01 00:00, the earliest packed time: for files whose time cannot be packed.
constexpr std::uint32_t EarliestDosDateTime = 0x00210000;

const platform::TCodePage &Utf8() {
  static const platform::TCodePage page = platform::TCodePage::FromCharsetName("UTF-8");
  return page;
}

// Entry names and comments as host text, by the entry's UTF-8 flag.
TText DecodeEntryText(const TZipEntryInfo &info, TBytesView bytes) {
  return (info.FFlag & ZipFlagUtf8) ? Utf8().Decode(bytes) : BytesToText(bytes);
}

TBytes EncodeEntryText(const TZipEntryInfo &info, TTextView text) {
  return (info.FFlag & ZipFlagUtf8) ? Utf8().Encode(text) : TextToBytes(text);
}

bool IsEntrySeparator(char16_t c) {
  return c == u'/' || c == u'\\';
}

// The last-write time of a file, packed; the earliest packed time when unknown.
std::uint32_t PackedModifiedTime(const TBytes &nativeName) {
  platform::TFileStatus status;
  std::uint16_t date = 0;
  std::uint16_t time = 0;
  if (platform::StatPath(nativeName, status) != 0 ||
      !FileTimeToDosDateTime(status.FLastWriteTime, date, time))
    return EarliestDosDateTime;
  return std::uint32_t(date) << 16 | time;
}

// A comment cut to the format's length limits: 65535 characters, then whole
// characters within 65535 bytes.
TBytes CutEntryComment(const TZipEntryInfo &info, TTextView comment) {
  comment = comment.substr(0, ZipMaxFieldLength);
  TBytes bytes = EncodeEntryText(info, comment);
  while (bytes.size() > ZipMaxFieldLength) {
    comment.remove_suffix(1);
    bytes = EncodeEntryText(info, comment);
  }
  return bytes;
}

} // namespace

bool ZipEntryRelativePath(TTextView entryName, TText &relativePath) {
  const TPathRules &rules = NativePathRules();
  if (entryName.empty() || IsEntrySeparator(entryName.front()) ||
      entryName.find(u'\0') != TTextView::npos)
    return false;
  TTextList parts;
  std::size_t start = 0;
  while (start <= entryName.size()) {
    std::size_t stop = start;
    while (stop < entryName.size() && !IsEntrySeparator(entryName[stop]))
      ++stop;
    TTextView part = entryName.substr(start, stop - start);
    if (part == u"..") {
      if (parts.empty())
        return false;
      parts.pop_back();
    } else if (rules.FHasDrives && part.find(u':') != TTextView::npos) {
      return false;
    } else if (!part.empty() && part != u".") {
      parts.emplace_back(part);
    }
    start = stop + 1;
  }
  relativePath.clear();
  for (const TText &part : parts) {
    if (!relativePath.empty())
      relativePath += rules.FSeparator;
    relativePath += part;
  }
  if (!relativePath.empty() && IsEntrySeparator(entryName.back()))
    relativePath += rules.FSeparator;
  return true;
}

TZipFile::~TZipFile() {
  Close();
}

bool TZipFile::Open(TTextView fileName, TZipMode mode) {
  Close();
  std::optional<TBytes> nativeName = NativeFileName(fileName);
  if (!nativeName || nativeName->empty() || mode == TZipMode::Closed)
    return false;
  platform::TFileSystem &disk = platform::FileSystem();
  TZipArchive archive;
  if (mode == TZipMode::Write) {
    std::string image;
    if (!archive.Save(image) || !disk.WriteFileAtomic(*nativeName, image))
      return false;
  } else {
    std::string image;
    if (!disk.ReadWholeFile(*nativeName, image))
      return false;
    // An empty file is where an archive open for writing can start from.
    bool emptyArchive = image.empty() && mode == TZipMode::ReadWrite;
    if (!emptyArchive && !archive.Load(std::move(image)))
      return false;
  }
  FArchive = std::move(archive);
  FNativeName = std::move(*nativeName);
  FMode = mode;
  FChanged = false;
  return true;
}

bool TZipFile::Close() noexcept {
  if (FMode == TZipMode::Closed)
    return true;
  bool saved = true;
  if (FChanged && FMode != TZipMode::Read) {
    try {
      std::string image;
      saved = FArchive.Save(image) && platform::FileSystem().WriteFileAtomic(FNativeName, image);
    } catch (...) {
      // Out of memory while building the image: the old file stays as it was.
      saved = false;
    }
  }
  FArchive.Clear();
  FNativeName.clear();
  FMode = TZipMode::Closed;
  FChanged = false;
  return saved;
}

TText TZipFile::FileName(std::size_t index) const {
  const TZipEntryInfo &info = FArchive.Info(index);
  return DecodeEntryText(info, info.FName);
}

std::ptrdiff_t TZipFile::IndexOf(TTextView name) const {
  for (std::size_t i = 0; i < FArchive.Count(); ++i)
    if (FileName(i) == name)
      return std::ptrdiff_t(i);
  return -1;
}

void TZipFile::SetComment(TBytesView comment) {
  FArchive.SetComment(comment);
  FChanged = true;
}

TText TZipFile::FileComment(std::size_t index) const {
  const TZipEntryInfo &info = FArchive.Info(index);
  return DecodeEntryText(info, info.FComment);
}

void TZipFile::SetFileComment(std::size_t index, TTextView comment) {
  if (FMode != TZipMode::Write && FMode != TZipMode::ReadWrite)
    throw EZipReadOnly();
  FArchive.SetEntryComment(index, CutEntryComment(FArchive.Info(index), comment));
  FChanged = true;
}

bool TZipFile::Add(TTextView fileName, TTextView archiveName, bool store) {
  if (FMode != TZipMode::Write && FMode != TZipMode::ReadWrite)
    return false;
  TText name(archiveName.empty() ? PathFileName(fileName) : archiveName);
  // A NUL would cut the name short for every reader that takes it as a C string.
  if (name.empty() || name.find(u'\0') != TText::npos)
    return false;
  std::optional<TBytes> nativeName = NativeFileName(fileName);
  std::string content;
  if (!nativeName || !platform::FileSystem().ReadWholeFile(*nativeName, content))
    return false;
  if (!FArchive.Add(Utf8().Encode(name), content, store, PackedModifiedTime(*nativeName),
                    ZipFlagUtf8))
    return false;
  FChanged = true;
  return true;
}

bool TZipFile::Extract(std::size_t index, TTextView directory, bool subDirs) {
  FRefusedLink.clear();
  if ((FMode != TZipMode::Read && FMode != TZipMode::ReadWrite) || index >= FArchive.Count())
    return false;
  TText name = FileName(index);
  TText relative;
  if (!ZipEntryRelativePath(name, relative))
    return false;
  bool directoryEntry = IsEntrySeparator(name.back());
  std::string content;
  if (directoryEntry) {
    if (!subDirs || relative.empty())
      return true;
    relative.pop_back();
  } else {
    if (!subDirs)
      relative = PathFileName(relative);
    if (relative.empty() || !FArchive.Read(index, content))
      return false;
  }
  // The target directory is the script's own choice, links and all; below it the
  // entry's parts are walked without following any link, which would carry the
  // content out of the directory.
  if (subDirs && !directory.empty() && !IsExistingDirectory(directory) &&
      !CreateDirectoryPath(directory))
    return false;
  std::optional<TBytes> base = NativeFileName(directory);
  std::optional<TBytes> below = NativeFileName(relative);
  if (!base || !below)
    return false;
  std::string linkPart;
  platform::TContainedResult result =
      directoryEntry ? platform::CreateDirectoriesBelow(*base, *below, linkPart)
                     : platform::WriteFileBelow(*base, *below, content, subDirs, linkPart);
  if (result == platform::TContainedResult::LinkRefused) {
    TText link = HostFileName(linkPart);
    FRefusedLink = directory.empty() ? link : JoinDirName(directory, link);
  }
  return result == platform::TContainedResult::Done;
}

bool TZipFile::ExtractAll(TTextView directory) {
  if (FMode != TZipMode::Read && FMode != TZipMode::ReadWrite)
    return false;
  for (std::size_t i = 0; i < FArchive.Count(); ++i)
    if (!Extract(i, directory, true))
      return false;
  return true;
}
