#include "core/files/file_transfer.h"

#include <cerrno>
#include <optional>

#include "core/files/file_helpers.h"
#include "core/paths/path_text.h"
#include "platform/file_io.h"
#include "platform/file_status.h"

namespace {

using platform::TFileStatus;

bool IsRegularFileName(const TBytes &name) {
  TFileStatus status;
  return platform::StatPath(name, status) == 0 && status.IsRegularFile();
}

// Any entry of that name, a dangling link included.
bool HasEntry(const TBytes &name) {
  TFileStatus status;
  return platform::LinkStatPath(name, status) == 0;
}

bool MoveFileAcrossFileSystems(TTextView target, const TBytes &from, const TBytes &to) {
  TFileStatus status;
  // A link would arrive as a copy of what it points to, no longer a link.
  if (platform::LinkStatPath(from, status) != 0 || !status.IsRegularFile() || HasEntry(to))
    return false;
  // The copy gets a name of its own first, so that a target created meanwhile by
  // someone else is not replaced by the final rename.
  const TText directory = PathDirectoryPrefix(target);
  const TText temporaryName = UniqueFileName(directory, u".redevuvo-move-%d.tmp");
  if (temporaryName.empty())
    return false;
  std::optional<TBytes> temporary = NativeFileName(DirPrefix(directory) + temporaryName);
  if (!temporary || !platform::FileSystem().CopyFileReplacing(from, *temporary))
    return false;
  if (platform::RenameNoReplace(*temporary, to) != 0) {
    platform::RemoveName(*temporary);
    return false;
  }
  if (platform::RemoveName(from) != 0) {
    platform::RemoveName(to);
    return false;
  }
  return true;
}

} // namespace

bool CopyFilePath(TTextView source, TTextView target, bool failIfExists) {
  std::optional<TBytes> from = NativeFileName(source);
  std::optional<TBytes> to = NativeFileName(target);
  if (!from || !to || !IsRegularFileName(*from))
    return false;
  if (failIfExists && HasEntry(*to))
    return false;
  return platform::FileSystem().CopyFileReplacing(*from, *to);
}

bool MovePath(TTextView source, TTextView target) {
  std::optional<TBytes> from = NativeFileName(source);
  std::optional<TBytes> to = NativeFileName(target);
  if (!from || !to || from->empty() || to->empty())
    return false;
  int error = platform::RenameNoReplace(*from, *to);
  if (error == 0)
    return true;
  return error == EXDEV && MoveFileAcrossFileSystems(target, *from, *to);
}
