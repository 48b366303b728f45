#include "platform/contained_path.h"

#include "platform/file_io.h"
#include "platform/path_parts.h"
#include "platform/windows/win32_text.h"

#include <vector>
#include <windows.h>

namespace platform {
namespace {

std::vector<std::string> SplitParts(std::string_view relative) {
  return SplitPathParts(relative, "\\/"); // "/" separates on Windows as well
}

std::string JoinParts(const std::vector<std::string> &parts, std::size_t count) {
  return JoinPathParts(parts, count, '\\');
}

// "." and ".." would step sideways or out, and a separator or drive inside a part
// would reach elsewhere; the caller has resolved such names already.
bool IsPlainPart(const std::string &part) {
  return part != "." && part != ".." && part.find_first_of("\\:") == std::string::npos;
}

// The directories walked so far, held open without delete sharing: while they are
// held, none of them can be renamed, removed or swapped for a link.
class THeldDirectories {
public:
  ~THeldDirectories() {
    for (HANDLE handle : FHandles)
      CloseHandle(handle);
  }
  bool Hold(const std::wstring &directory) {
    HANDLE handle = CreateFileW(directory.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
      return false;
    FHandles.push_back(handle);
    return true;
  }

private:
  std::vector<HANDLE> FHandles;
};

std::wstring Join(const std::wstring &directory, const std::wstring &name) {
  if (directory.empty())
    return name;
  if (directory.back() == L'\\' || directory.back() == L'/' || directory.back() == L':')
    return directory + name;
  return directory + L'\\' + name;
}

// Walks base and the first `count` parts, each refused when it is a reparse point
// (a symbolic link or junction); missing ones are made first when `create` is set.
TContainedResult WalkChain(const std::string &base, const std::vector<std::string> &parts,
                           std::size_t count, bool create, THeldDirectories &held,
                           std::wstring &directory, std::string &linkPart) {
  const std::optional<std::wstring> wideBase = win32::WideName(base.empty() ? "." : base);
  if (!wideBase || !held.Hold(*wideBase))
    return TContainedResult::Failed;
  directory = *wideBase;
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<std::wstring> name = win32::WideName(parts[i]);
    if (!name || !IsPlainPart(parts[i]))
      return TContainedResult::Failed;
    const std::wstring next = Join(directory, *name);
    DWORD attributes = GetFileAttributesW(next.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && create && CreateDirectoryW(next.c_str(), nullptr))
      attributes = GetFileAttributesW(next.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
      return TContainedResult::Failed;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      linkPart = JoinParts(parts, i + 1);
      return TContainedResult::LinkRefused;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !held.Hold(next))
      return TContainedResult::Failed;
    directory = next;
  }
  return TContainedResult::Done;
}

} // namespace

TContainedResult CreateDirectoriesBelow(const std::string &base, std::string_view relative,
                                        std::string &linkPart) {
  const std::vector<std::string> parts = SplitParts(relative);
  THeldDirectories held;
  std::wstring directory;
  return WalkChain(base, parts, parts.size(), true, held, directory, linkPart);
}

TContainedResult WriteFileBelow(const std::string &base, std::string_view relative,
                                std::string_view content, bool createParents,
                                std::string &linkPart) {
  const std::vector<std::string> parts = SplitParts(relative);
  if (parts.empty() || !IsPlainPart(parts.back()))
    return TContainedResult::Failed;
  THeldDirectories held;
  std::wstring directory;
  const TContainedResult walked =
      WalkChain(base, parts, parts.size() - 1, createParents, held, directory, linkPart);
  if (walked != TContainedResult::Done)
    return walked;
  const std::optional<std::wstring> name = win32::WideName(parts.back());
  if (!name)
    return TContainedResult::Failed;
  const std::wstring target = Join(directory, *name);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      linkPart = JoinParts(parts, parts.size());
      return TContainedResult::LinkRefused;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      return TContainedResult::Failed;
  }
  // The replacement is written beside the target and put in its place; a read-only
  // file is refused there.
  TRealFileSystem disk;
  const std::optional<std::string> targetBytes = win32::NarrowName(target);
  if (!targetBytes || !disk.WriteFileAtomic(*targetBytes, content))
    return TContainedResult::Failed;
  return TContainedResult::Done;
}

} // namespace platform
