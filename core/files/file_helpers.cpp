#include "core/files/file_helpers.h"

#include <cerrno>
#include <climits>

#include "core/paths/path_expand.h"
#include "core/paths/path_text.h"
#include "platform/code_page.h"
#include "platform/file_status.h"
#include "platform/process.h"

namespace {

using platform::TFileStatus;

// Status of a host path, links followed; false when the name cannot reach the system.
bool Stat(TTextView path, TFileStatus &status) {
  std::optional<TBytes> name = NativeFileName(path);
  return name && platform::StatPath(*name, status) == 0;
}

bool LinkStat(TTextView path, TFileStatus &status) {
  std::optional<TBytes> name = NativeFileName(path);
  return name && platform::LinkStatPath(*name, status) == 0;
}

// The last name of a path, trailing separators ignored.
TText LastName(TTextView path) {
  while (path.size() > 1 && IsPathSeparator(path.back(), NativePathRules()))
    path.remove_suffix(1);
  return PathFileName(path);
}

} // namespace

bool ChangeCurrentDirectory(TTextView directory) {
  std::optional<TBytes> name = NativeFileName(directory);
  return name && platform::ChangeWorkingDirectory(*name) == 0;
}

// A name that cannot be reached (for example behind a directory without search
// permission) counts as missing: nothing could be done with it anyway, and taking it
// for an existing directory would let a directory creation report success for a
// directory it never made.
bool IsExistingFile(TTextView path) {
  TFileStatus status;
  return Stat(path, status) && !status.IsDirectory();
}

bool IsExistingDirectory(TTextView path) {
  TFileStatus status;
  return Stat(path, status) && status.IsDirectory();
}

bool IsDirectoryPath(TTextView path) {
  std::uint32_t attributes = FileAttributesByName(path);
  return attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory) != 0;
}

bool PathExists(TTextView path) {
  TFileStatus status;
  return Stat(path, status);
}

bool IsLinkPath(TTextView path) {
  TFileStatus status;
  return LinkStat(path, status) && status.IsLink();
}

std::uint32_t FileAttributesByName(TTextView path) {
  TFileStatus linkStatus;
  if (!LinkStat(path, linkStatus))
    return InvalidFileAttributes;
  std::uint32_t attributes = 0;
  // A link carries the kind and permissions of its target; a dangling one only its own.
  TFileStatus status = linkStatus;
  if (linkStatus.IsLink()) {
    attributes |= FileAttributeLink;
    TFileStatus target;
    if (Stat(path, target))
      status = target;
  }
  if (status.IsDirectory())
    attributes |= FileAttributeDirectory;
  if (!status.IsLink() && !status.HasWriteBit())
    attributes |= FileAttributeReadOnly;
  TText name = LastName(path);
  if (!name.empty() && name[0] == u'.' && name != u"." && name != u"..")
    attributes |= FileAttributeHidden;
  return attributes;
}

bool IsReadOnlyFile(TTextView path, bool /*checkAttribute*/) {
  std::optional<TBytes> name = NativeFileName(path);
  if (!name || platform::TryOpenForWriting(*name) != 0)
    return true;
  // Root opens any file for writing; the mode still marks it read-only for everyone.
  TFileStatus status;
  return !Stat(path, status) || !status.HasWriteBit();
}

bool IsReadOnlyDirectory(TTextView directory) {
  TFileStatus status;
  if (!Stat(directory, status) || !status.IsDirectory() || !status.HasWriteBit())
    return true;
  TText probeName = UniqueFileName(directory, u"ROtmp%d.tmp");
  if (probeName.empty())
    return true;
  std::optional<TBytes> probe = NativeFileName(MergePath(u"", directory, probeName, u""));
  if (!probe || platform::CreateNewFile(*probe) != 0)
    return true;
  platform::RemoveName(*probe);
  return false;
}

