// The os.path functions that list directories and change the disk: chdir, mkdir,
// rmdir, remove, copy, move, rename, list and listinfo. Expected failures come back
// as nil and the argument followed by a fixed phrase.
#include <new>

#include "core/files/file_helpers.h"
#include "core/files/file_list.h"
#include "core/files/file_search.h"
#include "core/files/file_transfer.h"
#include "engine/marshalling.h"
#include "libs/file_name_marshalling.h"
#include "libs/path_library_support.h"

namespace {

constexpr TBytesView NoSuchFile = ": No such file or directory";
constexpr TBytesView NoSuchDirectory = ": No such directory";
// A file is copied through memory; one larger than the memory left fails like any
// other copy, with this reason.
constexpr TBytesView NotEnoughMemory = ": Not enough memory";

struct TListOptions {
  TText Mask;
  bool Subdirs;
  bool Hidden;
  bool Files;
  bool Dirs;
  // A mask that cannot reach the system as given lists nothing, rather than another
  // directory or names that merely look like the ones asked for.
  bool IsUsable() const { return Mask.find(u'\0') == TText::npos; }
};

TListOptions ReadListOptions(lua_State *L) {
  TListOptions options;
  options.Mask = FileNameText(LuaCheckString(L, 1));
  options.Subdirs = LuaOptBoolean(L, 2, false);
  options.Hidden = LuaOptBoolean(L, 3, false);
  options.Files = LuaOptBoolean(L, 4, true);
  options.Dirs = LuaOptBoolean(L, 5, false);
  LuaClearStack(L);
  return options;
}

// A link that stands for a directory is removed as the link, never through it: the
// directory it points to, and everything in it, stays.
bool RemoveDirectoryOrLink(TTextView directory) {
  return IsLinkPath(directory) ? RemoveFileOrLink(directory) : RemoveEmptyDirectory(directory);
}

} // namespace

int PathList(lua_State *L) {
  TListOptions options = ReadListOptions(L);
  if (!options.IsUsable())
    return LuaReturnFileNameList(L, TTextList());
  return LuaReturnFileNameList(
      L, FindFiles(options.Mask, options.Subdirs, options.Hidden, options.Files, options.Dirs));
}

int PathListInfo(lua_State *L) {
  TListOptions options = ReadListOptions(L);
  TFileList list;
  if (options.IsUsable())
    list =
        FindFileInfos(options.Mask, options.Subdirs, options.Hidden, options.Files, options.Dirs);
  lua_createtable(L, int(list.Count()), 0);
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const TFileListItem &item = *list.GetItem(i);
    lua_createtable(L, 0, 9);
    LuaSetFieldFileName(L, "name", item.FileName);
    LuaSetFieldFileName(L, "path", item.FilePath);
    LuaSetFieldFileName(L, "shortname", item.ShortFileName);
    LuaSetFieldInteger(L, "created", LuaUnixTime(item.CreationTime));
    LuaSetFieldInteger(L, "lastaccess", LuaUnixTime(item.LastAccessTime));
    LuaSetFieldInteger(L, "lastwrite", LuaUnixTime(item.LastWriteTime));
    LuaSetFieldInteger(L, "size", item.FileSize);
    LuaSetFieldInteger(L, "attributes", item.FileAttributes);
    LuaSetFieldBoolean(L, "dir", item.IsDir);
    lua_rawseti(L, -2, lua_Integer(i) + 1);
  }
  return 1;
}

int PathChdir(lua_State *L) {
  TBytes directory = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(directory);
  if (!IsExistingDirectory(name))
    return PathFailure(L, directory, NoSuchDirectory);
  if (!ChangeCurrentDirectory(name))
    return PathFailure(L, directory, ": Cannot set directory");
  return LuaReturnBoolean(L, true);
}

int PathMkdir(lua_State *L) {
  TBytes directory = LuaCheckString(L, 1);
  LuaClearStack(L);
  if (!CreateDirectoryPath(FileNameText(directory)))
    return PathFailure(L, directory, ": Cannot create directory");
  return LuaReturnBoolean(L, true);
}

int PathRmdir(lua_State *L) {
  TBytes directory = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(directory);
  if (!IsDirectoryPath(name))
    return PathFailure(L, directory, NoSuchDirectory);
  if (!RemoveDirectoryOrLink(name))
    return PathFailure(L, directory, ": Cannot remove directory");
  return LuaReturnBoolean(L, true);
}

int PathRemove(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(path);
  if (IsExistingDirectory(name)) {
    if (!RemoveDirectoryOrLink(name))
      return PathFailure(L, path, ": Cannot remove directory");
    return LuaReturnBoolean(L, true);
  }
  // A dangling link is still an entry that a listing shows; it goes like a file.
  if (!IsExistingFile(name) && !IsLinkPath(name))
    return PathFailure(L, path, NoSuchFile);
  if (!RemoveFileOrLink(name))
    return PathFailure(L, path, ": Cannot remove file");
  return LuaReturnBoolean(L, true);
}

int PathCopy(lua_State *L) {
  TBytes source = LuaCheckString(L, 1);
  TBytes target = LuaCheckString(L, 2);
  bool failIfExists = LuaOptBoolean(L, 3, false);
  LuaClearStack(L);
  TText sourceName = FileNameText(source);
  if (!IsExistingFile(sourceName))
    return PathFailure(L, source, NoSuchFile);
  bool copied = false;
  try {
    copied = CopyFilePath(sourceName, FileNameText(target), failIfExists);
  } catch (const std::bad_alloc &) {
    return PathFailure(L, source, NotEnoughMemory);
  }
  if (!copied)
    return PathFailure(L, source, ": Cannot copy file");
  return LuaReturnBoolean(L, true);
}

int PathMove(lua_State *L) {
  TBytes source = LuaCheckString(L, 1);
  TBytes target = LuaCheckString(L, 2);
  LuaClearStack(L);
  TText sourceName = FileNameText(source);
  if (!IsExistingFile(sourceName))
    return PathFailure(L, source, NoSuchFile);
  bool moved = false;
  try {
    moved = MovePath(sourceName, FileNameText(target));
  } catch (const std::bad_alloc &) {
    return PathFailure(L, source, NotEnoughMemory);
  }
  if (!moved)
    return PathFailure(L, source, ": Cannot move file");
  return LuaReturnBoolean(L, true);
}

int PathRename(lua_State *L) {
  TBytes oldName = LuaCheckString(L, 1);
  TBytes newName = LuaCheckString(L, 2);
  LuaClearStack(L);
  TText oldText = FileNameText(oldName);
  TText newText = FileNameText(newName);
  if (!PathExists(oldText))
    return PathFailure(L, oldName, NoSuchFile);
  if (PathExists(newText))
    return PathFailure(L, newName, ": File or directory already exist");
  bool renamed = false;
  try {
    renamed = MovePath(oldText, newText);
  } catch (const std::bad_alloc &) {
    return PathFailure(L, oldName, NotEnoughMemory);
  }
  if (!renamed)
    return PathFailure(L, oldName, ": Cannot rename file or directory");
  return LuaReturnBoolean(L, true);
}
