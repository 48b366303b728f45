// File names between scripts and the system, byte for byte. Other script strings
// go through the code page's usual conversion; a name must not: bytes the code
// page cannot decode would turn into U+FFFD and name another file, or none. Names
// travel as host text with such bytes carried as U+DC80..U+DCFF
// (core/paths/file_names.h), and go back to the script as the same bytes.
#pragma once

#include "core/text/text.h"
#include "engine/lua_api.h"

// A file-name argument's bytes as host text.
TText FileNameText(TBytesView name);
// A name as the bytes the script sees.
TBytes FileNameBytes(TTextView name);

void LuaPushFileName(lua_State *L, TTextView name);
// Sets t[key] = name on the table on top of the stack.
void LuaSetFieldFileName(lua_State *L, const char *key, TTextView name);
int LuaReturnFileName(lua_State *L, TTextView name);
int LuaReturnFileNames(lua_State *L, TTextView first, TTextView second);
int LuaReturnFileNameList(lua_State *L, const TTextList &names);