TText UniqueFileName(TTextView directory, TTextView pattern) {
  const TText prefix = DirPrefix(directory);
  const size_t placeholder = pattern.find(u"%d");
  // Any entry takes a name, not only a file: a directory or a dangling link of that
  // name would make the probe's creation fail as well.
  auto isFree = [&](const TText &name) {
    TFileStatus status;
    return !LinkStat(prefix + name, status);
  };
  if (placeholder == TTextView::npos) {
    TText name(pattern);
    return isFree(name) ? name : TText();
  }
  for (long n = 0; n <= INT_MAX; ++n) {
    TText name(pattern.substr(0, placeholder));
    name += AsciiText(std::to_string(n));
    name += pattern.substr(placeholder + 2);
    if (isFree(name))
      return name;
  }
  return TText();
}

std::int64_t FileSizeByName(TTextView path) {
  TFileStatus status;
  if (!Stat(path, status) || status.IsDirectory())
    return -1;
  return status.FSize;
}

DateTime FileTimeByName(TTextView path, int which) {
  TFileStatus status;
  if (!Stat(path, status))
    return 0.0;
  switch (which) {
  case 1:
    return FileTimeToDateTime(status.FCreationTime);
  case 2:
    return FileTimeToDateTime(status.FLastAccessTime);
  case 3:
    return FileTimeToDateTime(status.FLastWriteTime);
  default:
    return 0.0;
  }
}

bool FileTimeToDosDateTime(TFileTime time, std::uint16_t &dosDate, std::uint16_t &dosTime) {
  platform::TLocalTime local;
  if (!platform::LocalTimeOf(time, local) || local.FYear < 1980 || local.FYear > 2107)
    return false;
  dosDate =
      static_cast<std::uint16_t>(((local.FYear - 1980) << 9) | (local.FMonth << 5) | local.FDay);
  // A leap second (60) still packs into the five bits.
  dosTime =
      static_cast<std::uint16_t>((local.FHour << 11) | (local.FMinute << 5) | (local.FSecond / 2));
  return true;
}

DateTime FileTimeToDateTime(TFileTime time) {
  std::uint16_t dosDate = 0;
  std::uint16_t dosTime = 0;
  if (!FileTimeToDosDateTime(time, dosDate, dosTime))
    return 0.0;
  return DosDateTimeToDateTime(dosDate, dosTime);
}

TText TempDirectory() {
  TText directory = HostFileName(platform::TemporaryDirectory());
  return directory.size() > 1 ? WithoutTrailingSeparator(directory) : directory;
}

namespace {

bool CreateDirectoryChain(const TText &directory) {
  TText text = WithoutTrailingSeparator(directory);
  // The root, an existing directory, or a text that ends in a separator (a doubled
  // one) needs nothing created.
  if (text.size() < NativePathRules().FRootLength || IsExistingDirectory(text) ||
      text == PathDirectoryPrefix(text))
    return true;
  if (!CreateDirectoryChain(PathDirectoryPrefix(text)))
    return false;
  std::optional<TBytes> name = NativeFileName(text);
  if (!name)
    return false;
  int error = platform::MakeDirectory(*name);
  // Made meanwhile by someone else, or reached through ".." : it is there all the same.
  return error == 0 || (error == EEXIST && IsExistingDirectory(text));
}

} // namespace

bool CreateDirectoryPath(TTextView directory) {
  if (directory.empty())
    return false;
  TText full = IsRelativePath(directory) ? PathExpand(directory) : TText(directory);
  if (full.empty())
    return false;
  // A doubled separator would end the parent chain early ("a//b" has the parent "a/",
  // which is its own prefix): on this system it means the same as a single one.
  TText collapsed;
  for (char16_t c : full)
    if (!(c == NativePathRules().FSeparator && !collapsed.empty() && collapsed.back() == c))
      collapsed.push_back(c);
  return CreateDirectoryChain(collapsed);
}

bool RemoveFileOrLink(TTextView path) {
  // unlink removes a link to a directory as well; a directory itself is refused.
  std::optional<TBytes> name = NativeFileName(path);
  return name && platform::RemoveName(*name) == 0;
}

bool RemoveEmptyDirectory(TTextView directory) {
  std::optional<TBytes> name = NativeFileName(directory);
  return name && platform::RemoveDirectory(*name) == 0;
}

bool IsDirectoryEmpty(TTextView directory) {
  std::optional<TBytes> name = NativeFileName(directory);
  bool empty = false;
  return name && platform::ReadDirectoryEmpty(*name, empty) == 0 && empty;
}

TText ShortFileName(TTextView /*path*/) {
  return TText();
}
