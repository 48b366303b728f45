#include "libs/file_name_marshalling.h"

#include "engine/marshalling.h"
#include "platform/code_page.h"

TText FileNameText(TBytesView name) {
  return platform::AnsiCodePage().DecodeLossless(name);
}

TBytes FileNameBytes(TTextView name) {
  return platform::AnsiCodePage().EncodeLossless(name);
}

void LuaPushFileName(lua_State *L, TTextView name) {
  LuaPushByteString(L, FileNameBytes(name));
}

void LuaSetFieldFileName(lua_State *L, const char *key, TTextView name) {
  LuaPushFileName(L, name);
  lua_setfield(L, -2, key);
}

int LuaReturnFileName(lua_State *L, TTextView name) {
  LuaPushFileName(L, name);
  return 1;
}

int LuaReturnFileNames(lua_State *L, TTextView first, TTextView second) {
  LuaPushFileName(L, first);
  LuaPushFileName(L, second);
  return 2;
}

int LuaReturnFileNameList(lua_State *L, const TTextList &names) {
  lua_createtable(L, int(names.size()), 0);
  lua_Integer key = 1;
  for (const TText &name : names) {
    LuaPushFileName(L, name);
    lua_rawseti(L, -2, key++);
  }
  return 1;
}
