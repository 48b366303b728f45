// The os.path table: path texts taken apart and put together, and tests on files
// and directories. Each function reads its arguments, clears the stack, hands host
// text to one core routine and returns the result; the listings and the operations
// that change the disk live in path_library_files.cpp.
#include <vector>

#include "core/files/file_helpers.h"
#include "core/paths/path_expand.h"
#include "core/paths/path_text.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "libs/file_name_marshalling.h"
#include "libs/path_library_support.h"
#include "platform/code_page.h"

namespace {

constexpr TBytesView NoSuchFile = ": No such file or directory";
constexpr TBytesView NoSuchDirectory = ": No such directory";

// The one argument of the text functions: a path text, carried byte for byte.
TText PathArgument(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  return FileNameText(path);
}

// The one argument of the simple queries, as a file name.
TText FileArgument(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  return FileNameText(path);
}

int BaseName(lua_State *L) {
  return LuaReturnFileName(L, PathFileName(PathArgument(L)));
}

int DirName(lua_State *L) {
  return LuaReturnFileName(L, PathDirectory(PathArgument(L)));
}

int Drive(lua_State *L) {
  return LuaReturnFileName(L, PathDrive(PathArgument(L)));
}

int Extension(lua_State *L) {
  return LuaReturnFileName(L, PathExtension(PathArgument(L)));
}

int FileName(lua_State *L) {
  return LuaReturnFileName(L, PathChangeExtension(PathFileName(PathArgument(L)), u""));
}

int ChangeExt(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  TBytes extension = LuaOptString(L, 2, "");
  LuaClearStack(L);
  return LuaReturnFileName(L, PathChangeExtension(FileNameText(path), FileNameText(extension)));
}

int ChangeDir(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  TBytes directory = LuaCheckString(L, 2);
  LuaClearStack(L);
  return LuaReturnFileName(L, PathReplaceDirectory(FileNameText(path), FileNameText(directory)));
}

int FullPath(lua_State *L) {
  return LuaReturnFileName(L, PathExpand(PathArgument(L)));
}

int RelativePath(lua_State *L) {
  TBytes base = LuaCheckString(L, 1);
  TBytes target = LuaCheckString(L, 2);
  LuaClearStack(L);
  return LuaReturnFileName(L, PathRelative(FileNameText(base), FileNameText(target)));
}

int IsRelativePathFunction(lua_State *L) {
  return LuaReturnBoolean(L, IsRelativePath(PathArgument(L)));
}

int SplitDrive(lua_State *L) {
  TText path = PathArgument(L);
  TText drive = PathDrive(path);
  return LuaReturnFileNames(L, drive, TTextView(path).substr(drive.size()));
}

int SplitExt(lua_State *L) {
  TText path = PathArgument(L);
  return LuaReturnFileNames(L, PathChangeExtension(path, u""), PathExtension(path));
}

int Split(lua_State *L) {
  TText path = PathArgument(L);
  return LuaReturnFileNames(L, PathDirectory(path), PathFileName(path));
}

// Every argument is read before any is combined, so a bad one raises its error even
// when an earlier combination has already failed.
int Join(lua_State *L) {
  const int count = lua_gettop(L) < 2 ? 2 : lua_gettop(L);
  std::vector<TBytes> parts;
  parts.reserve(std::size_t(count));
  for (int index = 1; index <= count; ++index)
    parts.push_back(LuaCheckString(L, index));
  LuaClearStack(L);
  TText combined;
  if (!PathCombine(FileNameText(parts[0]), FileNameText(parts[1]), combined))
    return LuaReturnNil(L);
  for (std::size_t i = 2; i < parts.size(); ++i) {
    TText next;
    if (!PathCombine(combined, FileNameText(parts[i]), next))
      return LuaReturnNil(L);
    combined = std::move(next);
  }
  TText canonical;
  if (!PathCanonical(combined, canonical))
    return LuaReturnNil(L);
  return LuaReturnFileName(L, canonical);
}

int CurrentDir(lua_State *L) {
  LuaClearStack(L);
  return LuaReturnFileName(L, CurrentDirectory());
}

int TmpDir(lua_State *L) {
  LuaClearStack(L);
  return LuaReturnFileName(L, TempDirectory());
}

int Exists(lua_State *L) {
  return LuaReturnBoolean(L, PathExists(FileArgument(L)));
}

int IsFile(lua_State *L) {
  return LuaReturnBoolean(L, IsExistingFile(FileArgument(L)));
}

int IsDir(lua_State *L) {
  return LuaReturnBoolean(L, IsExistingDirectory(FileArgument(L)));
}

int IsLink(lua_State *L) {
  return LuaReturnBoolean(L, IsLinkPath(FileArgument(L)));
}

int Flags(lua_State *L) {
  return LuaReturnInteger(L, FileAttributesByName(FileArgument(L)));
}

int IsEmpty(lua_State *L) {
  TBytes directory = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(directory);
  if (!IsExistingDirectory(name))
    return PathFailure(L, directory, NoSuchDirectory);
  // A directory that exists but cannot be read counts as not empty: nothing shows
  // that it is, and a script that removes empty directories must leave it alone.
  return LuaReturnBoolean(L, IsDirectoryEmpty(name));
}

int IsReadOnly(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(path);
  if (IsExistingFile(name))
    return LuaReturnBoolean(L, IsReadOnlyFile(name, false));
  if (IsExistingDirectory(name))
    return LuaReturnBoolean(L, IsReadOnlyDirectory(name));
  return PathFailure(L, path, NoSuchFile);
}

int Size(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(path);
  if (!IsExistingFile(name))
    return PathFailure(L, path, NoSuchFile);
  return LuaReturnInteger(L, FileSizeByName(name));
}

int Time(lua_State *L) {
  TBytes path = LuaCheckString(L, 1);
  LuaClearStack(L);
  TText name = FileNameText(path);
  if (!IsExistingFile(name))
    return PathFailure(L, path, NoSuchFile);
  return LuaReturnIntegers(L, LuaUnixTime(FileTimeByName(name, 3)),
                           LuaUnixTime(FileTimeByName(name, 1)),
                           LuaUnixTime(FileTimeByName(name, 2)));
}

} // namespace

