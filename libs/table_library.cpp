// table.loadstrings and table.savestrings: line lists from and to text files.
#include <optional>

#include "core/files/file_helpers.h"
#include "core/text/text_file.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "libs/file_name_marshalling.h"
#include "platform/code_page.h"
#include "platform/file_io.h"

namespace {

int TableLoadStrings(lua_State *L) {
  TText fileName = FileNameText(LuaCheckString(L, 1));
  LuaClearStack(L);
  if (!IsExistingFile(fileName))
    return LuaReturnNil(L);
  std::optional<TBytes> name = NativeFileName(fileName);
  TBytes bytes;
  if (!name || !platform::FileSystem().ReadWholeFile(*name, bytes))
    return LuaReturnNil(L);
  return LuaReturnStringList(L, SplitTextFileLines(DecodeTextFileBytes(bytes)));
}

int TableSaveStrings(lua_State *L) {
  TTextList lines = LuaCheckStringList(L, 1);
  TText fileName = FileNameText(LuaCheckString(L, 2));
  LuaClearStack(L);
  TBytes content;
  for (const TText &line : lines) {
    content += TextToBytes(line);
    content += "\r\n";
  }
  // Written beside the target and renamed over it: a failed write keeps the old
  // file whole, and a read-only file is never replaced.
  std::optional<TBytes> name = NativeFileName(fileName);
  return LuaReturnBoolean(L, name && platform::FileSystem().WriteFileAtomic(*name, content));
}

} // namespace

const luaL_Reg *TableExtensionFunctions() {
  static const luaL_Reg functions[] = {
      {"loadstrings", LuaBoundary<TableLoadStrings>},
      {"savestrings", LuaBoundary<TableSaveStrings>},
      {nullptr, nullptr},
  };
  return functions;
}
