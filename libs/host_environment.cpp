#include "libs/host_environment.h"

#include "core/files/file_helpers.h"
#include "core/paths/path_rules.h"
#include "core/paths/path_text.h"
#include "core/text/text_routines.h"
#include "core/text/tokenizer.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "platform/code_page.h"
#include "platform/process.h"

namespace {

struct TShowConstant {
  const char *Name;
  int Value;
};

constexpr TShowConstant ShowConstants[] = {
    {"SHOWNORMAL", 1},      {"SHOWMINIMIZED", 2}, {"SHOWMAXIMIZED", 3}, {"SHOWNOACTIVATE", 4},
    {"SHOWMINNOACTIVE", 7}, {"SHOWNA", 8},        {"SHOWDEFAULT", 10},
};

void AddFunctionsToGlobalTable(lua_State *L, const char *table, const luaL_Reg *functions) {
  if (!LuaGetGlobalTable(L, table))
    return;
  luaL_setfuncs(L, functions, 0);
  lua_pop(L, 1);
}

void RegisterOs(lua_State *L) {
  if (!LuaGetGlobalTable(L, "os"))
    return;
  luaL_setfuncs(L, OsExtensionFunctions(), 0);
  for (const TShowConstant &constant : ShowConstants)
    LuaSetFieldInteger(L, constant.Name, constant.Value);
  lua_pushstring(L, "path");
  lua_newtable(L);
  luaL_setfuncs(L, PathLibraryFunctions(), 0);
  const TPathRules &rules = NativePathRules();
  LuaSetFieldString(L, u"DIR_SEP", TText(1, rules.FSeparator));
  LuaSetFieldString(L, u"PATH_SEP", TText(1, rules.FListSeparator));
  lua_settable(L, -3);
  lua_pop(L, 1);
}

TTextList RequireExtensions(const TText &extensions) {
  TTextList list;
  for (const TText &token : TokenList(extensions, u";", true, true, true)) {
    TText entry = Trim(token);
    if (entry.empty())
      continue;
    if (entry.front() != u'.')
      entry.insert(entry.begin(), u'.');
    list.push_back(entry);
  }
  if (list.empty())
    list.push_back(u".lua");
  return list;
}

void AddDirectoryPatterns(TText &path, const TText &dir, const TText &scriptDirName,
                          const TTextList &extensions, bool allowBaseDir, bool allowInit) {
  auto addPatterns = [&](const TText &base) {
    for (const TText &e : extensions)
      path = AppendText(path, JoinDirName(base, u"?" + e), u";", false, false);
    if (allowInit)
      for (const TText &e : extensions)
        path = AppendText(path, JoinDirName(base, u"?/init" + e), u";", false, false);
  };
  if (!IsDirectoryPath(dir))
    return;
  if (allowBaseDir)
    addPatterns(dir);
  if (!scriptDirName.empty()) {
    TText sub = JoinDirName(dir, scriptDirName);
    if (IsDirectoryPath(sub))
      addPatterns(sub);
  }
}

} // namespace

const TLuaClass &REveVed::StaticClass() {
  static const TLuaClass info{"REveVed", &TLua::StaticClass(), {}};
  return info;
}

void REveVed::Open() {
  TLua::Open();
  Init();
}

void REveVed::Init() {
  lua_State *L = LuaState();
  AddFunctionsToGlobalTable(L, "math", MathExtensionFunctions());
  RegisterOs(L);
  AddFunctionsToGlobalTable(L, "string", StringExtensionFunctions());
  AddFunctionsToGlobalTable(L, "table", TableExtensionFunctions());
  RegisterZipLibrary(L);
}

TText RequirePathText(const TText &userDir, const TText &scriptDirName, const TText &extensions,
                      bool allowBaseDir, bool allowCurrentDir, bool allowProgDir, bool allowInit,
                      const TText &programDirectory) {
  TText path;
  TText user = Trim(userDir);
  TText scriptDir = Trim(scriptDirName);
  TTextList list = RequireExtensions(extensions);
  if (allowCurrentDir)
    AddDirectoryPatterns(path, u".", scriptDir, list, allowBaseDir, allowInit);
  if (!user.empty())
    AddDirectoryPatterns(path, user, scriptDir, list, allowBaseDir, allowInit);
  if (allowProgDir)
    AddDirectoryPatterns(path, programDirectory, scriptDir, list, allowBaseDir, allowInit);
  return path;
}

void REveVed::SetRequirePath(const TText &userDir, const TText &scriptDirName,
                             const TText &extensions, bool allowBaseDir, bool allowCurrentDir,
                             bool allowProgDir, bool allowInit) {
  TText programDirectory =
      WithTrailingSeparator(PathDirectory(BytesToText(platform::ProgramPath())));
  TText path = RequirePathText(userDir, scriptDirName, extensions, allowBaseDir, allowCurrentDir,
                               allowProgDir, allowInit, programDirectory);
  lua_State *L = LuaState();
  if (lua_getglobal(L, "package") == LUA_TTABLE)
    LuaSetFieldString(L, u"path", path);
  lua_pop(L, 1);
}
