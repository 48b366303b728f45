#include "core/files/script_search.h"

#include <optional>
#include <vector>

#include "core/files/file_helpers.h"
#include "core/paths/path_expand.h"
#include "core/paths/path_rules.h"
#include "core/paths/path_text.h"
#include "core/text/text_routines.h"
#include "core/text/tokenizer.h"
#include "core/text/wildcard.h"
#include "platform/directory_listing.h"
#include "platform/environment.h"
#include "platform/file_status.h"
#include "platform/process.h"

namespace {

// The name of the entry in directory that a directory search for fileName returns
// first: the name itself when such an entry exists (a link counts, even a dangling
// one, as it is an entry of that name), else, for a name with wildcards, the first
// match in byte order. Names compare as this file system does: with case.
std::optional<TText> FirstEntry(const TText &directory, TTextView fileName) {
  if (!HasWildcards(fileName, false)) {
    const std::optional<TBytes> path = NativeFileName(JoinDirName(directory, fileName));
    platform::TFileStatus status;
    if (!path || platform::LinkStatPath(*path, status) != 0)
      return std::nullopt;
    return TText(fileName);
  }
  const std::optional<TBytes> nativeDirectory = NativeFileName(directory);
  if (!nativeDirectory)
    return std::nullopt;
  std::vector<platform::TDirectoryEntry> entries;
  platform::TDirectoryIdentity identity;
  platform::ListDirectory(*nativeDirectory, entries, identity);
  std::optional<TBytes> first;
  for (const platform::TDirectoryEntry &entry : entries) {
    if (first && entry.FName >= *first)
      continue;
    const TText name = HostFileName(entry.FName);
    // A name that does not survive as text could not be opened under that text.
    if (NativeFileName(name) != entry.FName)
      continue;
    if (MatchWildcard(name, fileName, false, true))
      first = entry.FName;
  }
  if (!first)
    return std::nullopt;
  return HostFileName(*first);
}

// The directories a bare name is looked for in, in order.
TTextList SearchDirectories() {
  TTextList directories;
  directories.push_back(CurrentDirectory());
  const TText program = PathDirectory(HostFileName(platform::ProgramPath()));
  if (!program.empty())
    directories.push_back(program);
  const TText path = platform::ExpandEnvironment(
      HostFileName(platform::GetEnvironmentVariable("PATH").value_or("")));
  const char16_t listSeparator[] = {NativePathRules().FListSeparator, u'\0'};
  for (TText &piece : TokenList(path, listSeparator, true, true, true))
    if (IsDirectoryPath(piece))
      directories.push_back(std::move(piece));
  return directories;
}

} // namespace

TText SearchFile(TTextView fileName) {
  if (fileName.empty())
    return TText();
  if (!PathDirectory(fileName).empty())
    return IsExistingFile(fileName) ? PathExpand(fileName) : TText();
  for (const TText &directory : SearchDirectories()) {
    if (directory.empty())
      continue;
    if (std::optional<TText> name = FirstEntry(directory, fileName))
      return PathExpand(JoinDirName(directory, *name));
  }
  return TText();
}