int PathFailure(lua_State *L, TBytesView argument, TBytesView suffix) {
  TBytes message(argument);
  message += suffix;
  return LuaReturnNilMessage(L, message);
}

const luaL_Reg *PathLibraryFunctions() {
  static const luaL_Reg functions[] = {{"basename", LuaBoundary<BaseName>},
                                       {"changedir", LuaBoundary<ChangeDir>},
                                       {"changeext", LuaBoundary<ChangeExt>},
                                       {"chdir", LuaBoundary<PathChdir>},
                                       {"copy", LuaBoundary<PathCopy>},
                                       {"currentdir", LuaBoundary<CurrentDir>},
                                       {"dirname", LuaBoundary<DirName>},
                                       {"drive", LuaBoundary<Drive>},
                                       {"exists", LuaBoundary<Exists>},
                                       {"extension", LuaBoundary<Extension>},
                                       {"filename", LuaBoundary<FileName>},
                                       {"flags", LuaBoundary<Flags>},
                                       {"fullpath", LuaBoundary<FullPath>},
                                       {"isdir", LuaBoundary<IsDir>},
                                       {"isempty", LuaBoundary<IsEmpty>},
                                       {"isfile", LuaBoundary<IsFile>},
                                       {"islink", LuaBoundary<IsLink>},
                                       {"isreadonly", LuaBoundary<IsReadOnly>},
                                       {"isrelativepath", LuaBoundary<IsRelativePathFunction>},
                                       {"join", LuaBoundary<Join>},
                                       {"joinpath", LuaBoundary<Join>},
                                       {"list", LuaBoundary<PathList>},
                                       {"listinfo", LuaBoundary<PathListInfo>},
                                       {"mkdir", LuaBoundary<PathMkdir>},
                                       {"move", LuaBoundary<PathMove>},
                                       {"relativepath", LuaBoundary<RelativePath>},
                                       {"remove", LuaBoundary<PathRemove>},
                                       {"rename", LuaBoundary<PathRename>},
                                       {"rmdir", LuaBoundary<PathRmdir>},
                                       {"size", LuaBoundary<Size>},
                                       {"split", LuaBoundary<Split>},
                                       {"splitdrive", LuaBoundary<SplitDrive>},
                                       {"splitext", LuaBoundary<SplitExt>},
                                       {"splitpath", LuaBoundary<Split>},
                                       {"time", LuaBoundary<Time>},
                                       {"tmpdir", LuaBoundary<TmpDir>},
                                       {nullptr, nullptr}};
  return functions;
}
